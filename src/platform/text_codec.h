#pragma once

#include <string>
#include <string_view>

namespace quillark {

// Conversions between the program's GBK text (Windows code page 936) and the
// encodings at its edges. Every function is thread-safe and never fails:
// a byte sequence that is not valid in the source encoding becomes U+FFFD,
// a character that has no GBK form becomes '?'.
class TextCodec {
  public:
    static std::u16string GbkToUtf16(std::string_view gbk);
    static std::string Utf16ToGbk(std::u16string_view utf16);
    static std::string GbkToUtf8(std::string_view gbk);
    static std::string Utf8ToGbk(std::string_view utf8);

    // Decodes bytes in the named charset (an ICU converter name or alias such as
    // "utf-8", "gb2312", "iso-8859-1") to UTF-16. An unknown charset gives false
    // and leaves `out` empty.
    static bool DecodeCharset(std::string_view bytes, const char* charset, std::u16string& out);

    // GBK text of UTF-16 code units up to the first character that GBK cannot
    // represent (or the first NUL); no substitution characters are written.
    static std::string Utf16ToGbkPrefix(std::u16string_view utf16);

    static std::u16string Utf8ToUtf16(std::string_view utf8);
    static std::string Utf16ToUtf8(std::u16string_view utf16);
};

}  // namespace quillark
