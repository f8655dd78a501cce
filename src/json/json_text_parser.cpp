#include "json/json_text_parser.h"

#include <algorithm>

#include "json/json_text_cleanup.h"
#include "platform/pending_events_hook.h"
#include "text/gbk.h"
#include "text/gbk_literal.h"

namespace quillark {

using namespace quillark::literals;

namespace {

// The clean-up expressions are written with two apostrophes where they need a
// double quote, which keeps them readable here; they are compiled with the
// double quote put back. The wide blank is the full-width space.
std::string Unquoted(std::string_view stored) {
    return gbk::ReplaceAll(stored, "''", "\"");
}

const std::string& QuoteTrimSource() {
    return R"([\s　]+''|''[\s　]+|^[ 　''\t]+|[ 　''\t]+$)"_gbk;
}
const std::string& BlankTrimSource() {
    return R"(^[ 　\t]+|[ 　\t]+$)"_gbk;
}
const std::string& SpaceBeforeSource() {
    return R"([\s　]+(\[|{|''))"_gbk;
}
const std::string& SpaceAfterSource() {
    return R"((\]|}|'')[\s　]+)"_gbk;
}

// Returned by ReadName and ReadValue when they find no end; the caller stops
// on the -1 that comes with it and never stores it.
const std::string& OutOfRange() {
    return "超出"_gbk;
}

std::string ElementName(size_t one_based, bool zero_based) {
    return "[" + std::to_string(zero_based ? one_based - 1 : one_based) + "]";
}

}  // namespace

JsonTextParser::JsonTextParser(CleanupEngine engine) : engine_(engine) {
    quote_trim_pattern_.Create(Unquoted(QuoteTrimSource()));
    blank_trim_pattern_.Create(Unquoted(BlankTrimSource()));
    space_before_pattern_.Create(Unquoted(SpaceBeforeSource()));
    space_after_pattern_.Create(Unquoted(SpaceAfterSource()));
}

void JsonTextParser::ProbeText(const std::string& text) {
    int start_pos = 0;
    TextBetweenMarkers(text, "\"", "\"", start_pos, false, 0, 0, false);
    PatternObject objects;
    PatternObject arrays;
    objects.Create(R"({[\s\S]+})");
    arrays.Create(R"(\[[\s\S]+\])");
    const int count = objects.Execute(text);
    for (int n = 1; n <= count; ++n) {
        objects.MatchText(n);
    }
}

std::string JsonTextParser::QueryPath(const std::string& text, const std::string& path,
                                      bool zero_based) {
    if (path.empty() || SplitPath(path) == 0) {
        return CompactText(text);
    }
    query_zero_based_ = zero_based;
    segment_cursor_ = 1;
    query_result_.clear();
    std::vector<MemberPair> members;
    std::vector<std::string> elements;
    int kind = 0;
    SplitTop(text, members, elements, kind);
    if (kind == 2) {
        WalkElements(elements);
    } else {
        WalkMembers(members);
    }
    std::string result = StripQuotes(query_result_);
    return RestoreQuotes(result);
}

std::string JsonTextParser::RestoreQuotes(std::string& text) {
    if (text.find('\\') != std::string::npos) {
        text = gbk::ReplaceAll(text, "\\''", "\\\"");
    }
    return text;
}

std::string JsonTextParser::StripQuotes(std::string_view text) const {
    if (engine_ == CleanupEngine::kPatterns) {
        return quote_trim_pattern_.Replace(text);
    }
    return JsonTextCleanup::StripQuotes(text);
}

std::string JsonTextParser::TrimBlanks(std::string_view text) const {
    if (engine_ == CleanupEngine::kPatterns) {
        return blank_trim_pattern_.Replace(text);
    }
    return JsonTextCleanup::TrimBlanks(text);
}

std::string JsonTextParser::CompactText(std::string_view text) const {
    if (engine_ == CleanupEngine::kPatterns) {
        return space_after_pattern_.Replace(space_before_pattern_.Replace(text, "$1"), "$1");
    }
    return JsonTextCleanup::CompactText(text);
}

int JsonTextParser::SplitTop(const std::string& text, std::vector<MemberPair>& members,
                             std::vector<std::string>& elements, int& kind) {
    LoadText(text);
    const int brace = FindInScan("{", 1);
    const int bracket = FindInScan("[", 1);
    if (brace == -1 && bracket == -1) {
        return 0;
    }
    if (brace == -1 || (bracket != -1 && bracket < brace)) {
        kind = 2;
        return SplitArray(text, false, elements);
    }
    kind = 1;
    return SplitObject(text, false, members);
}

int JsonTextParser::SplitObject(const std::string& text, bool text_given,
                                std::vector<MemberPair>& members) {
    if (text_given) {
        LoadText(text);
    }
    int pos = FindInScan("{", 1);
    members.clear();
    do {
        PendingEventsHook::Run();
        std::string name = ReadName(pos, pos);
        if (pos == -1) {
            break;
        }
        std::string value = TrimBlanks(ReadValue(pos, pos));
        if (pos == -1) {
            break;
        }
        members.push_back(MemberPair{std::move(name), std::move(value)});
    } while (pos != -1);
    return static_cast<int>(members.size());
}

int JsonTextParser::SplitArray(const std::string& text, bool text_given,
                               std::vector<std::string>& elements) {
    if (text_given) {
        LoadText(text);
    }
    elements.clear();
    int cur = FindInScan("[", 1);
    while (cur != -1) {
        PendingEventsHook::Run();
        const int start = cur;
        do {
            const int comma = FindInScan(",", cur + 1);
            cur = comma != -1 ? comma : FindInScan("]", cur + 1);
            PendingEventsHook::Run();
        } while (cur != -1 && !IsBalanced(start, cur));
        if (cur == -1) {
            break;
        }
        elements.push_back(TrimBlanks(SliceSource(start, cur, false)));
    }
    if (elements.size() == 1 && elements[0].empty()) {
        elements.clear();
    }
    return static_cast<int>(elements.size());
}

int JsonTextParser::KindOf(std::string_view text) {
    if (text.empty()) {
        return 0;
    }
    return text[0] == '[' ? 2 : text[0] == '{' ? 1 : 0;
}

int JsonTextParser::DetectKind(std::string_view text, int& position) {
    const long brace = gbk::Find(text, "{");
    const long bracket = gbk::Find(text, "[");
    const long quote = gbk::Find(text, "\"");
    long bracket_at = -1;
    int kind = 0;
    if (brace != -1 && (bracket == -1 || brace < bracket)) {
        bracket_at = brace;
        kind = 1;
    } else if (bracket != -1) {
        bracket_at = bracket;
        kind = 2;
    }
    if (bracket_at == -1 && quote == -1) {
        position = -1;
        return 0;
    }
    if (bracket_at == -1 || (quote != -1 && quote < bracket_at)) {
        position = static_cast<int>(quote);
        return 0;
    }
    position = static_cast<int>(bracket_at);
    return kind;
}

int JsonTextParser::SplitPath(std::string_view path) {
    const std::string p = path.find('\'') == std::string_view::npos
                              ? std::string(path)
                              : gbk::ReplaceAll(path, "''", "\"");
    const long length = static_cast<long>(p.size());
    // Where the platform text search would find a dot or a double quote: at
    // character starts only. Found once, so a long path splits in linear time.
    std::vector<long> dots;
    std::vector<long> quotes_at;
    for (size_t i = 0; i < p.size(); i += gbk::CharLength(p, i)) {
        if (p[i] == '.') {
            dots.push_back(static_cast<long>(i) + 1);
        } else if (p[i] == '"') {
            quotes_at.push_back(static_cast<long>(i) + 1);
        }
    }
    auto find = [](const std::vector<long>& at, long start) {
        auto found = std::lower_bound(at.begin(), at.end(), start);
        return found == at.end() ? -1L : *found;
    };
    segments_.clear();
    long start = 0;
    long dot = 0;
    bool done = false;
    while (!done) {
        dot = find(dots, dot + 1);
        if (dot == -1) {
            dot = length + 1;
            done = true;
        }
        int quotes = 0;
        const long first_quote = find(quotes_at, start + 1);
        if (first_quote != -1 && first_quote < dot) {
            quotes = 1;
            const long second_quote = find(quotes_at, first_quote + 1);
            if (second_quote != -1 && second_quote < dot) {
                quotes = 2;
            }
        }
        if (quotes == 1) {
            continue;  // the dot is inside a quoted stretch
        }
        segments_.push_back(StripQuotes(std::string_view(p).substr(
            static_cast<size_t>(start), static_cast<size_t>(dot - start - 1))));
        start = dot;
    }
    return static_cast<int>(segments_.size());
}

int JsonTextParser::GetSegments(std::vector<std::string>& segments_out) const {
    segments_out = segments_;
    return static_cast<int>(segments_out.size());
}

std::string JsonTextParser::NormalizePath(std::string_view path, int mode) const {
    PatternObject pattern;
    if (mode == 0) {
        pattern.Create(R"(\.(\[\d+\]))");
        return pattern.Replace(path, "$1");
    }
    if (mode == 1) {
        pattern.Create(R"(([^\.])(\[\d+\])(\.?))");
        return pattern.Replace(path, "$1.$2$3");
    }
    return {};
}

std::string JsonTextParser::MaskEscapedQuotes(std::string_view text) {
    if (text.find('\\') == std::string_view::npos) {
        return std::string(text);  // every pass below needs a backslash
    }
    // Escaped quotes stop being quotes: \" becomes \'' (and back in
    // RestoreQuotes). Escaped backslashes are set aside first so that the
    // backslash of \\ before a closing quote does not escape it.
    std::string masked = gbk::ReplaceAll(text, "\\\\", "\\|\\|");
    masked = gbk::ReplaceAll(masked, "\\\"", "\\''");
    return gbk::ReplaceAll(masked, "\\|\\|", "\\\\");
}

void JsonTextParser::LoadText(std::string_view text) {
    source_buffer_ = text.find('\\') == std::string_view::npos
                         ? CompactText(text)
                         : CompactText(MaskEscapedQuotes(text));
    scan_buffer_ = source_buffer_;
    // Blank the inside of every quoted string, so that only structural
    // brackets, colons and commas remain visible in the scan buffer.
    int open = 0;
    int count = 0;
    for (int p = FindInScan("\"", 1); p != -1; p = FindInScan("\"", p + 1)) {
        if (++count % 2 == 1) {
            open = p;
        } else if (p - open - 1 > 0) {
            std::fill_n(scan_buffer_.begin() + open, p - open - 1, ' ');
        }
    }
}

int JsonTextParser::WalkElements(const std::vector<std::string>& elements) {
    FollowSegments(ListKind::kElements, {}, elements);
    return 1;
}

int JsonTextParser::WalkMembers(const std::vector<MemberPair>& members) {
    FollowSegments(ListKind::kMembers, members, {});
    return 1;
}

void JsonTextParser::FollowSegments(ListKind kind, std::vector<MemberPair> members,
                                    std::vector<std::string> elements) {
    // Each level follows its first match only, so the walk is a loop over the
    // levels rather than a recursion as deep as the text.
    while (segment_cursor_ >= 1 && segment_cursor_ <= static_cast<int>(segments_.size())) {
        const std::string& segment = segments_[static_cast<size_t>(segment_cursor_ - 1)];
        const std::string* value = nullptr;
        if (kind == ListKind::kMembers) {
            for (const MemberPair& member : members) {
                if (member.name == segment) {
                    value = &member.value;
                    break;
                }
            }
        } else {
            for (size_t i = 0; i < elements.size(); ++i) {
                if (ElementName(i + 1, query_zero_based_) == segment) {
                    value = &elements[i];
                    break;
                }
            }
        }
        if (value == nullptr) {
            return;
        }
        if (segment_cursor_ == static_cast<int>(segments_.size())) {
            query_result_ = *value;
            return;
        }
        ++segment_cursor_;
        const std::string nested = *value;
        switch (KindOf(nested)) {
            case 1:
                SplitObject(nested, true, members);
                kind = ListKind::kMembers;
                break;
            case 2:
                SplitArray(nested, true, elements);
                kind = ListKind::kElements;
                break;
            default:
                return;
        }
    }
}

int JsonTextParser::FindInScan(std::string_view needle, int start) const {
    const size_t from = start <= 1 ? 0 : static_cast<size_t>(start - 1);
    if (from > scan_buffer_.size()) {
        return -1;
    }
    const size_t found = scan_buffer_.find(needle, from);
    return found == std::string::npos ? -1 : static_cast<int>(found) + 1;
}

int JsonTextParser::CountBetween(char delimiter, int from, int to) const {
    int count = 0;
    for (int p = FindInScan(std::string_view(&delimiter, 1), from + 1); p != -1 && p < to;
         p = FindInScan(std::string_view(&delimiter, 1), p + 1)) {
        PendingEventsHook::Run();
        ++count;
    }
    return count;
}

bool JsonTextParser::IsBalanced(int from, int to) const {
    if (from == -1 || to == -1) {
        return false;
    }
    if (CountBetween('{', from, to) != CountBetween('}', from, to)) {
        return false;
    }
    if (CountBetween('[', from, to) != CountBetween(']', from, to)) {
        return false;
    }
    return CountBetween('"', from, to) % 2 == 0;
}

std::string JsonTextParser::ReadName(int position, int& position_out) const {
    const bool on_delimiter = position >= 1 && position <= ScanLength() &&
                              (scan_buffer_[static_cast<size_t>(position - 1)] == '{' ||
                               scan_buffer_[static_cast<size_t>(position - 1)] == ',');
    if (!on_delimiter) {
        const int brace = FindInScan("{", position);
        if (brace != -1 && brace > position) {
            position = brace;
        }
    }
    const int open = FindInScan("\"", position);
    const int close = FindInScan("\"", open + 1);
    int q = position;
    do {
        q = FindInScan(":", q + 1);
    } while (q != -1 && q >= open && q <= close);  // a colon inside the name is passed over
    position_out = q;
    if (q == -1) {
        return OutOfRange();
    }
    return StripQuotes(SliceSource(position, q, false));
}

std::string JsonTextParser::ReadValue(int position, int& position_out) const {
    int q = position;
    int previous_end = 0;
    while (true) {
        const int bracket = FindInScan("[", q + 1);
        const int brace = FindInScan("{", q + 1);
        const int comma = FindInScan(",", q + 1);
        const int closing = FindInScan("}", q + 1);
        if (comma != -1 && (comma < closing || closing == -1)) {
            q = comma;
        } else if (closing != -1) {
            q = closing;
        } else {
            q = ScanLength() + 1;
        }
        bool nested = false;
        if (bracket != -1 && bracket < q) {
            q = FindInScan("]", bracket + 1);
            nested = q != -1;
        } else if (brace != -1 && brace < q) {
            q = FindInScan("}", brace + 1);
            nested = q != -1;
        }
        if (!nested) {
            if (q == previous_end || q == -1 || q < previous_end) {
                position_out = -1;
                return OutOfRange();
            }
            previous_end = q;
        }
        if (IsBalanced(position, q)) {
            position_out = q;
            return SliceSource(position, q, false);
        }
    }
}

std::string JsonTextParser::SliceSource(int from, int to, bool inclusive) const {
    // Positions outside the text are cut to it, so a stray -1 never reads
    // before the first byte.
    long first = inclusive ? from : static_cast<long>(from) + 1;
    long last = inclusive ? to : static_cast<long>(to) - 1;
    first = std::max(first, 1L);
    last = std::min(last, static_cast<long>(source_buffer_.size()));
    if (last < first) {
        return {};
    }
    return source_buffer_.substr(static_cast<size_t>(first - 1),
                                 static_cast<size_t>(last - first + 1));
}

bool JsonTextParser::QuotesEven(int from, int to) const {
    return CountBetween('"', from, to) % 2 == 0;
}

std::string JsonTextParser::TextBetweenMarkers(std::string_view text, std::string_view start_mark,
                                               std::string_view end_mark, int& start_pos,
                                               bool backwards, int start_shift, int end_shift,
                                               bool keep_apostrophes) {
    std::string start_text(start_mark);
    std::string end_text(end_mark);
    std::string t(text);
    if (!keep_apostrophes) {
        start_text = gbk::ReplaceAll(start_text, "''", "\"");
        end_text = gbk::ReplaceAll(end_text, "''", "\"");
    }
    if (start_text.empty()) {
        start_text = "#Qelmar头#"_gbk;
        t = start_text + t;
    }
    if (end_text.empty()) {
        end_text = "#Qelmar尾#"_gbk;
        t += end_text;
    }
    const int entry_pos = start_pos;
    long begin = -1;
    long end = -1;
    for (int attempt = 1; attempt <= 2 && (begin == -1 || end == -1); ++attempt) {
        if (attempt == 2) {
            start_pos = entry_pos;
            start_text = gbk::ReplaceAll(start_text, "\"", "");
            end_text = gbk::ReplaceAll(end_text, "\"", "");
        }
        const long from = std::max(start_pos, 1);
        begin = -1;
        end = -1;
        if (!backwards) {
            begin = gbk::Find(t, start_text, from, gbk::Case::kIgnoreAscii);
            if (begin != -1) {
                end = gbk::Find(t, end_text, begin + static_cast<long>(start_text.size()),
                                gbk::Case::kIgnoreAscii);
            }
        } else {
            end = gbk::Find(t, end_text, from, gbk::Case::kIgnoreAscii);
            // The last start mark that lies wholly before the end mark.
            for (long at = gbk::Find(t, start_text, 1, gbk::Case::kIgnoreAscii);
                 end != -1 && at != -1 && at + static_cast<long>(start_text.size()) <= end;
                 at = gbk::Find(t, start_text, at + 1, gbk::Case::kIgnoreAscii)) {
                begin = at;
                if (start_text.empty()) {
                    break;
                }
            }
        }
    }
    if (begin == -1 || end == -1) {
        return {};
    }
    start_pos = static_cast<int>(end + static_cast<long>(end_text.size()));
    const long first = begin + static_cast<long>(start_text.size()) + start_shift;
    const long length =
        end - begin - static_cast<long>(start_text.size()) - start_shift + end_shift;
    if (length <= 0 || first < 1 || first > static_cast<long>(t.size())) {
        return {};
    }
    return t.substr(static_cast<size_t>(first - 1), static_cast<size_t>(length));
}

}  // namespace quillark
