#include "regex/regex_instance.h"

#include "platform/text_codec.h"

namespace quillark {

RegexInstance::RegexInstance(std::string_view pattern, bool ignore_case, bool multiline,
                             bool global)
    : pattern_(pattern),
      global_(global),
      compiled_(RegexEngine::Compile(TextCodec::GbkToUtf16(pattern),
                                     RegexOptions{ignore_case, multiline})) {}

MatchCollection RegexInstance::Execute(std::string_view subject) const {
    if (!compiled_) {
        return MatchCollection();
    }
    return MatchCollection(
        RegexEngine::Execute(*compiled_, TextCodec::GbkToUtf16(subject), global_));
}

std::string RegexInstance::Replace(std::string_view subject, std::string_view replacement) const {
    if (!compiled_) {
        return {};
    }
    return TextCodec::Utf16ToGbk(RegexEngine::Replace(*compiled_, TextCodec::GbkToUtf16(subject),
                                                      TextCodec::GbkToUtf16(replacement), global_));
}

}  // namespace quillark
