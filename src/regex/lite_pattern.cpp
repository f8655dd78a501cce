#include "regex/lite_pattern.h"

namespace quillark {

bool LitePattern::Create(std::string_view pattern, bool ignore_case, bool multiline, bool global) {
    matches_ = MatchCollection();
    instance_ = std::make_shared<const RegexInstance>(pattern, ignore_case, multiline, global);
    count_ = 0;
    return true;
}

std::string LitePattern::GetPattern() const {
    return instance_ ? instance_->pattern() : std::string();
}

std::string LitePattern::Replace(std::string_view subject, std::string_view replacement) const {
    return instance_ ? instance_->Replace(subject, replacement) : std::string();
}

int LitePattern::Execute(std::string_view subject) {
    matches_ = instance_ ? instance_->Execute(subject) : MatchCollection();
    count_ = matches_.Count();
    return count_;
}

}  // namespace quillark
