#pragma once

// Writes the program's Chinese literals readably in UTF-8 sources:
//
//     using namespace quillark::literals;
//     const std::string& label = "正常"_gbk;   // the GBK bytes C1 E3 B3 A3
//
// Each literal is converted once, on first use, and kept for the life of the process.

#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>

#include "platform/text_codec.h"

namespace quillark {

template <size_t N>
struct Utf8Literal {
    char bytes[N]{};
    constexpr Utf8Literal(const char (&text)[N]) { std::copy_n(text, N, bytes); }
    constexpr std::string_view view() const { return {bytes, N - 1}; }
};

namespace literals {

template <Utf8Literal Text>
const std::string& operator""_gbk() {
    static const std::string converted = TextCodec::Utf8ToGbk(Text.view());
    return converted;
}

}  // namespace literals
}  // namespace quillark
