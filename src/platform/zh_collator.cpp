#include "platform/zh_collator.h"

#include <unicode/ucol.h>

#include <memory>

#include "platform/text_codec.h"

namespace quillark {
namespace {

struct CollatorCloser {
    void operator()(UCollator* collator) const { ucol_close(collator); }
};

UCollator* ThreadCollator() {
    thread_local std::unique_ptr<UCollator, CollatorCloser> collator = [] {
        UErrorCode status = U_ZERO_ERROR;
        std::unique_ptr<UCollator, CollatorCloser> opened(ucol_open("zh", &status));
        if (U_FAILURE(status)) {
            opened.reset();
        }
        return opened;
    }();
    return collator.get();
}

}  // namespace

int CompareGbkZh(std::string_view a, std::string_view b) {
    const std::u16string wideA = TextCodec::GbkToUtf16(a);
    const std::u16string wideB = TextCodec::GbkToUtf16(b);
    UCollator* collator = ThreadCollator();
    if (collator == nullptr) {
        return wideA.compare(wideB) < 0 ? -1 : (wideA == wideB ? 0 : 1);
    }
    switch (ucol_strcoll(collator, wideA.data(), static_cast<int32_t>(wideA.size()), wideB.data(),
                         static_cast<int32_t>(wideB.size()))) {
        case UCOL_LESS:
            return -1;
        case UCOL_GREATER:
            return 1;
        default:
            return 0;
    }
}

}  // namespace quillark
