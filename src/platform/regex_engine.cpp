#define PCRE2_CODE_UNIT_WIDTH 16
#include "platform/regex_engine.h"

#include <pcre2.h>

#include <map>
#include <mutex>

namespace quillark {
namespace {

// Bounds the work of one match attempt so that a pattern that backtracks
// catastrophically ends as "no match" instead of hanging the caller.
constexpr uint32_t kMatchLimit = 2'000'000;
constexpr uint32_t kHeapLimitKiB = 64 * 1024;
constexpr size_t kJitStackMax = 1 << 20;
constexpr size_t kCacheCapacity = 512;

struct CodeDeleter {
    void operator()(pcre2_code* code) const { pcre2_code_free(code); }
};
struct MatchDataDeleter {
    void operator()(pcre2_match_data* data) const { pcre2_match_data_free(data); }
};
struct MatchContextDeleter {
    void operator()(pcre2_match_context* context) const { pcre2_match_context_free(context); }
};
struct JitStackDeleter {
    void operator()(pcre2_jit_stack* stack) const { pcre2_jit_stack_free(stack); }
};
struct CompileContextDeleter {
    void operator()(pcre2_compile_context* context) const { pcre2_compile_context_free(context); }
};
using MatchDataPtr = std::unique_ptr<pcre2_match_data, MatchDataDeleter>;

// A match context with the limits and a JIT stack, one per thread because a
// JIT stack must not be used by two matches at the same time.
class ThreadMatchContext {
  public:
    ThreadMatchContext()
        : context_(pcre2_match_context_create(nullptr)),
          stack_(pcre2_jit_stack_create(32 * 1024, kJitStackMax, nullptr)) {
        if (context_) {
            pcre2_set_match_limit(context_.get(), kMatchLimit);
            pcre2_set_depth_limit(context_.get(), kMatchLimit);
            pcre2_set_heap_limit(context_.get(), kHeapLimitKiB);
            if (stack_) {
                pcre2_jit_stack_assign(context_.get(), nullptr, stack_.get());
            }
        }
    }
    pcre2_match_context* get() const { return context_.get(); }

  private:
    std::unique_ptr<pcre2_match_context, MatchContextDeleter> context_;
    std::unique_ptr<pcre2_jit_stack, JitStackDeleter> stack_;
};

pcre2_match_context* CurrentMatchContext() {
    thread_local ThreadMatchContext context;
    return context.get();
}

PCRE2_SPTR16 AsPcre(const char16_t* text) {
    return reinterpret_cast<PCRE2_SPTR16>(text);
}

}  // namespace

class CompiledRegex {
  public:
    explicit CompiledRegex(pcre2_code* code) : code_(code) {
        pcre2_pattern_info(code, PCRE2_INFO_CAPTURECOUNT, &capture_count_);
    }
    pcre2_code* code() const { return code_.get(); }
    uint32_t capture_count() const { return capture_count_; }

  private:
    std::unique_ptr<pcre2_code, CodeDeleter> code_;
    uint32_t capture_count_ = 0;
};

namespace {

std::shared_ptr<const CompiledRegex> CompileUncached(std::u16string_view pattern,
                                                     RegexOptions flags) {
    std::unique_ptr<pcre2_compile_context, CompileContextDeleter> context(
        pcre2_compile_context_create(nullptr));
    if (!context) {
        return nullptr;
    }
    pcre2_set_newline(context.get(), PCRE2_NEWLINE_ANYCRLF);
    pcre2_set_bsr(context.get(), PCRE2_BSR_ANYCRLF);
    // No PCRE2_UTF: the subject is matched unit by unit, as this dialect always
    // treated UTF-16 text, so offsets count UTF-16 code units. Without
    // PCRE2_UCP, case folding and \s \d \w stay ASCII.
    uint32_t options = PCRE2_DOLLAR_ENDONLY | PCRE2_MATCH_UNSET_BACKREF | PCRE2_ALT_BSUX;
    if (flags.ignore_case) {
        options |= PCRE2_CASELESS;
    }
    if (flags.multiline) {
        options |= PCRE2_MULTILINE;
    }
    int error = 0;
    PCRE2_SIZE error_offset = 0;
    pcre2_code* code = pcre2_compile(AsPcre(pattern.data()), pattern.size(), options, &error,
                                     &error_offset, context.get());
    if (code == nullptr) {
        return nullptr;
    }
    // Without JIT the interpreter runs the same pattern, only slower.
    pcre2_jit_compile(code, PCRE2_JIT_COMPLETE);
    return std::make_shared<const CompiledRegex>(code);
}

// Process-wide cache of compiled patterns. A pattern that fails to compile is
// cached as nullptr, so a bad pattern is not recompiled on every use either.
class RegexCache {
  public:
    static RegexCache& Instance() {
        static RegexCache cache;
        return cache;
    }

    std::shared_ptr<const CompiledRegex> Get(std::u16string_view pattern, RegexOptions options) {
        Key key{std::u16string(pattern), options.ignore_case, options.multiline};
        {
            std::lock_guard lock(mutex_);
            if (auto found = entries_.find(key); found != entries_.end()) {
                return found->second;
            }
        }
        std::shared_ptr<const CompiledRegex> compiled = CompileUncached(pattern, options);
        std::lock_guard lock(mutex_);
        if (entries_.size() >= kCacheCapacity) {
            entries_.clear();
        }
        entries_.emplace(std::move(key), compiled);
        return compiled;
    }

  private:
    struct Key {
        std::u16string pattern;
        bool ignore_case;
        bool multiline;
        auto operator<=>(const Key&) const = default;
    };
    std::mutex mutex_;
    std::map<Key, std::shared_ptr<const CompiledRegex>> entries_;
};

// Walks the successive non-overlapping matches of one subject. After an empty
// match the next attempt must not be empty at the same place; failing that,
// the search moves on one unit (two over a CR LF pair), so the walk always ends.
class MatchWalker {
  public:
    MatchWalker(const CompiledRegex& regex, std::u16string_view subject)
        : regex_(regex),
          subject_(subject),
          data_(pcre2_match_data_create_from_pattern(regex.code(), nullptr)) {}

    // The next match, or false when there is none (or the engine gave up).
    bool Next() {
        if (!data_ || done_) {
            return false;
        }
        while (true) {
            if (offset_ > subject_.size()) {
                done_ = true;
                return false;
            }
            uint32_t options = retry_after_empty_ ? (PCRE2_NOTEMPTY_ATSTART | PCRE2_ANCHORED) : 0;
            int rc = pcre2_match(regex_.code(), AsPcre(subject_.data()), subject_.size(), offset_,
                                 options, data_.get(), CurrentMatchContext());
            if (rc >= 0) {
                const PCRE2_SIZE* ovector = pcre2_get_ovector_pointer(data_.get());
                // \K in a lookbehind can report an end before the start; treat as no match.
                if (ovector[1] < ovector[0]) {
                    done_ = true;
                    return false;
                }
                retry_after_empty_ = ovector[0] == ovector[1];
                offset_ = ovector[1];
                return true;
            }
            if (rc == PCRE2_ERROR_NOMATCH && retry_after_empty_) {
                retry_after_empty_ = false;
                offset_ += StepLength();
                continue;
            }
            done_ = true;
            return false;
        }
    }

    const PCRE2_SIZE* ovector() const { return pcre2_get_ovector_pointer(data_.get()); }

  private:
    size_t StepLength() const {
        if (offset_ + 1 < subject_.size() && subject_[offset_] == u'\r' &&
            subject_[offset_ + 1] == u'\n') {
            return 2;
        }
        return 1;
    }

    const CompiledRegex& regex_;
    std::u16string_view subject_;
    MatchDataPtr data_;
    size_t offset_ = 0;
    bool retry_after_empty_ = false;
    bool done_ = false;
};

void AppendOffsets(std::vector<size_t>& offsets, const PCRE2_SIZE* ovector,
                   uint32_t capture_count) {
    for (uint32_t i = 0; i < 2 * (capture_count + 1); ++i) {
        offsets.push_back(ovector[i] == PCRE2_UNSET ? RegexMatches::kUnset : ovector[i]);
    }
}

bool IsDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}

// Appends the replacement for one match, expanding the dollar references.
void AppendReplacement(std::u16string& out, std::u16string_view replacement,
                       std::u16string_view subject, const PCRE2_SIZE* ovector,
                       uint32_t capture_count) {
    auto append_group = [&](uint32_t group) {
        PCRE2_SIZE start = ovector[2 * group];
        if (start != PCRE2_UNSET) {
            out.append(subject.substr(start, ovector[2 * group + 1] - start));
        }
    };
    for (size_t i = 0; i < replacement.size(); ++i) {
        char16_t c = replacement[i];
        if (c != u'$' || i + 1 >= replacement.size()) {
            out.push_back(c);
            continue;
        }
        char16_t next = replacement[i + 1];
        if (next == u'$') {
            out.push_back(u'$');
            ++i;
        } else if (next == u'&') {
            append_group(0);
            ++i;
        } else if (next == u'`') {
            out.append(subject.substr(0, ovector[0]));
            ++i;
        } else if (next == u'\'') {
            out.append(subject.substr(ovector[1]));
            ++i;
        } else if (IsDigit(next)) {
            // Two digits when they name an existing group, else one digit; a
            // reference to a group that does not exist is copied as it stands.
            uint32_t one = next - u'0';
            if (i + 2 < replacement.size() && IsDigit(replacement[i + 2])) {
                uint32_t two = one * 10 + (replacement[i + 2] - u'0');
                if (two >= 1 && two <= capture_count) {
                    append_group(two);
                    i += 2;
                    continue;
                }
            }
            if (one >= 1 && one <= capture_count) {
                append_group(one);
                ++i;
            } else {
                out.push_back(c);
            }
        } else {
            out.push_back(c);
        }
    }
}

}  // namespace

std::shared_ptr<const CompiledRegex> RegexEngine::Compile(std::u16string_view pattern,
                                                          RegexOptions options) {
    return RegexCache::Instance().Get(pattern, options);
}

RegexMatches RegexEngine::Execute(const CompiledRegex& regex, std::u16string subject, bool global) {
    RegexMatches result;
    result.subject = std::move(subject);
    result.group_count = regex.capture_count();
    // Offsets gather in a buffer the thread keeps, so a long run does not
    // regrow (and fault in) a fresh vector each time; the result gets one
    // allocation of the exact size.
    thread_local std::vector<size_t> scratch;
    scratch.clear();
    MatchWalker walker(regex, result.subject);
    while (walker.Next()) {
        AppendOffsets(scratch, walker.ovector(), regex.capture_count());
        if (!global) {
            break;
        }
    }
    result.offsets.assign(scratch.begin(), scratch.end());
    return result;
}

std::u16string RegexEngine::Replace(const CompiledRegex& regex, std::u16string_view subject,
                                    std::u16string_view replacement, bool global) {
    std::u16string out;
    out.reserve(subject.size());
    size_t copied_up_to = 0;
    MatchWalker walker(regex, subject);
    while (walker.Next()) {
        const PCRE2_SIZE* ovector = walker.ovector();
        out.append(subject.substr(copied_up_to, ovector[0] - copied_up_to));
        AppendReplacement(out, replacement, subject, ovector, regex.capture_count());
        copied_up_to = ovector[1];
        if (!global) {
            break;
        }
    }
    out.append(subject.substr(copied_up_to));
    return out;
}

}  // namespace quillark
