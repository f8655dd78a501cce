#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "regex/match_collection.h"
#include "regex/regex_instance.h"

namespace quillark {

// The lighter pattern object: the core operations of PatternObject and a
// stored match count. Used for one pattern over one text inside one call.
class LitePattern {
  public:
    // Drops the previous expression and matches and makes a new expression.
    bool Create(std::string_view pattern, bool ignore_case = true, bool multiline = true,
                bool global = true);
    std::string GetPattern() const;
    std::string Replace(std::string_view subject, std::string_view replacement = {}) const;
    int Execute(std::string_view subject);

    int MatchCount() const { return count_; }
    std::string MatchText(int n) const { return matches_.Value(n - 1); }
    std::string SubMatchText(int n, int g) const { return matches_.SubMatch(n - 1, g - 1); }
    int SubMatchCount() const { return count_ == 0 ? 0 : matches_.SubMatchCount(0); }

  private:
    std::shared_ptr<const RegexInstance> instance_;
    MatchCollection matches_;
    int count_ = 0;
};

}  // namespace quillark
