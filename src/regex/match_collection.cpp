#include "regex/match_collection.h"

#include "platform/text_codec.h"

namespace quillark {

int MatchCollection::Count() const {
    return matches_ ? static_cast<int>(matches_->spans.size()) : 0;
}

std::string MatchCollection::Value(int index) const {
    if (!Contains(index)) {
        return {};
    }
    const RegexMatchSpan& span = matches_->spans[static_cast<size_t>(index)];
    return Cut(span.start, span.end);
}

int MatchCollection::FirstIndex(int index) const {
    if (!Contains(index)) {
        return 0;
    }
    return static_cast<int>(matches_->spans[static_cast<size_t>(index)].start);
}

int MatchCollection::SubMatchCount(int index) const {
    if (!Contains(index)) {
        return 0;
    }
    return static_cast<int>(matches_->spans[static_cast<size_t>(index)].groups.size());
}

std::string MatchCollection::SubMatch(int index, int group) const {
    if (!Contains(index) || group < 0 || group >= SubMatchCount(index)) {
        return {};
    }
    const auto& [start, end] =
        matches_->spans[static_cast<size_t>(index)].groups[static_cast<size_t>(group)];
    if (start == RegexMatchSpan::kUnset) {
        return {};
    }
    return Cut(start, end);
}

std::string MatchCollection::Cut(size_t start, size_t end) const {
    return TextCodec::Utf16ToGbk(std::u16string_view(matches_->subject).substr(start, end - start));
}

}  // namespace quillark
