#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "regex/match_collection.h"
#include "regex/regex_instance.h"

namespace quillark {

// A regular expression over GBK text with 1-based match and group numbers,
// flags that default to true and empty results instead of errors.
//
// Matching works on characters: the text is converted to UTF-16, so `.` takes
// a whole Chinese character, and match starts count UTF-16 code units. Copies
// share the expression and the last matches (which hold the subject).
class PatternObject {
  public:
    // Pattern text that matches `text` with `*` and `?` as wildcards
    // (`*` becomes `.*`, `?` becomes `.?`) and `|` still separating alternatives.
    static std::string EscapeWildcard(std::string_view text);
    // Pattern text that matches `text` literally.
    static std::string EscapeLiteral(std::string_view text);
    // As EscapeLiteral, but `|` still separates alternatives.
    static std::string EscapeKeepAlternation(std::string_view text);
    // As EscapeLiteral, but parentheses group and `|` separates alternatives.
    static std::string EscapeKeepGroups(std::string_view text);

    // Makes a new expression; the last matches and the subject stay as they were.
    bool Create(std::string_view pattern, bool ignore_case = true, bool multiline = true,
                bool global = true);
    int Execute(std::string_view subject);
    std::string GetPattern() const;
    // The subject with every match (the first one unless global) replaced;
    // "$1" in the replacement stands for group 1. Empty for a rejected pattern.
    std::string Replace(std::string_view subject, std::string_view replacement = {}) const;

    int MatchCount() const { return matches_.Count(); }
    std::string MatchText(int n) const { return matches_.Value(n - 1); }
    std::string SubMatchText(int n, int g) const { return matches_.SubMatch(n - 1, g - 1); }
    int SubMatchCount() const { return matches_.SubMatchCount(0); }
    // As MatchText; `start` receives the 0-based start of the match in UTF-16
    // units, or 0 when there is no match n.
    std::string MatchTextAt(int n, int* start = nullptr) const;
    // As SubMatchText; `start` receives the start of the whole match n.
    std::string SubMatchTextAt(int n, int g, int* start = nullptr) const;

  private:
    std::shared_ptr<const RegexInstance> instance_;
    // The last matches, with the subject they were found in.
    MatchCollection matches_;
};

}  // namespace quillark
