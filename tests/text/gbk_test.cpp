#include "text/gbk.h"

#include <gtest/gtest.h>

#include "platform/text_codec.h"
#include "text/gbk_literal.h"

namespace quillark {
namespace {

using namespace literals;

TEST(GbkLiteral, ConvertsUtf8SourceTextToGbkBytes) {
    EXPECT_EQ("正常"_gbk, "\xD5\xFD\xB3\xA3");
    EXPECT_EQ("零"_gbk, "\xC1\xE3");
    EXPECT_EQ("abc"_gbk, "abc");
}

TEST(GbkFind, StepsOverDoubleByteCharacters) {
    // 乗 is 81 5C in GBK: its trail byte is a backslash, and must not be found.
    const std::string text = std::string("\x81\x5C") + "\\";
    EXPECT_EQ(gbk::Find(text, "\\"), 3);
    // 乗 again: its trail byte 0x41 is 'A'; finding "A" must skip it.
    EXPECT_EQ(gbk::Find("\x81\x41"
                        "A",
                        "A"),
              3);
    EXPECT_EQ(gbk::Find("\x81\x41", "a", 1, gbk::Case::kIgnoreAscii), -1);
}

TEST(GbkFind, PositionsAreOneBasedAndMissingIsMinusOne) {
    struct Case {
        std::string text, needle;
        long start;
        gbk::Case mode;
        long expected;
    } cases[] = {
        {"abcabc", "bc", 1, gbk::Case::kExact, 2},
        {"abcabc", "bc", 3, gbk::Case::kExact, 5},
        {"abcabc", "BC", 1, gbk::Case::kExact, -1},
        {"abcabc", "BC", 1, gbk::Case::kIgnoreAscii, 2},
        {"abc", "", 2, gbk::Case::kExact, 2},
        {"abc", "x", 0, gbk::Case::kExact, -1},
        {"abc", "c", 9, gbk::Case::kExact, -1},
        {"", "a", 1, gbk::Case::kExact, -1},
        // A start inside a double-byte character moves on to the next character.
        {"\xB0\xA1"
         "a",
         "a", 2, gbk::Case::kExact, 3},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(gbk::Find(c.text, c.needle, c.start, c.mode), c.expected)
            << c.text << " / " << c.needle;
    }
}

TEST(GbkReplaceAll, ReplacesWholeCharactersOnly) {
    EXPECT_EQ(gbk::ReplaceAll("a.b.c", ".", "::"), "a::b::c");
    EXPECT_EQ(gbk::ReplaceAll("aaa", "aa", "b"), "ba");
    EXPECT_EQ(gbk::ReplaceAll("abc", "", "x"), "abc");
    EXPECT_EQ(gbk::ReplaceAll("\x81\x5C\\", "\\", "/"), "\x81\x5C/");
    // A lone lead byte at the end never reads past the text.
    EXPECT_EQ(gbk::ReplaceAll("a\xB0", "\xB0", "x"), "ax");
}

TEST(GbkSplit, KeepsInnerEmptyPiecesAndDropsTheOneAfterAFinalSeparator) {
    using Pieces = std::vector<std::string>;
    EXPECT_EQ(gbk::Split("", "|"), Pieces{});
    EXPECT_EQ(gbk::Split("a|b", "|"), (Pieces{"a", "b"}));
    EXPECT_EQ(gbk::Split("a||b|", "|"), (Pieces{"a", "", "b"}));
    EXPECT_EQ(gbk::Split("|", "|"), (Pieces{""}));
    EXPECT_EQ(gbk::Split("a\r\nb\nc", "\r\n"), (Pieces{"a", "b\nc"}));
    // 亅 is 81 7C: a bar as trail byte is not a separator.
    EXPECT_EQ(gbk::Split("\x81\x7C|x", "|"), (Pieces{"\x81\x7C", "x"}));
}

TEST(GbkTrim, RemovesOnlyAsciiAndFullWidthSpacesAtTheEnds) {
    EXPECT_EQ(gbk::Trim("  a b  "), "a b");
    EXPECT_EQ(gbk::Trim("\xA1\xA1 a\xA1\xA1"), "a");
    EXPECT_EQ(gbk::Trim("\ta\n"), "\ta\n");
    EXPECT_EQ(gbk::Trim("   "), "");
    // B0 A1 A1 A1: the character 啊 followed by a lone A1 byte; nothing to trim.
    EXPECT_EQ(gbk::Trim("\xB0\xA1\xA1"), "\xB0\xA1\xA1");
    EXPECT_EQ(gbk::Trim("x\xA1"), "x\xA1");
    EXPECT_TRUE(gbk::IsBlank(" \xA1\xA1 "));
    EXPECT_FALSE(gbk::IsBlank(" \t"));
}

TEST(TextCodec, RoundTripsGbkThroughUtf16AndUtf8) {
    const std::string gbk = "\xD5\xFD\xB3\xA3 ok \x80";  // 正常 ok €
    EXPECT_EQ(TextCodec::GbkToUtf16(gbk), u"正常 ok €");
    EXPECT_EQ(TextCodec::Utf16ToGbk(TextCodec::GbkToUtf16(gbk)), gbk);
    EXPECT_EQ(TextCodec::GbkToUtf8(gbk), "正常 ok €");
    EXPECT_EQ(TextCodec::Utf8ToGbk("正常 ok €"), gbk);
}

TEST(TextCodec, MalformedInputIsReplacedNotOverread) {
    EXPECT_EQ(TextCodec::GbkToUtf16("a\xB0"), u"a\uFFFD");
    EXPECT_EQ(TextCodec::GbkToUtf16("\xFF"), u"\uF8F5");
    EXPECT_EQ(TextCodec::Utf16ToGbk(u"\U0001F600"), "?");
    std::u16string decoded;
    EXPECT_FALSE(TextCodec::DecodeCharset("abc", "no-such-charset", decoded));
    EXPECT_TRUE(TextCodec::DecodeCharset("\xE9", "iso-8859-1", decoded));
    EXPECT_EQ(decoded, u"é");
}

}  // namespace
}  // namespace quillark
