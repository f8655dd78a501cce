#include "json/json_text_cleanup.h"

#include <bitset>
#include <memory>

#include "platform/text_codec.h"

namespace quillark {
namespace {

constexpr char32_t kFullWidthSpace = 0x3000;
constexpr char32_t kOtherCharacter = 0x10000;
constexpr size_t kNone = static_cast<size_t>(-1);

bool IsWhiteSpace(char32_t c) {
    return c == ' ' || (c >= '\t' && c <= '\r') || c == kFullWidthSpace;
}
bool IsBlank(char32_t c) {
    return c == ' ' || c == '\t' || c == kFullWidthSpace;
}
bool IsBlankOrQuote(char32_t c) {
    return IsBlank(c) || c == '"';
}
bool IsLineBreak(char32_t c) {
    return c == '\n' || c == '\r';
}
bool IsOpening(char32_t c) {
    return c == '[' || c == '{' || c == '"';
}
bool IsClosing(char32_t c) {
    return c == ']' || c == '}' || c == '"';
}

// A GBK text known to survive the round trip: every byte of 0x80 or above
// starts a two-byte character.
struct GbkCharacters {
    using Text = std::string;
    std::string_view text;

    size_t size() const { return text.size(); }
    size_t Next(size_t i) const {
        return i + (static_cast<unsigned char>(text[i]) >= 0x80 ? 2 : 1);
    }
    char32_t Code(size_t i) const {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte < 0x80) {
            return byte;
        }
        return text.substr(i, 2) == "\xA1\xA1" ? kFullWidthSpace : kOtherCharacter;
    }
    // A line break is a single byte below 0x40, so it is never a trail byte.
    bool AtLineStart(size_t i) const { return i == 0 || IsLineBreak(text[i - 1]); }
    void Append(Text& out, size_t from, size_t to) const {
        out.append(text.substr(from, to - from));
    }
};

struct Utf16Characters {
    using Text = std::u16string;
    std::u16string_view text;

    size_t size() const { return text.size(); }
    size_t Next(size_t i) const { return i + 1; }
    char32_t Code(size_t i) const { return text[i]; }
    bool AtLineStart(size_t i) const { return i == 0 || IsLineBreak(text[i - 1]); }
    void Append(Text& out, size_t from, size_t to) const {
        out.append(text.substr(from, to - from));
    }
};

// End of the run of characters of one class that contains `from`; remembers
// the last run so that asking again from inside it costs nothing.
template <typename Characters, bool (*InClass)(char32_t)>
class RunEnd {
  public:
    explicit RunEnd(const Characters& chars) : chars_(chars) {}
    size_t From(size_t from) {
        if (from >= run_from_ && from < run_end_) {
            return run_end_;
        }
        size_t end = from;
        while (end < chars_.size() && InClass(chars_.Code(end))) {
            end = chars_.Next(end);
        }
        run_from_ = from;
        run_end_ = end;
        return end;
    }

  private:
    const Characters& chars_;
    size_t run_from_ = kNone;
    size_t run_end_ = 0;
};

// Each pass follows the expression engine's scan: at every position the
// alternatives are tried in order, a match is replaced and the scan goes on
// after it, otherwise the scan moves on by one character. Kept stretches are
// copied whole when the next match (or the end) is reached.
template <typename Characters>
class PassOutput {
  public:
    explicit PassOutput(const Characters& chars) : chars_(chars) { out_.reserve(chars.size()); }
    // Drops [from, to): what lies before it since the last drop is kept.
    void Drop(size_t from, size_t to) {
        chars_.Append(out_, kept_from_, from);
        kept_from_ = to;
    }
    typename Characters::Text Finish() {
        chars_.Append(out_, kept_from_, chars_.size());
        return std::move(out_);
    }

  private:
    const Characters& chars_;
    typename Characters::Text out_;
    size_t kept_from_ = 0;
};

template <typename Characters>
typename Characters::Text StripQuotesPass(const Characters& chars) {
    PassOutput<Characters> out(chars);
    RunEnd<Characters, IsWhiteSpace> white(chars);
    RunEnd<Characters, IsBlankOrQuote> blank(chars);
    const size_t n = chars.size();
    for (size_t p = 0; p < n;) {
        const char32_t c = chars.Code(p);
        size_t match_end = kNone;
        if (IsWhiteSpace(c)) {  // [\s　]+"
            size_t end = white.From(p);
            if (end < n && chars.Code(end) == '"') {
                match_end = end + 1;
            }
        }
        if (match_end == kNone && c == '"') {  // "[\s　]+
            size_t next = chars.Next(p);
            if (next < n && IsWhiteSpace(chars.Code(next))) {
                match_end = white.From(next);
            }
        }
        if (match_end == kNone && IsBlankOrQuote(c)) {
            size_t end = blank.From(p);
            if (chars.AtLineStart(p) || end == n || IsLineBreak(chars.Code(end))) {
                match_end = end;  // ^[ 　"\t]+ or [ 　"\t]+$
            }
        }
        if (match_end != kNone) {
            out.Drop(p, match_end);
            p = match_end;
        } else {
            p = chars.Next(p);
        }
    }
    return out.Finish();
}

template <typename Characters>
typename Characters::Text TrimBlanksPass(const Characters& chars) {
    PassOutput<Characters> out(chars);
    RunEnd<Characters, IsBlank> blank(chars);
    const size_t n = chars.size();
    for (size_t p = 0; p < n;) {
        if (IsBlank(chars.Code(p))) {
            size_t end = blank.From(p);
            if (chars.AtLineStart(p) || end == n || IsLineBreak(chars.Code(end))) {
                out.Drop(p, end);
                p = end;
                continue;
            }
        }
        p = chars.Next(p);
    }
    return out.Finish();
}

// [\s　]+(\[|{|") -> $1
template <typename Characters>
typename Characters::Text SpaceBeforePass(const Characters& chars) {
    PassOutput<Characters> out(chars);
    RunEnd<Characters, IsWhiteSpace> white(chars);
    const size_t n = chars.size();
    for (size_t p = 0; p < n;) {
        if (IsWhiteSpace(chars.Code(p))) {
            size_t end = white.From(p);
            if (end < n && IsOpening(chars.Code(end))) {
                out.Drop(p, end);
                p = end + 1;
                continue;
            }
        }
        p = chars.Next(p);
    }
    return out.Finish();
}

// (\]|}|")[\s　]+ -> $1
template <typename Characters>
typename Characters::Text SpaceAfterPass(const Characters& chars) {
    PassOutput<Characters> out(chars);
    RunEnd<Characters, IsWhiteSpace> white(chars);
    const size_t n = chars.size();
    for (size_t p = 0; p < n;) {
        size_t next = chars.Next(p);
        if (IsClosing(chars.Code(p)) && next < n && IsWhiteSpace(chars.Code(next))) {
            const size_t end = white.From(next);
            out.Drop(next, end);
            next = end;
        }
        p = next;
    }
    return out.Finish();
}

template <typename Pass>
std::string RunOnCharacters(std::string_view text, Pass pass) {
    if (JsonTextCleanup::IsRoundTripStable(text)) {
        return pass(GbkCharacters{text});
    }
    std::u16string wide = TextCodec::GbkToUtf16(text);
    return TextCodec::Utf16ToGbk(pass(Utf16Characters{wide}));
}

// Two-byte sequences that decode to one character and encode back to themselves.
std::bitset<65536> BuildStablePairs() {
    std::bitset<65536> stable;
    for (unsigned lead = 0x81; lead <= 0xFE; ++lead) {
        for (unsigned trail = 0x40; trail <= 0xFE; ++trail) {
            const char pair[] = {static_cast<char>(lead), static_cast<char>(trail)};
            std::string_view bytes(pair, 2);
            std::u16string wide = TextCodec::GbkToUtf16(bytes);
            if (wide.size() == 1 && wide[0] != u'\uFFFD' && TextCodec::Utf16ToGbk(wide) == bytes) {
                stable.set(lead << 8 | trail);
            }
        }
    }
    return stable;
}

}  // namespace

bool JsonTextCleanup::IsRoundTripStable(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && static_cast<unsigned char>(text[i]) < 0x80) {
        ++i;
    }
    if (i == text.size()) {
        return true;
    }
    static const std::unique_ptr<const std::bitset<65536>> stable_pairs =
        std::make_unique<const std::bitset<65536>>(BuildStablePairs());
    while (i < text.size()) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte < 0x80) {
            ++i;
            continue;
        }
        if (i + 1 >= text.size() ||
            !stable_pairs->test(byte << 8 | static_cast<unsigned char>(text[i + 1]))) {
            return false;
        }
        i += 2;
    }
    return true;
}

std::string JsonTextCleanup::StripQuotes(std::string_view text) {
    return RunOnCharacters(text, [](const auto& chars) { return StripQuotesPass(chars); });
}

std::string JsonTextCleanup::TrimBlanks(std::string_view text) {
    return RunOnCharacters(text, [](const auto& chars) { return TrimBlanksPass(chars); });
}

std::string JsonTextCleanup::CompactText(std::string_view text) {
    return RunOnCharacters(text, [](const auto& chars) {
        using Characters = std::decay_t<decltype(chars)>;
        auto spaced = SpaceBeforePass(chars);
        return SpaceAfterPass(Characters{spaced});
    });
}

}  // namespace quillark
