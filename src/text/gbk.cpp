#include "text/gbk.h"

namespace quillark::gbk {
namespace {

constexpr std::string_view kFullWidthSpace = "\xA1\xA1";

char FoldAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool MatchesAt(std::string_view text, size_t index, std::string_view needle, Case mode) {
    if (text.size() - index < needle.size()) {
        return false;
    }
    if (mode == Case::kExact) {
        return text.compare(index, needle.size(), needle) == 0;
    }
    // Only single-byte characters fold: a trail byte in the ASCII letter range
    // belongs to a double-byte character and must match exactly.
    for (size_t i = 0; i < needle.size();) {
        size_t length = CharLength(needle, i);
        if (length == 2) {
            if (text.compare(index + i, 2, needle.substr(i, 2)) != 0) {
                return false;
            }
        } else if (FoldAscii(text[index + i]) != FoldAscii(needle[i])) {
            return false;
        }
        i += length;
    }
    return true;
}

// Bytes taken by a space character at `index`, or 0 when none starts there.
size_t SpaceLength(std::string_view text, size_t index) {
    if (text[index] == ' ') {
        return 1;
    }
    if (text.substr(index, 2) == kFullWidthSpace) {
        return 2;
    }
    return 0;
}

}  // namespace

long Find(std::string_view text, std::string_view needle, long start, Case mode) {
    if (start < 1 || static_cast<size_t>(start) > text.size() + 1) {
        return -1;
    }
    // Walk from the beginning so that `start` inside a double-byte character
    // cannot make a match begin at its trail byte.
    size_t index = 0;
    while (index < static_cast<size_t>(start - 1)) {
        index += CharLength(text, index);
    }
    if (needle.empty()) {
        return static_cast<long>(index) + 1;
    }
    for (; index < text.size(); index += CharLength(text, index)) {
        if (MatchesAt(text, index, needle, mode)) {
            return static_cast<long>(index) + 1;
        }
    }
    return -1;
}

std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to) {
    if (from.empty()) {
        return std::string(text);
    }
    std::string out;
    out.reserve(text.size());
    size_t index = 0;
    while (index < text.size()) {
        if (MatchesAt(text, index, from, Case::kExact)) {
            out.append(to);
            index += from.size();
        } else {
            size_t length = CharLength(text, index);
            out.append(text.substr(index, length));
            index += length;
        }
    }
    return out;
}

std::vector<std::string> Split(std::string_view text, std::string_view separator) {
    std::vector<std::string> pieces;
    if (text.empty()) {
        return pieces;
    }
    if (separator.empty()) {
        pieces.emplace_back(text);
        return pieces;
    }
    size_t piece_start = 0;
    size_t index = 0;
    while (index < text.size()) {
        if (MatchesAt(text, index, separator, Case::kExact)) {
            pieces.emplace_back(text.substr(piece_start, index - piece_start));
            index += separator.size();
            piece_start = index;
        } else {
            index += CharLength(text, index);
        }
    }
    if (piece_start < text.size()) {
        pieces.emplace_back(text.substr(piece_start));
    }
    return pieces;
}

std::string Trim(std::string_view text) {
    size_t begin = 0;
    while (begin < text.size()) {
        size_t length = SpaceLength(text, begin);
        if (length == 0) {
            break;
        }
        begin += length;
    }
    // The end can only be found walking forwards: A1 A1 at the end may be the
    // trail byte of one character followed by a lone lead byte.
    size_t end = begin;
    for (size_t index = begin; index < text.size();) {
        size_t space = SpaceLength(text, index);
        size_t length = space != 0 ? space : CharLength(text, index);
        index += length;
        if (space == 0) {
            end = index;
        }
    }
    return std::string(text.substr(begin, end - begin));
}

bool IsBlank(std::string_view text) {
    for (size_t index = 0; index < text.size();) {
        size_t space = SpaceLength(text, index);
        if (space == 0) {
            return false;
        }
        index += space;
    }
    return true;
}

std::string AsciiLower(std::string_view text) {
    std::string out(text);
    for (size_t index = 0; index < out.size(); index += CharLength(out, index)) {
        out[index] = FoldAscii(out[index]);
    }
    return out;
}

}  // namespace quillark::gbk
