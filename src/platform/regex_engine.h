#pragma once

// The regular-expression engine behind the pattern objects: PCRE2 in 16-bit
// mode with JIT, configured for the dialect the program's patterns are written
// in (ECMAScript-like): `^` and `$` at line breaks when multi-line, `.` not
// matching a line break, ASCII-only case folding, a brace that starts no valid
// count taken literally, "$1" group references in replacements.
//
// Compiled patterns are cached process-wide, so short-lived pattern objects do
// not recompile. Everything here is thread-safe and reports failure by result.

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillark {

// Options fixed when a pattern is compiled. Whether a run stops after the
// first match is chosen per run.
struct RegexOptions {
    bool ignore_case = true;
    bool multiline = true;
};

class CompiledRegex;

// The matches of one run over one subject, as offsets in UTF-16 code units.
// The subject is kept so that texts can be cut out later. Offsets are stored
// flat, (groups + 1) start/end pairs per match, so a run over a long text
// makes no allocation per match.
struct RegexMatches {
    static constexpr size_t kUnset = static_cast<size_t>(-1);

    std::u16string subject;
    size_t group_count = 0;
    std::vector<size_t> offsets;

    size_t Count() const { return offsets.size() / PairsPerMatch() / 2; }
    // Group 0 is the whole match; a group that took no part starts at kUnset.
    size_t Start(size_t match, size_t group = 0) const { return offsets[Index(match, group)]; }
    size_t End(size_t match, size_t group = 0) const { return offsets[Index(match, group) + 1]; }

  private:
    size_t PairsPerMatch() const { return group_count + 1; }
    size_t Index(size_t match, size_t group) const { return (match * PairsPerMatch() + group) * 2; }
};

class RegexEngine {
  public:
    // The compiled form of `pattern`, or nullptr when the engine rejects it.
    static std::shared_ptr<const CompiledRegex> Compile(std::u16string_view pattern,
                                                        RegexOptions options);

    // Every non-overlapping match from left to right (only the first one unless
    // `global`). A match attempt that exceeds the engine's limits counts as no
    // match, and the run stops there.
    static RegexMatches Execute(const CompiledRegex& regex, std::u16string subject, bool global);

    // The subject with the first match (every match when global) replaced.
    // In the replacement, $1..$99 stand for groups, $& for the match, $` and $'
    // for the text before and after it, $$ for one dollar sign; any other
    // character is copied.
    static std::u16string Replace(const CompiledRegex& regex, std::u16string_view subject,
                                  std::u16string_view replacement, bool global);
};

}  // namespace quillark
