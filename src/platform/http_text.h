#pragma once

// Small text rules shared by the HTTP component and the cookie store.

#include <algorithm>
#include <string_view>

namespace quillark::http_text {

// Spaces and tabs removed at both ends, as around header and cookie fields.
inline std::string_view TrimBlank(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) {
        text.remove_suffix(1);
    }
    return text;
}

// A control character (tab aside) or DEL: never allowed in a header field or
// a cookie, where it could end a line and start another.
inline bool HasControlCharacter(std::string_view text) {
    return std::any_of(text.begin(), text.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return (byte < 0x20 && c != '\t') || byte == 0x7F;
    });
}

}  // namespace quillark::http_text
