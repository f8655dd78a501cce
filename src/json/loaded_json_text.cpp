#include "json/loaded_json_text.h"

#include <algorithm>

#include "json/json_text_cleanup.h"
#include "json/json_text_parser.h"

namespace quillark {
namespace {

int DelimiterIndex(char c) {
    switch (c) {
        case '{':
            return LoadedJsonText::kOpenBrace;
        case '}':
            return LoadedJsonText::kCloseBrace;
        case '[':
            return LoadedJsonText::kOpenBracket;
        case ']':
            return LoadedJsonText::kCloseBracket;
        case '"':
            return LoadedJsonText::kQuote;
        case ':':
            return LoadedJsonText::kColon;
        case ',':
            return LoadedJsonText::kComma;
        default:
            return -1;
    }
}

bool IsLineBreak(char c) {
    return c == '\n' || c == '\r';
}

// Loading masks escaped quotes before it removes white space, so removing
// white space can bring a backslash next to a quote: then the loaded text
// would mask differently when a part of it is loaded again.
bool MaskingKeeps(const std::string& text) {
    if (text.find('\\') == std::string::npos) {
        return true;
    }
    return JsonTextParser::MaskEscapedQuotes(text) == text;
}

}  // namespace

std::shared_ptr<const LoadedJsonText> LoadedJsonText::Load(std::string_view text) {
    // JsonTextParser::LoadText with the hand-written clean-ups.
    std::string source = JsonTextCleanup::CompactText(
        text.find('\\') == std::string_view::npos ? std::string(text)
                                                  : JsonTextParser::MaskEscapedQuotes(text));
    return std::shared_ptr<const LoadedJsonText>(new LoadedJsonText(std::move(source)));
}

LoadedJsonText::LoadedJsonText(std::string source)
    : source_(std::make_shared<const std::string>(std::move(source))) {
    // The parser's scan copy blanks the inside of every closed string; an
    // unclosed last string stays visible. Read it through that filter instead
    // of making the copy.
    const std::string& text = *source_;
    const size_t quote_count = static_cast<size_t>(std::count(text.begin(), text.end(), '"'));
    const size_t unclosed_from = quote_count % 2 == 1 ? text.rfind('"') + 1 : text.size();
    auto for_each_visible = [&](auto visit) {
        bool inside = false;
        for (size_t i = 0; i < text.size(); ++i) {
            const char c = text[i];
            if (c == '"') {
                inside = !inside;
            } else if (inside && i < unclosed_from) {
                continue;
            }
            visit(i, c);
        }
    };
    // Counted first so that every list is allocated once at its final size.
    std::array<size_t, 7> counts{};
    for_each_visible([&](size_t, char c) {
        const int delimiter = DelimiterIndex(c);
        if (delimiter != -1) {
            ++counts[static_cast<size_t>(delimiter)];
        }
    });
    size_t total = 0;
    for (size_t d = 0; d < counts.size(); ++d) {
        positions_[d].reserve(counts[d]);
        total += counts[d];
    }
    all_positions_.reserve(total);
    balance_after_.reserve(total);
    commas_.reserve(counts[kComma]);
    closing_braces_.reserve(counts[kCloseBrace]);
    closing_brackets_.reserve(counts[kCloseBracket]);

    Balance balance;
    bool ascii_outside_strings = true;
    for_each_visible([&](size_t i, char c) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            ascii_outside_strings = false;
            return;
        }
        const int delimiter = DelimiterIndex(c);
        if (delimiter == -1) {
            return;
        }
        const int position = static_cast<int>(i) + 1;
        positions_[static_cast<size_t>(delimiter)].push_back(position);
        switch (delimiter) {
            case kOpenBrace:
                ++balance.braces;
                break;
            case kCloseBrace:
                closing_braces_.push_back({balance, position});
                --balance.braces;
                break;
            case kOpenBracket:
                ++balance.brackets;
                break;
            case kCloseBracket:
                closing_brackets_.push_back({balance, position});
                --balance.brackets;
                break;
            case kQuote:
                balance.quotes_odd ^= 1;
                break;
            case kComma:
                commas_.push_back({balance, position});
                break;
            default:
                break;
        }
        all_positions_.push_back(position);
        balance_after_.push_back(balance);
    });
    std::sort(commas_.begin(), commas_.end());
    std::sort(closing_braces_.begin(), closing_braces_.end());
    std::sort(closing_brackets_.begin(), closing_brackets_.end());
    reusable_ = ascii_outside_strings && balance.quotes_odd == 0 &&
                JsonTextCleanup::IsRoundTripStable(*source_) && MaskingKeeps(*source_);
    if (reusable_) {
        FindLineEdgeBlanks();
    }
}

void LoadedJsonText::FindLineEdgeBlanks() {
    const std::string& text = *source_;
    const size_t n = text.size();
    auto blank_length = [&](size_t i) -> size_t {
        if (text[i] == ' ' || text[i] == '\t') {
            return 1;
        }
        return (i + 1 < n && text[i] == '\xA1' && text[i + 1] == '\xA1') ? 2 : 0;
    };
    for (size_t i = 0; i < n;) {
        size_t length = blank_length(i);
        if (length == 0) {
            i += static_cast<unsigned char>(text[i]) >= 0x80 ? 2 : 1;
            continue;
        }
        const size_t first = i;
        while (i < n && (length = blank_length(i)) != 0) {
            i += length;
        }
        const bool after_break = first > 0 && IsLineBreak(text[first - 1]);
        const bool before_break = i < n && IsLineBreak(text[i]);
        if (after_break || before_break) {
            line_edge_blanks_.emplace_back(static_cast<int>(first) + 1, static_cast<int>(i));
        }
    }
}

int LoadedJsonText::Find(Delimiter delimiter, int from, int last) const {
    const std::vector<int>& list = positions_[delimiter];
    auto found = std::lower_bound(list.begin(), list.end(), std::max(from, 1));
    return (found != list.end() && *found <= last) ? *found : -1;
}

int LoadedJsonText::LastBetween(Delimiter delimiter, int after, int before) const {
    const std::vector<int>& list = positions_[delimiter];
    auto found = std::lower_bound(list.begin(), list.end(), before);
    if (found == list.begin()) {
        return -1;
    }
    --found;
    return *found > after ? *found : -1;
}

bool LoadedJsonText::IsAt(Delimiter delimiter, int position) const {
    return std::binary_search(positions_[delimiter].begin(), positions_[delimiter].end(), position);
}

LoadedJsonText::Balance LoadedJsonText::BalanceThrough(int position) const {
    auto after = std::upper_bound(all_positions_.begin(), all_positions_.end(), position);
    if (after == all_positions_.begin()) {
        return Balance{};
    }
    return balance_after_[static_cast<size_t>(after - all_positions_.begin() - 1)];
}

bool LoadedJsonText::IsBalanced(int from, int to) const {
    if (from == -1 || to == -1) {
        return false;
    }
    if (to - 1 <= from) {
        return true;  // nothing lies strictly between
    }
    return BalanceThrough(to - 1) == BalanceThrough(from);
}

const std::vector<LoadedJsonText::BalancedPosition>* LoadedJsonText::BalancedList(
    Delimiter delimiter) const {
    switch (delimiter) {
        case kComma:
            return &commas_;
        case kCloseBrace:
            return &closing_braces_;
        case kCloseBracket:
            return &closing_brackets_;
        default:
            return nullptr;
    }
}

int LoadedJsonText::FirstBalanced(Delimiter delimiter, int start, int after, int before) const {
    const std::vector<BalancedPosition>* list = BalancedList(delimiter);
    if (list == nullptr || start == -1) {
        return -1;
    }
    const Balance wanted = BalanceThrough(start);
    auto found = std::lower_bound(list->begin(), list->end(), BalancedPosition{wanted, after + 1});
    if (found == list->end() || found->before != wanted || found->position >= before) {
        return -1;
    }
    return found->position;
}

bool LoadedJsonText::HasLineEdgeBlank(int first, int last) const {
    auto found = std::lower_bound(
        line_edge_blanks_.begin(), line_edge_blanks_.end(), first,
        [](const std::pair<int, int>& run, int position) { return run.second < position; });
    return found != line_edge_blanks_.end() && found->first <= last;
}

}  // namespace quillark
