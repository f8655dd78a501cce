#pragma once

// Primitives over GBK byte strings, the program's text.
//
// Lengths and positions count bytes and positions are 1-based; a search that
// finds nothing gives -1. Every scan steps over a double-byte character (a
// lead byte of 0x80 or above and the byte after it) as a whole, so a match
// never starts inside one. A lead byte at the very end of a text stands alone.

#include <string>
#include <string_view>
#include <vector>

namespace quillark::gbk {

inline bool IsLeadByte(char byte) {
    return static_cast<unsigned char>(byte) >= 0x80;
}

// Bytes taken by the character that starts at 0-based `index`: 2 for a lead
// byte followed by another byte, else 1.
inline size_t CharLength(std::string_view text, size_t index) {
    return (IsLeadByte(text[index]) && index + 1 < text.size()) ? 2 : 1;
}

enum class Case { kExact, kIgnoreAscii };

// 1-based position of the first `needle` at or after position `start`, or -1.
// An empty needle is found at `start` when `start` lies within the text or just past it.
long Find(std::string_view text, std::string_view needle, long start = 1, Case mode = Case::kExact);

// Every occurrence of `from`, scanning from the start, replaced by `to`.
// An empty `from` leaves the text unchanged.
std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to);

// Pieces between separators. An empty piece between two separators counts; no
// piece follows a final separator; an empty text gives no pieces.
std::vector<std::string> Split(std::string_view text, std::string_view separator);

// Removes ASCII spaces (0x20) and full-width spaces (A1 A1) at both ends only.
std::string Trim(std::string_view text);

// True when the text holds nothing but ASCII and full-width spaces.
bool IsBlank(std::string_view text);

// ASCII letters folded to lower case; double-byte characters are left whole.
std::string AsciiLower(std::string_view text);

}  // namespace quillark::gbk
