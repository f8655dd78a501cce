#pragma once

#include <string>
#include <string_view>

namespace quillark {

// Where a region's host stands: asks the IP-location service about one
// address and joins its answer into one line, "country area - region city
// county isp", or "获取地理位置失败!".
class ServerLocationLookup {
  public:
    // `url_prefix` is the service URL up to and including "ip=".
    explicit ServerLocationLookup(std::string url_prefix) : url_prefix_(std::move(url_prefix)) {}

    // Blocks for one HTTP request.
    std::string LookupServerLocation(std::string_view address) const;

    // The result line for one answer of the service (GBK text).
    static std::string DescribeAnswer(std::string_view answer);

    // Decodes the \uXXXX escapes of `text` whose value is 255 or more into GBK
    // (a character GBK lacks disappears); smaller ones stay as written. Then
    // every \/ becomes /.
    static std::string UnescapeUnicode(std::string_view text);
    // One escape ("\u" and normally four hex digits) as GBK text, or the escape unchanged.
    static std::string DecodeUnicodeEscape(std::string_view escape);
    // Little-endian UTF-16 code units as GBK, up to the first NUL or the first
    // character GBK cannot represent.
    static std::string Utf16ToGbText(std::string_view bytes);

  private:
    std::string url_prefix_;
};

}  // namespace quillark
