#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "regex/pattern_object.h"

namespace quillark {

// One member of a JSON object as the parser cuts it: the name without its
// quotes and the value text as it stands.
struct MemberPair {
    std::string name;
    std::string value;

    bool operator==(const MemberPair&) const = default;
};

// How the parser runs its four white-space and quote clean-ups: with the
// hand-written equivalents (the default) or with the pattern objects
// themselves. Both give the same bytes; the pattern objects serve as the
// reference the hand-written code is checked against.
enum class CleanupEngine { kNative, kPatterns };

// Cuts JSON text one level at a time into the members of an object or the
// elements of an array, without tokenising it: the text is loaded into two
// buffers, the inside of every quoted string is blanked out in one of them, and
// each member or element ends at the first following delimiter before which
// brackets balance. Deeper levels are cut by loading the nested text again.
// Also splits dotted paths into segments and can answer a path straight from
// text. Nothing is ever rejected: malformed text just yields fewer parts.
//
// All positions are 1-based byte positions into the loaded text; -1 means
// "none". A parser is stateful and belongs to one thread.
class JsonTextParser {
  public:
    explicit JsonTextParser(CleanupEngine engine = CleanupEngine::kNative);

    // Runs the marker extraction and the bracket patterns over `text` and keeps
    // nothing: no result and no change to the parser.
    void ProbeText(const std::string& text);
    // The value at `path` read straight from `text`, cutting only the members
    // and elements on the way; the compacted text for a path without segments.
    std::string QueryPath(const std::string& text, const std::string& path, bool zero_based);

    // Turns every masked escaped quote (\'') back into \" in `text` and returns a copy.
    static std::string RestoreQuotes(std::string& text);
    // Removes blanks, full-width spaces, tabs and double quotes at the start and
    // end of every line, and white space next to a double quote.
    std::string StripQuotes(std::string_view text) const;
    // Removes blanks, full-width spaces and tabs at the start and end of every line.
    std::string TrimBlanks(std::string_view text) const;
    // Removes white space before "[", "{" and double quotes and after "]", "}"
    // and double quotes.
    std::string CompactText(std::string_view text) const;

    // Loads `text` and cuts its first object (kind 1) or array (kind 2),
    // whichever bracket comes first outside quotes; with neither, kind is left
    // as given and the result is 0. Returns the number of parts.
    int SplitTop(const std::string& text, std::vector<MemberPair>& members,
                 std::vector<std::string>& elements, int& kind);
    // Cuts the members of the object in `text` (or in the loaded text when
    // text_given is false). Returns their number.
    int SplitObject(const std::string& text, bool text_given, std::vector<MemberPair>& members);
    // Cuts the elements of the array in `text` (or in the loaded text). An empty
    // array has no elements; a trailing comma gives a last empty element.
    int SplitArray(const std::string& text, bool text_given, std::vector<std::string>& elements);
    // 2 for text starting with "[", 1 for "{", else 0.
    static int KindOf(std::string_view text);
    // Kind of the first bracket of `text` unless a double quote comes first;
    // `position` receives where the bracket (or the quote) is, or -1.
    static int DetectKind(std::string_view text, int& position);

    // Splits a dotted path into segments; a dot inside double quotes (or pairs
    // of apostrophes) does not split. Returns the number of segments.
    int SplitPath(std::string_view path);
    int GetSegments(std::vector<std::string>& segments_out) const;
    const std::vector<std::string>& segments() const { return segments_; }
    // mode 0: a.[0].b becomes a[0].b; mode 1: a[0].b becomes a.[0].b; other
    // modes give an empty text.
    std::string NormalizePath(std::string_view path, int mode) const;

    void LoadText(std::string_view text);
    // The first step of loading: every escaped quote \" becomes \'' (an
    // escaped backslash before a closing quote is left alone).
    static std::string MaskEscapedQuotes(std::string_view text);
    // Follow the current query's segments through a list of elements or members.
    int WalkElements(const std::vector<std::string>& elements);
    int WalkMembers(const std::vector<MemberPair>& members);
    // True when braces and brackets balance and double quotes are even strictly
    // between the two positions of the loaded text.
    bool IsBalanced(int from, int to) const;
    // The member name before the colon that follows `position`; position_out
    // receives the colon, or -1 (and the text is a sentinel) when there is none.
    std::string ReadName(int position, int& position_out) const;
    // The value text after the colon at `position`, up to the first balanced
    // "," or "}"; position_out receives that delimiter, or -1 (with a sentinel).
    std::string ReadValue(int position, int& position_out) const;
    // Bytes from..to of the loaded text, or strictly between them.
    std::string SliceSource(int from, int to, bool inclusive) const;
    bool QuotesEven(int from, int to) const;

    // The text between the first `start_mark` at or after `start_pos` and the
    // next `end_mark` (or, backwards, between the first end mark and the last
    // start mark before it), ignoring ASCII case; an empty mark stands for the
    // start or the end of the text. `start_pos` moves past the end mark. A
    // second attempt drops the double quotes from both marks. Empty when a mark
    // is not found.
    static std::string TextBetweenMarkers(std::string_view text, std::string_view start_mark,
                                          std::string_view end_mark, int& start_pos, bool backwards,
                                          int start_shift, int end_shift, bool keep_apostrophes);

  private:
    enum class ListKind { kMembers, kElements };

    // 1-based position of `needle` in the scan buffer at or after `start`
    // (a start below 1 searches from the beginning), or -1.
    int FindInScan(std::string_view needle, int start) const;
    int ScanLength() const { return static_cast<int>(scan_buffer_.size()); }
    int CountBetween(char delimiter, int from, int to) const;
    // The path walk of QueryPath, one level after the other.
    void FollowSegments(ListKind kind, std::vector<MemberPair> members,
                        std::vector<std::string> elements);

    CleanupEngine engine_;
    std::string scan_buffer_;
    std::string source_buffer_;
    PatternObject quote_trim_pattern_;
    PatternObject space_before_pattern_;
    PatternObject space_after_pattern_;
    PatternObject blank_trim_pattern_;
    std::vector<std::string> segments_;
    int segment_cursor_ = 0;
    std::string query_result_;
    bool query_zero_based_ = false;
};

}  // namespace quillark
