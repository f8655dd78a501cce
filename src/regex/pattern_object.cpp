#include "regex/pattern_object.h"

#include "text/gbk.h"

namespace quillark {
namespace {

// Puts a backslash before every character of `specials`, one character after
// the other, starting with the backslash itself so that the backslashes added
// later are never doubled. Double-byte characters are stepped over whole, so a
// trail byte that looks like a special character stays as it is.
std::string EscapeEach(std::string_view text, std::string_view specials) {
    std::string out(text);
    for (char special : specials) {
        const char single[] = {special, '\0'};
        const char escaped[] = {'\\', special, '\0'};
        out = gbk::ReplaceAll(out, single, escaped);
    }
    return out;
}

}  // namespace

std::string PatternObject::EscapeWildcard(std::string_view text) {
    std::string out = EscapeEach(text, "\\^$+.{}[]=()-\"");
    out = gbk::ReplaceAll(out, "*", ".*");
    return gbk::ReplaceAll(out, "?", ".?");
}

std::string PatternObject::EscapeLiteral(std::string_view text) {
    return EscapeEach(text, "\\^$+.{}[]=()?*|\"");
}

std::string PatternObject::EscapeKeepAlternation(std::string_view text) {
    return EscapeEach(text, "\\^$+.{}[]=()?*\"");
}

std::string PatternObject::EscapeKeepGroups(std::string_view text) {
    return EscapeEach(text, "\\^$+.{}[]=?*\"");
}

bool PatternObject::Create(std::string_view pattern, bool ignore_case, bool multiline,
                           bool global) {
    instance_ = std::make_shared<const RegexInstance>(pattern, ignore_case, multiline, global);
    return true;
}

int PatternObject::Execute(std::string_view subject) {
    matches_ = instance_ ? instance_->Execute(subject) : MatchCollection();
    return MatchCount();
}

std::string PatternObject::GetPattern() const {
    return instance_ ? instance_->pattern() : std::string();
}

std::string PatternObject::Replace(std::string_view subject, std::string_view replacement) const {
    return instance_ ? instance_->Replace(subject, replacement) : std::string();
}

std::string PatternObject::MatchTextAt(int n, int* start) const {
    if (start != nullptr) {
        *start = matches_.FirstIndex(n - 1);
    }
    return MatchText(n);
}

std::string PatternObject::SubMatchTextAt(int n, int g, int* start) const {
    if (start != nullptr) {
        *start = matches_.FirstIndex(n - 1);
    }
    return SubMatchText(n, g);
}

}  // namespace quillark
