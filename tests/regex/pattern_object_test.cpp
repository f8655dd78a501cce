#include "regex/pattern_object.h"

#include <gtest/gtest.h>

#include "platform/text_codec.h"
#include "regex/lite_pattern.h"

namespace quillark {
namespace {

std::string Gbk(const char* utf8) {
    return TextCodec::Utf8ToGbk(utf8);
}

constexpr const char* kUrlPattern = "(http(s)?://)?([^/:]+)(:(\\d+))?";

TEST(PatternObject, DefaultFlagsAreMultilineCaselessAndGlobal) {
    PatternObject pattern;
    ASSERT_TRUE(pattern.Create("^ab$"));
    EXPECT_EQ(pattern.Execute("AB\nab\r\nx"), 2);
    EXPECT_EQ(pattern.MatchText(1), "AB");
    EXPECT_EQ(pattern.MatchText(2), "ab");
    EXPECT_EQ(pattern.GetPattern(), "^ab$");
}

TEST(PatternObject, MatchesCharactersNotBytes) {
    PatternObject pattern;
    pattern.Create("a.c");
    // 啊 is two GBK bytes but one character for the pattern.
    EXPECT_EQ(pattern.Execute(Gbk("a啊c")), 1);
    pattern.Create(Gbk("[ 　]+"));
    int start = -1;
    EXPECT_EQ(pattern.Execute(Gbk("名字　 x")), 1);
    EXPECT_EQ(pattern.MatchTextAt(1, &start), Gbk("　 "));
    EXPECT_EQ(start, 2) << "starts count UTF-16 units";
    pattern.Create("[^=;]+");
    EXPECT_EQ(pattern.Execute(Gbk("键=值")), 2);
    EXPECT_EQ(pattern.MatchText(2), Gbk("值"));
}

TEST(PatternObject, DotStopsAtLineBreaksButClassWithBothMatchesAll) {
    PatternObject pattern;
    pattern.Create("a.+");
    pattern.Execute("ab\ncd");
    EXPECT_EQ(pattern.MatchText(1), "ab");
    pattern.Create("{[\\s\\S]+}");
    pattern.Execute("x{a\n}y");
    EXPECT_EQ(pattern.MatchText(1), "{a\n}");
    pattern.Create("a{|b");
    EXPECT_EQ(pattern.Execute("a{b"), 2) << "a brace that starts no count is literal";
}

TEST(PatternObject, GroupsOfTheUrlPattern) {
    LitePattern pattern;
    ASSERT_TRUE(pattern.Create(kUrlPattern, true, true, false));
    EXPECT_EQ(pattern.Execute("example.test:8080/path"), 1);
    EXPECT_EQ(pattern.SubMatchText(1, 3), "example.test");
    EXPECT_EQ(pattern.SubMatchText(1, 5), "8080");
    EXPECT_EQ(pattern.SubMatchCount(), 5);
    pattern.Execute("https://example.test/path");
    EXPECT_EQ(pattern.SubMatchText(1, 3), "example.test");
    EXPECT_EQ(pattern.SubMatchText(1, 2), "s");
    EXPECT_EQ(pattern.SubMatchText(1, 5), "");
}

TEST(PatternObject, ReplaceExpandsGroupReferences) {
    PatternObject pattern;
    pattern.Create("(\\w)(\\d)(\\w)");
    EXPECT_EQ(pattern.Replace("a1b c2d"), " ");
    EXPECT_EQ(pattern.Replace("a1b c2d", "$1"), "a c");
    EXPECT_EQ(pattern.Replace("a1b", "$1.$2$3"), "a.1b");
    EXPECT_EQ(pattern.Replace("a1b", "$$ $& $9 $x $"), "$ a1b $9 $x $");
    LitePattern first;
    first.Create("a", true, true, false);
    EXPECT_EQ(first.Replace("aaa", "b"), "baa");
}

TEST(PatternObject, OutOfRangeReadsAreEmpty) {
    PatternObject pattern;
    EXPECT_EQ(pattern.Execute("x"), 0) << "no instance yet";
    EXPECT_EQ(pattern.Replace("x", "y"), "");
    pattern.Create("[^=;]+");
    EXPECT_EQ(pattern.Execute(""), 0);
    EXPECT_EQ(pattern.MatchText(1), "");
    pattern.Execute("ab");
    int start = 7;
    EXPECT_EQ(pattern.MatchText(0), "");
    EXPECT_EQ(pattern.SubMatchText(1, 0), "");
    EXPECT_EQ(pattern.MatchTextAt(5, &start), "");
    EXPECT_EQ(start, 0);
    pattern.Create("b(x)?");
    pattern.Execute("ab");
    EXPECT_EQ(pattern.SubMatchTextAt(1, 9, &start), "");
    EXPECT_EQ(start, 1) << "a group out of range still reports the match's start";
}

TEST(PatternObject, RejectedPatternMatchesNothingAndReplacesToEmpty) {
    PatternObject pattern;
    EXPECT_TRUE(pattern.Create("(ab"));
    EXPECT_EQ(pattern.Execute("ab"), 0);
    EXPECT_EQ(pattern.MatchText(1), "");
    EXPECT_EQ(pattern.Replace("ab", "x"), "");
    EXPECT_EQ(pattern.GetPattern(), "(ab");
}

TEST(PatternObject, RunawayBacktrackingCountsAsNoMatch) {
    PatternObject pattern;
    pattern.Create("(a+)+$");
    EXPECT_EQ(pattern.Execute(std::string(40, 'a') + "!"), 0);
}

TEST(PatternObject, EmptyMatchesAdvance) {
    PatternObject pattern;
    pattern.Create("x*");
    EXPECT_EQ(pattern.Execute("axxb"), 4);  // "", "xx", "" before b, "" at the end
    EXPECT_EQ(pattern.MatchText(2), "xx");
    EXPECT_EQ(pattern.Replace("ab", "-"), "-a-b-");
}

TEST(PatternObject, CopiesShareMatchesButCreateReplacesOnlyTheirOwnExpression) {
    PatternObject pattern;
    pattern.Create("b");
    pattern.Execute("abb");
    PatternObject copy = pattern;
    copy.Create("a");
    EXPECT_EQ(copy.MatchCount(), 2) << "Create keeps the last matches";
    EXPECT_EQ(pattern.GetPattern(), "b");
    LitePattern lite;
    lite.Create("b");
    lite.Execute("abb");
    lite.Create("a");
    EXPECT_EQ(lite.MatchCount(), 0) << "LitePattern drops them";
    EXPECT_EQ(lite.MatchText(1), "");
}

TEST(PatternObjectEscape, EscapesInTableOrder) {
    EXPECT_EQ(PatternObject::EscapeWildcard("a*b?.txt"), "a.*b.?\\.txt");
    EXPECT_EQ(PatternObject::EscapeLiteral("1+1=2?"), "1\\+1\\=2\\?");
    EXPECT_EQ(PatternObject::EscapeLiteral("a\\b|c"), "a\\\\b\\|c");
    EXPECT_EQ(PatternObject::EscapeKeepAlternation("a|b*"), "a|b\\*");
    EXPECT_EQ(PatternObject::EscapeKeepGroups("(a|b)."), "(a|b)\\.");
    EXPECT_EQ(PatternObject::EscapeWildcard("a|b-\""), "a|b\\-\\\"");
    // 乗 (81 5C), 乛 (81 5B), 亅 (81 7C): trail bytes that look special stay.
    const std::string tricky = "\x81\x5C\x81\x5B\x81\x7C";
    EXPECT_EQ(PatternObject::EscapeWildcard(tricky), tricky);
    EXPECT_EQ(PatternObject::EscapeLiteral(tricky), tricky);
    EXPECT_EQ(PatternObject::EscapeKeepAlternation(tricky), tricky);
    EXPECT_EQ(PatternObject::EscapeKeepGroups(tricky), tricky);
}

TEST(PatternObject, EscapedLiteralMatchesItself) {
    const std::string text = Gbk("价格(元)=[1+2]*3? a|b \\ 乗");
    PatternObject pattern;
    pattern.Create(PatternObject::EscapeLiteral(text));
    ASSERT_EQ(pattern.Execute("x" + text + "y"), 1);
    EXPECT_EQ(pattern.MatchText(1), text);
}

TEST(PatternObject, SetCookieLinesMatchInAnyCase) {
    LitePattern pattern;
    pattern.Create("Set-Cookie: ?([^=;]*)=([^=;]*);?", true, true, true);
    EXPECT_EQ(pattern.Execute("set-cookie: sid=abc; path=/\r\nSET-COOKIE:k=v; x\r\n"), 2);
    EXPECT_EQ(pattern.SubMatchText(1, 1), "sid");
    EXPECT_EQ(pattern.SubMatchText(2, 2), "v");
}

}  // namespace
}  // namespace quillark
