#include "json/json_tree_builder.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "json/json_text_cleanup.h"
#include "json/json_text_parser.h"
#include "json/loaded_json_text.h"
#include "platform/pending_events_hook.h"

namespace quillark {
namespace {

using Delimiter = LoadedJsonText::Delimiter;

int FirstFound(int a, int b) {
    if (a == -1) {
        return b;
    }
    return b == -1 ? a : std::min(a, b);
}

// A stretch [base + 1, base + length] of a loaded text, seen as if it had been
// loaded on its own: positions are relative to it and searches stop at its end.
struct Range {
    std::shared_ptr<const LoadedJsonText> text;
    int base = 0;
    int length = 0;

    int Find(Delimiter delimiter, int start) const {
        const int from = std::max(start, 1);
        if (from > length) {
            return -1;
        }
        const int found = text->Find(delimiter, base + from, base + length);
        return found == -1 ? -1 : found - base;
    }
    bool IsAt(Delimiter delimiter, int position) const {
        return position >= 1 && position <= length && text->IsAt(delimiter, base + position);
    }
    bool IsBalanced(int from, int to) const {
        if (from == -1 || to == -1) {
            return false;
        }
        return text->IsBalanced(base + from, base + to);
    }
    int FirstBalanced(Delimiter delimiter, int start, int after, int before) const {
        before = std::min(before, length + 1);
        const int found =
            text->FirstBalanced(delimiter, base + start, base + std::max(after, 0), base + before);
        return found == -1 ? -1 : found - base;
    }
    int LastBetween(Delimiter delimiter, int after, int before) const {
        before = std::min(before, length + 1);
        const int found = text->LastBetween(delimiter, base + std::max(after, 0), base + before);
        return found == -1 ? -1 : found - base;
    }
    // Absolute [first, last] of the bytes strictly between two relative
    // positions, cut to the stretch.
    std::pair<int, int> Between(int from, int to) const {
        return {base + std::max(from + 1, 1), base + std::min(to - 1, length)};
    }
    std::string_view Bytes(int first, int last) const {
        if (last < first) {
            return {};
        }
        return std::string_view(*text->source())
            .substr(static_cast<size_t>(first - 1), static_cast<size_t>(last - first + 1));
    }
};

// One member or element: its name (members only) and its value, either a
// stretch of the loaded text or a text of its own.
struct Item {
    std::string name;
    bool in_place = false;
    int first = 1;
    int last = 0;
    std::string own_value;
};

// The value text between two delimiters with the blanks at its edges removed,
// as TrimBlanks gives it; kept in place when nothing inside it changes.
Item ValueItem(const Range& range, int from, int to) {
    auto [first, last] = range.Between(from, to);
    Item item;
    if (range.text->reusable()) {
        const std::string& source = *range.text->source();
        auto is_blank = [&](int position) {
            const char c = source[static_cast<size_t>(position - 1)];
            return c == ' ' || c == '\t';
        };
        int trimmed_first = first;
        int trimmed_last = last;
        while (trimmed_first <= trimmed_last && is_blank(trimmed_first)) {
            ++trimmed_first;
        }
        while (trimmed_last >= trimmed_first && is_blank(trimmed_last)) {
            --trimmed_last;
        }
        if (!range.text->HasLineEdgeBlank(trimmed_first, trimmed_last)) {
            item.in_place = true;
            item.first = trimmed_first;
            item.last = trimmed_last;
            return item;
        }
    }
    item.own_value = JsonTextCleanup::TrimBlanks(range.Bytes(first, last));
    return item;
}

// JsonTextParser::ReadName on a stretch: the colon after the name, or -1;
// `position` may move to the object's opening brace.
int ReadName(const Range& range, int& position) {
    const bool on_delimiter = range.IsAt(LoadedJsonText::kOpenBrace, position) ||
                              range.IsAt(LoadedJsonText::kComma, position);
    if (!on_delimiter) {
        const int brace = range.Find(LoadedJsonText::kOpenBrace, position);
        if (brace != -1 && brace > position) {
            position = brace;
        }
    }
    const int open = range.Find(LoadedJsonText::kQuote, position);
    const int close = range.Find(LoadedJsonText::kQuote, open + 1);
    // Colons between the two quotes are passed over, so the first colon after
    // the closing quote is the one when the first colon lies between them.
    int colon = range.Find(LoadedJsonText::kColon, position + 1);
    if (colon != -1 && colon >= open && colon <= close) {
        colon = range.Find(LoadedJsonText::kColon, close + 1);
    }
    return colon;
}

// JsonTextParser::ReadValue on a stretch: the delimiter that ends the value
// after the colon at `position`, or -1.
int ReadValue(const Range& range, int position) {
    int q = position;
    int previous_end = 0;
    while (true) {
        const int bracket = range.Find(LoadedJsonText::kOpenBracket, q + 1);
        const int brace = range.Find(LoadedJsonText::kOpenBrace, q + 1);
        // Until the next opening bracket or brace the search visits every comma
        // and closing brace in turn; jump to the first balanced one, or past
        // them all when none is.
        const int opening =
            FirstFound(bracket, brace) == -1 ? range.length + 1 : FirstFound(bracket, brace);
        const int balanced =
            FirstFound(range.FirstBalanced(LoadedJsonText::kComma, position, q, opening),
                       range.FirstBalanced(LoadedJsonText::kCloseBrace, position, q, opening));
        if (balanced != -1) {
            return balanced;
        }
        const int last = std::max(range.LastBetween(LoadedJsonText::kComma, q, opening),
                                  range.LastBetween(LoadedJsonText::kCloseBrace, q, opening));
        if (last != -1) {
            q = last;
            previous_end = last;
        }
        // One step of the search as the parser takes it.
        const int comma = range.Find(LoadedJsonText::kComma, q + 1);
        const int closing = range.Find(LoadedJsonText::kCloseBrace, q + 1);
        if (comma != -1 && (comma < closing || closing == -1)) {
            q = comma;
        } else if (closing != -1) {
            q = closing;
        } else {
            q = range.length + 1;
        }
        bool nested = false;
        if (bracket != -1 && bracket < q) {
            q = range.Find(LoadedJsonText::kCloseBracket, bracket + 1);
            nested = q != -1;
        } else if (brace != -1 && brace < q) {
            q = range.Find(LoadedJsonText::kCloseBrace, brace + 1);
            nested = q != -1;
        }
        if (!nested) {
            if (q == previous_end || q == -1 || q < previous_end) {
                return -1;
            }
            previous_end = q;
        }
        if (range.IsBalanced(position, q)) {
            return q;
        }
    }
}

std::vector<Item> SplitObject(const Range& range) {
    std::vector<Item> members;
    int position = range.Find(LoadedJsonText::kOpenBrace, 1);
    while (true) {
        PendingEventsHook::Run();
        int name_start = position;
        const int colon = ReadName(range, name_start);
        if (colon == -1) {
            break;
        }
        const int end = ReadValue(range, colon);
        if (end == -1) {
            break;
        }
        auto [first, last] = range.Between(name_start, colon);
        Item member = ValueItem(range, colon, end);
        member.name = JsonTextCleanup::StripQuotes(range.Bytes(first, last));
        members.push_back(std::move(member));
        position = end;
    }
    return members;
}

std::vector<Item> SplitArray(const Range& range) {
    std::vector<Item> elements;
    int cur = range.Find(LoadedJsonText::kOpenBracket, 1);
    while (cur != -1) {
        PendingEventsHook::Run();
        const int start = cur;
        // The parser tries every following comma, then every closing bracket
        // after the last comma, until the stretch from the start balances.
        cur = range.FirstBalanced(LoadedJsonText::kComma, start, start, range.length + 1);
        if (cur == -1) {
            const int last_comma =
                range.LastBetween(LoadedJsonText::kComma, start, range.length + 1);
            cur = range.FirstBalanced(LoadedJsonText::kCloseBracket, start,
                                      last_comma == -1 ? start : last_comma, range.length + 1);
        }
        if (cur == -1) {
            break;
        }
        elements.push_back(ValueItem(range, start, cur));
    }
    if (elements.size() == 1 && !elements[0].in_place && elements[0].own_value.empty()) {
        elements.clear();
    } else if (elements.size() == 1 && elements[0].in_place &&
               elements[0].last < elements[0].first) {
        elements.clear();
    }
    return elements;
}

struct Frame {
    Range range;
    std::vector<Item> items;
    size_t next = 0;
    int parent = 0;
    bool elements = false;
};

}  // namespace

void JsonTreeBuilder::Build(const std::string& text, bool zero_based, ValueCollection& values) {
    values.ClearNodes();
    std::shared_ptr<const LoadedJsonText> loaded = LoadedJsonText::Load(text);
    values.Reserve(loaded->ExpectedNodeCount());
    Range top{loaded, 0, loaded->length()};
    const int brace = top.Find(LoadedJsonText::kOpenBrace, 1);
    const int bracket = top.Find(LoadedJsonText::kOpenBracket, 1);
    int kind = ValueKind::kPlain;
    if (brace != -1 || bracket != -1) {
        kind = (brace == -1 || (bracket != -1 && bracket < brace)) ? ValueKind::kArray
                                                                   : ValueKind::kObject;
    }
    SharedText root_value =
        *loaded->source() == text ? SharedText(loaded->source(), 0, text.size()) : SharedText(text);
    const int root = values.AddSharedNode(
        0, "JSON", kind == ValueKind::kArray ? ValueKind::kArray : ValueKind::kObject,
        std::move(root_value));
    if (kind == ValueKind::kPlain) {
        return;
    }

    std::vector<Frame> stack;
    stack.push_back(Frame{top, kind == ValueKind::kArray ? SplitArray(top) : SplitObject(top), 0,
                          root, kind == ValueKind::kArray});
    while (!stack.empty()) {
        Frame& frame = stack.back();
        if (frame.next == frame.items.size()) {
            stack.pop_back();
            continue;
        }
        Item item = std::move(frame.items[frame.next++]);
        std::string name =
            frame.elements ? "[" + std::to_string(zero_based ? frame.next - 1 : frame.next) + "]"
                           : std::move(item.name);
        const int parent = frame.parent;
        const bool member = !frame.elements;
        Range nested;
        std::string_view value_text;
        SharedText stored;
        if (item.in_place) {
            value_text = frame.range.Bytes(item.first, item.last);
            stored = SharedText(frame.range.text->source(), static_cast<size_t>(item.first - 1),
                                value_text.size());
            nested = Range{frame.range.text, item.first - 1, item.last - item.first + 1};
        } else {
            stored = SharedText(std::move(item.own_value));
            value_text = stored.view();
        }
        const int value_kind = JsonTextParser::KindOf(value_text);
        if (value_kind == ValueKind::kPlain) {
            values.AddSharedNode(parent, name, ValueKind::kPlain, std::move(stored));
        } else {
            if (!item.in_place) {
                std::shared_ptr<const LoadedJsonText> reloaded = LoadedJsonText::Load(value_text);
                nested = Range{reloaded, 0, reloaded->length()};
            }
            std::vector<Item> children =
                value_kind == ValueKind::kObject ? SplitObject(nested) : SplitArray(nested);
            const int index = values.AddSharedNode(parent, name, value_kind, std::move(stored));
            // `frame` may move when the stack grows.
            stack.push_back(Frame{std::move(nested), std::move(children), 0, index,
                                  value_kind == ValueKind::kArray});
        }
        if (member) {
            PendingEventsHook::Run();
        }
    }
}

}  // namespace quillark
