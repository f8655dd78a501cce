#include "catalogue/server_location_lookup.h"

#include <gtest/gtest.h>

#include "platform/text_codec.h"

namespace quillark {
namespace {

std::string Gbk(const char* utf8) {
    return TextCodec::Utf8ToGbk(utf8);
}

TEST(UnescapeUnicode, DecodesEscapesOfGbkCharacters) {
    struct Case {
        std::string text, expected;
    } cases[] = {
        {"\\u4e2d\\u56fd", Gbk("中国")},
        {"\\u4E2D", Gbk("中")},
        {"a\\u0041b", "a\\u0041b"},  // below 255: stays as written
        {"x\\ud83dy", "xy"},         // a lone surrogate disappears
        {"x\\u00ffy", "xy"},         // ÿ has no GBK form
        {"\\U4e2d", "\\U4e2d"},      // upper-case U is no escape
        {"http:\\/\\/a\\/b", "http://a/b"},
        {"\\n\\\"", "\\n\\\""},      // other escapes are left for the JSON reader
        {"end\\u101", Gbk("endā")},  // an incomplete escape decodes the digits it has
        {"\\u", "\\u"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ServerLocationLookup::UnescapeUnicode(c.text), c.expected) << c.text;
    }
}

TEST(UnescapeUnicode, NeverReadsPastTheText) {
    EXPECT_EQ(ServerLocationLookup::UnescapeUnicode("\\u4"), "\\u4");
    // Letters beyond F count on: zzzz is 0x25553, the code units U+5553 (啓) and U+0002.
    EXPECT_EQ(ServerLocationLookup::DecodeUnicodeEscape("\\uzzzz"), Gbk("啓") + "\x02");
    EXPECT_EQ(ServerLocationLookup::Utf16ToGbText("\x2D"), "");
}

}  // namespace
}  // namespace quillark
