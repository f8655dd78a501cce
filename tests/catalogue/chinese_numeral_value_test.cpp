#include "catalogue/chinese_numeral_value.h"

#include <gtest/gtest.h>

#include "platform/text_codec.h"

namespace quillark {
namespace {

double ValueOf(const char* utf8) {
    return ChineseNumeralValue(TextCodec::Utf8ToGbk(utf8));
}

TEST(ChineseNumeralValue, WorkedExamplesAndEdgeCases) {
    struct Case {
        const char* text;
        double expected;
    } cases[] = {
        {"一", 1},
        {"九", 9},
        {"十", 10},
        {"十一", 11},
        {"十九", 19},
        {"二十", 20},
        {"二十三", 23},
        {"一百零五", 105},
        {"一千零一", 1001},
        {"十区", 10},
        {"", 0},
        {"12", 12},
        {"abc", 0},
        {"三区", 3},
        {"十五区", 15},
        {"拾五", 15},
        {"拾", 10},
        {"三千零五十", 3050},
        {"一万二千", 12000},
        // A unit is never multiplied over a group that already ends in a unit.
        {"二十万", 20},
        // The leading ten before a unit stays 10: 10 + 0000| -> 100000.
        {"十万", 100000},
        // Full-width digits count like ASCII ones.
        {"１２", 12},
        {"-3", -3},
        {"1.5e2x", 150},
        {"0x10", 0},
        {"inf", 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ValueOf(c.text), c.expected) << c.text;
    }
}

TEST(ChineseNumeralValue, NeverRewritesAcrossACharacterBoundary) {
    // B6 FE is 二; the text "\xB6\xB6\xFE" holds 抖 (B6 B6) followed by a lone FE,
    // so no 二 starts at a character boundary.
    EXPECT_EQ(ChineseNumeralValue("\xB6\xB6\xFE"), 0);
    // A lone lead byte at the end is read without overrunning the text.
    EXPECT_EQ(ChineseNumeralValue("5\xCA"), 5);
}

TEST(ChineseNumeralValue, LeavesTheCallersTextAlone) {
    std::string text = TextCodec::Utf8ToGbk("十九");
    const std::string before = text;
    EXPECT_EQ(ChineseNumeralValue(text), 19);
    EXPECT_EQ(text, before);
}

}  // namespace
}  // namespace quillark
