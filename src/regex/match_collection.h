#pragma once

#include <memory>
#include <string>

#include "platform/regex_engine.h"

namespace quillark {

// The matches of one run, shared between copies of a pattern object the way
// a counted reference would be. Numbers are 0-based here; the pattern objects
// turn their callers' 1-based numbers into these. Reads out of range give
// empty text.
class MatchCollection {
  public:
    MatchCollection() = default;
    explicit MatchCollection(RegexMatches matches)
        : matches_(std::make_shared<const RegexMatches>(std::move(matches))) {}

    int Count() const;
    std::string Value(int index) const;
    // Offset of the match in UTF-16 code units, 0 when out of range.
    int FirstIndex(int index) const;
    int SubMatchCount(int index) const;
    std::string SubMatch(int index, int group) const;
    bool Contains(int index) const { return index >= 0 && index < Count(); }

  private:
    std::string Cut(size_t start, size_t end) const;

    std::shared_ptr<const RegexMatches> matches_;
};

}  // namespace quillark
