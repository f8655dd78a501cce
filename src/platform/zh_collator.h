#pragma once

#include <string_view>

namespace quillark {

// Locale-aware comparison of two GBK texts, our stand-in for lstrcmpA in a
// Chinese user locale: ICU's collator for "zh" (pinyin order for Han
// characters). Negative when `a` goes first, 0 when the collator finds them
// equal, positive otherwise. Thread-safe (one collator per thread).
int CompareGbkZh(std::string_view a, std::string_view b);

}  // namespace quillark
