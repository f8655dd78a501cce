#include "catalogue/server_location_lookup.h"

#include <cstdint>

#include "http/http_request.h"
#include "json/json_document.h"
#include "platform/text_codec.h"
#include "text/gbk.h"
#include "text/gbk_literal.h"

namespace quillark {

using namespace literals;

std::string ServerLocationLookup::LookupServerLocation(std::string_view address) const {
    HttpRequest request;
    std::string answer;
    if (request.Open("GET", url_prefix_ + std::string(address)) && request.Send()) {
        answer = request.ResponseText();
    }
    return DescribeAnswer(answer);
}

std::string ServerLocationLookup::DescribeAnswer(std::string_view answer) {
    JsonDocument document;
    document.Parse(UnescapeUnicode(answer), false);
    if (document.GetText("code") != "0") {
        return "获取地理位置失败!"_gbk;
    }
    return document.GetText("data.country") + document.GetText("data.area") + " - " +
           document.GetText("data.region") + document.GetText("data.city") +
           document.GetText("data.county") + document.GetText("data.isp");
}

std::string ServerLocationLookup::UnescapeUnicode(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    long pos = 1;
    while (true) {
        long b = gbk::Find(text, "\\u", pos);
        if (b == -1) {
            break;
        }
        out.append(text.substr(static_cast<size_t>(pos - 1), static_cast<size_t>(b - pos)));
        out.append(DecodeUnicodeEscape(text.substr(static_cast<size_t>(b - 1), 6)));
        pos = b + 6;
    }
    if (static_cast<size_t>(pos - 1) < text.size()) {
        out.append(text.substr(static_cast<size_t>(pos - 1)));
    }
    return gbk::ReplaceAll(out, "\\/", "/");
}

std::string ServerLocationLookup::DecodeUnicodeEscape(std::string_view escape) {
    if (escape.substr(0, 2) != "\\u") {
        return std::string(escape);
    }
    // Not a strict hex reader: letters beyond F count on (G is 16), and any
    // other byte adds its signed value. Unsigned arithmetic keeps the shifts
    // defined; the result is read back as a signed 32-bit value.
    uint32_t value = 0;
    for (char c : escape.substr(2)) {
        int32_t digit;
        if (c >= '0' && c <= '9') {
            digit = c - 48;
        } else if (c >= 'A' && c <= 'Z') {
            digit = c - 55;
        } else if (c >= 'a' && c <= 'z') {
            digit = c - 87;
        } else {
            digit = static_cast<signed char>(c);
        }
        value = (value << 4) + static_cast<uint32_t>(digit);
    }
    if (static_cast<int32_t>(value) < 255) {
        return std::string(escape);
    }
    const char bytes[4] = {static_cast<char>(value & 0xFF), static_cast<char>((value >> 8) & 0xFF),
                           static_cast<char>((value >> 16) & 0xFF),
                           static_cast<char>((value >> 24) & 0xFF)};
    return Utf16ToGbText(std::string_view(bytes, 4));
}

std::string ServerLocationLookup::Utf16ToGbText(std::string_view bytes) {
    // Only the code units inside the buffer are read, up to the first NUL unit.
    std::u16string units;
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
        char16_t unit = static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                              (static_cast<unsigned char>(bytes[i + 1]) << 8));
        if (unit == 0) {
            break;
        }
        units.push_back(unit);
    }
    return TextCodec::Utf16ToGbkPrefix(units);
}

}  // namespace quillark
