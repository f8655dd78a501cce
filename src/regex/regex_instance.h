#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "platform/regex_engine.h"
#include "regex/match_collection.h"

namespace quillark {

// One configured expression: its pattern text and flags, and the compiled
// form when the engine accepted the pattern. Immutable once made, so copies
// of a pattern object can share it.
class RegexInstance {
  public:
    RegexInstance(std::string_view pattern, bool ignore_case, bool multiline, bool global);

    const std::string& pattern() const { return pattern_; }

    // The matches in a GBK subject; none when the pattern was rejected.
    MatchCollection Execute(std::string_view subject) const;
    // The subject with its matches replaced; empty when the pattern was rejected.
    std::string Replace(std::string_view subject, std::string_view replacement) const;

  private:
    std::string pattern_;
    bool global_;
    std::shared_ptr<const CompiledRegex> compiled_;
};

}  // namespace quillark
