#include "regex/match_collection.h"

#include "platform/text_codec.h"

namespace quillark {

int MatchCollection::Count() const {
    return matches_ ? static_cast<int>(matches_->Count()) : 0;
}

std::string MatchCollection::Value(int index) const {
    if (!Contains(index)) {
        return {};
    }
    return Cut(matches_->Start(static_cast<size_t>(index)),
               matches_->End(static_cast<size_t>(index)));
}

int MatchCollection::FirstIndex(int index) const {
    if (!Contains(index)) {
        return 0;
    }
    return static_cast<int>(matches_->Start(static_cast<size_t>(index)));
}

int MatchCollection::SubMatchCount(int index) const {
    if (!Contains(index)) {
        return 0;
    }
    return static_cast<int>(matches_->group_count);
}

std::string MatchCollection::SubMatch(int index, int group) const {
    if (!Contains(index) || group < 0 || group >= SubMatchCount(index)) {
        return {};
    }
    const size_t start =
        matches_->Start(static_cast<size_t>(index), static_cast<size_t>(group) + 1);
    if (start == RegexMatches::kUnset) {
        return {};
    }
    return Cut(start, matches_->End(static_cast<size_t>(index), static_cast<size_t>(group) + 1));
}

std::string MatchCollection::Cut(size_t start, size_t end) const {
    return TextCodec::Utf16ToGbk(std::u16string_view(matches_->subject).substr(start, end - start));
}

}  // namespace quillark
