#include "json/json_text_parser.h"

#include <gtest/gtest.h>

#include "platform/text_codec.h"

namespace quillark {
namespace {

std::string Gbk(const char* utf8) {
    return TextCodec::Utf8ToGbk(utf8);
}

// Every behaviour must be the same whichever engine runs the clean-ups.
class JsonTextParserTest : public ::testing::TestWithParam<CleanupEngine> {
  protected:
    JsonTextParserTest() : parser_(GetParam()) {}

    std::vector<MemberPair> Members(const std::string& text) {
        std::vector<MemberPair> members;
        parser_.SplitObject(text, true, members);
        return members;
    }
    std::vector<std::string> Elements(const std::string& text) {
        std::vector<std::string> elements;
        parser_.SplitArray(text, true, elements);
        return elements;
    }

    JsonTextParser parser_;
};

INSTANTIATE_TEST_SUITE_P(Engines, JsonTextParserTest,
                         ::testing::Values(CleanupEngine::kNative, CleanupEngine::kPatterns));

TEST_P(JsonTextParserTest, StringsHideTheirDelimiters) {
    EXPECT_EQ(Members(R"({"a": "x{[:,y", "b":2})"),
              (std::vector<MemberPair>{{"a", R"("x{[:,y")"}, {"b", "2"}}));
    EXPECT_EQ(Elements(R"(["]", "a,b"])"), (std::vector<std::string>{R"("]")", R"("a,b")"}));
}

TEST_P(JsonTextParserTest, EscapedQuotesAreMaskedAndRestored) {
    std::vector<MemberPair> members = Members(R"({"s":"a\"b","t":"c\\","u":"\u4e2d"})");
    ASSERT_EQ(members.size(), 3u);
    EXPECT_EQ(members[0].value, R"("a\''b")");
    EXPECT_EQ(JsonTextParser::RestoreQuotes(members[0].value), R"("a\"b")");
    EXPECT_EQ(members[0].value, R"("a\"b")");  // updated in place too
    EXPECT_EQ(members[1].value, R"("c\\")");   // the escaped backslash closes the string
    EXPECT_EQ(members[2].value, R"("\u4e2d")");
}

TEST_P(JsonTextParserTest, ArraysEmptyTrailingCommaAndNesting) {
    EXPECT_TRUE(Elements("[]").empty());
    EXPECT_TRUE(Elements("[ ]").empty());
    EXPECT_EQ(Elements("[1,2,]"), (std::vector<std::string>{"1", "2", ""}));
    EXPECT_EQ(Elements("[[1,2],{\"a\":[3]}]"), (std::vector<std::string>{"[1,2]", "{\"a\":[3]}"}));
    EXPECT_EQ(Members(R"({"o":{"p":[1,{"q":2}],"r":3},"s":4})"),
              (std::vector<MemberPair>{{"o", R"({"p":[1,{"q":2}],"r":3})"}, {"s", "4"}}));
}

TEST_P(JsonTextParserTest, WhiteSpaceAroundBracketsGoesButLineBreaksBeforeClosingBraceStay) {
    EXPECT_EQ(Members("{\n  \"code\": 0\n}"), (std::vector<MemberPair>{{"code", "0\n"}}));
    EXPECT_EQ(Members("{\r\n\t\"a\" : [ 1 ] ,\r\n\t\"b\": \"x\"\r\n}"),
              (std::vector<MemberPair>{{"a", "[ 1 ]"}, {"b", "\"x\""}}));
    // Each element keeps the line break before it; its indentation is trimmed.
    EXPECT_EQ(Elements("[\n  1,\n  2\n]"), (std::vector<std::string>{"\n1", "\n2\n"}));
}

TEST_P(JsonTextParserTest, SplitTopPicksTheFirstBracketOutsideQuotes) {
    std::vector<MemberPair> members;
    std::vector<std::string> elements;
    int kind = 7;
    EXPECT_EQ(parser_.SplitTop("no brackets \"[{\"", members, elements, kind), 0);
    EXPECT_EQ(kind, 7);
    EXPECT_EQ(parser_.SplitTop("\"{\" [1,2]", members, elements, kind), 2);
    EXPECT_EQ(kind, 2);
    EXPECT_EQ(elements, (std::vector<std::string>{"1", "2"}));
    EXPECT_EQ(parser_.SplitTop("{\"a\":[1]}", members, elements, kind), 1);
    EXPECT_EQ(kind, 1);
    EXPECT_EQ(members, (std::vector<MemberPair>{{"a", "[1]"}}));
}

TEST_P(JsonTextParserTest, TruncatedAndUnbalancedTextYieldsWhatCouldBeCut) {
    // The last value runs to the end of the text, empty here.
    EXPECT_EQ(Members(R"({"a":1,"b":)"), (std::vector<MemberPair>{{"a", "1"}, {"b", ""}}));
    EXPECT_EQ(Members(R"({"a":1,"b")"), (std::vector<MemberPair>{{"a", "1"}}));
    EXPECT_EQ(Members(R"({"a":[1,2)"), (std::vector<MemberPair>{}));
    EXPECT_EQ(Elements("[1,[2,3"), (std::vector<std::string>{"1"}));
    EXPECT_EQ(Members(R"({"a":1)"), (std::vector<MemberPair>{{"a", "1"}}));  // runs to the end
    EXPECT_TRUE(Members("").empty());
    EXPECT_TRUE(Elements("\"[\"").empty());
}

TEST_P(JsonTextParserTest, ReadersReturnTheSentinelWhenNoEndIsFound) {
    parser_.LoadText(R"({"a" 1})");
    int position = 0;
    EXPECT_EQ(parser_.ReadName(1, position), Gbk("超出"));
    EXPECT_EQ(position, -1);
    parser_.LoadText(R"({"a":[1})");
    EXPECT_EQ(parser_.ReadName(1, position), "a");
    EXPECT_EQ(position, 5);
    EXPECT_EQ(parser_.ReadValue(5, position), Gbk("超出"));
    EXPECT_EQ(position, -1);
}

TEST_P(JsonTextParserTest, LoadedBuffersHelpers) {
    parser_.LoadText(R"({"a:b":"x,y"})");
    int position = 0;
    EXPECT_EQ(parser_.ReadName(1, position), "a:b");  // a colon inside the name is passed over
    EXPECT_EQ(position, 7);
    EXPECT_EQ(parser_.ReadValue(7, position), "\"x,y\"");
    EXPECT_EQ(position, 13);
    EXPECT_TRUE(parser_.IsBalanced(1, 13));
    EXPECT_FALSE(parser_.IsBalanced(1, 14));  // the closing brace lies between
    EXPECT_TRUE(parser_.IsBalanced(0, 14));
    EXPECT_FALSE(parser_.IsBalanced(1, 9));  // three quotes between
    EXPECT_FALSE(parser_.IsBalanced(-1, 13));
    EXPECT_TRUE(parser_.QuotesEven(1, 7));
    EXPECT_FALSE(parser_.QuotesEven(1, 4));
    EXPECT_EQ(parser_.SliceSource(2, 6, true), "\"a:b\"");
    EXPECT_EQ(parser_.SliceSource(2, 6, false), "a:b");
    EXPECT_EQ(parser_.SliceSource(-1, 3, false), "{\"");  // cut to the text
    EXPECT_EQ(parser_.SliceSource(10, 99, true), ",y\"}");
}

TEST_P(JsonTextParserTest, SplitPathCases) {
    struct Case {
        const char* path;
        std::vector<std::string> segments;
    } cases[] = {
        {"data.country", {"data", "country"}},
        {"[3].old_name", {"[3]", "old_name"}},
        {"\"a.b\".c", {"a.b", "c"}},
        {"''a.b''.c", {"a.b", "c"}},
        {"a.", {"a", ""}},
        {"", {""}},
        {"a.\"b.c", {"a"}},  // the unclosed quoted segment is dropped
        {"\"x.y", {}},
        {" a . b ", {"a", "b"}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(parser_.SplitPath(c.path), static_cast<int>(c.segments.size())) << c.path;
        std::vector<std::string> segments = {"old"};
        EXPECT_EQ(parser_.GetSegments(segments), static_cast<int>(c.segments.size()));
        EXPECT_EQ(segments, c.segments) << c.path;
    }
}

TEST_P(JsonTextParserTest, NormalizePathCases) {
    EXPECT_EQ(parser_.NormalizePath("a[0].b", 1), "a.[0].b");
    EXPECT_EQ(parser_.NormalizePath("a.[0].b", 0), "a[0].b");
    EXPECT_EQ(parser_.NormalizePath("[0].b", 1), "[0].b");
    EXPECT_EQ(parser_.NormalizePath("a[0][1]", 1), "a.[0][1]");  // matches do not overlap
    EXPECT_EQ(parser_.NormalizePath("a[0].b", 2), "");
}

TEST_P(JsonTextParserTest, QueryPathReadsStraightFromText) {
    const std::string text = "{\"code\": 0, \"data\": {\"list\": [{\"n\": \" x\\\"y \"}]}}";
    // White space next to every double quote goes, inside strings too.
    EXPECT_EQ(parser_.QueryPath(text, "", false),
              "{\"code\": 0,\"data\":{\"list\":[{\"n\":\"x\\\"y\"}]}}");
    EXPECT_EQ(parser_.QueryPath(text, "code", false), "0");
    EXPECT_EQ(parser_.QueryPath(text, "data.list.[1].n", false), "x\\\"y");
    EXPECT_EQ(parser_.QueryPath(text, "data.list.[0].n", true), "x\\\"y");
    EXPECT_EQ(parser_.QueryPath(text, "data.list.[2].n", false), "");
    EXPECT_EQ(parser_.QueryPath(text, "code.deeper", false), "");
    EXPECT_EQ(parser_.QueryPath("[[1,2],[3]]", "[2].[1]", false), "3");
}

TEST(JsonTextParser, KindsAndDetection) {
    EXPECT_EQ(JsonTextParser::KindOf("[1]"), 2);
    EXPECT_EQ(JsonTextParser::KindOf("{}"), 1);
    EXPECT_EQ(JsonTextParser::KindOf(" {}"), 0);
    EXPECT_EQ(JsonTextParser::KindOf(""), 0);
    int position = 0;
    EXPECT_EQ(JsonTextParser::DetectKind("ab[{", position), 2);
    EXPECT_EQ(position, 3);
    EXPECT_EQ(JsonTextParser::DetectKind("a\"[{", position), 0);
    EXPECT_EQ(position, 2);
    EXPECT_EQ(JsonTextParser::DetectKind("{\"", position), 1);
    EXPECT_EQ(position, 1);
    EXPECT_EQ(JsonTextParser::DetectKind("plain", position), 0);
    EXPECT_EQ(position, -1);
}

TEST(JsonTextParser, TextBetweenMarkers) {
    int start = 1;
    EXPECT_EQ(JsonTextParser::TextBetweenMarkers("var a = [1]; var b = [2];", "VAR B = [", "]",
                                                 start, false, 0, 0, false),
              "2");
    EXPECT_EQ(start, 25);
    start = 1;
    // A missing start mark starts at the beginning, a missing end mark runs to the end.
    EXPECT_EQ(JsonTextParser::TextBetweenMarkers("abc;def", "", ";", start, false, 0, 0, false),
              "abc");
    start = 1;
    EXPECT_EQ(JsonTextParser::TextBetweenMarkers("abc;def", ";", "", start, false, 0, 0, false),
              "def");
    EXPECT_EQ(start, static_cast<int>(Gbk("abc;def#Qelmar尾#").size()) + 1);
    start = 1;
    // Shifts move the cut; backwards takes the last start mark before the end mark.
    EXPECT_EQ(
        JsonTextParser::TextBetweenMarkers("<a><b>x</b>", "<", "</", start, true, 2, 0, false),
        "x");
    start = 1;
    // The second attempt drops double quotes from the marks ('' stands for one).
    EXPECT_EQ(JsonTextParser::TextBetweenMarkers("k=v;", "''k''=", ";", start, false, 0, 0, false),
              "v");
    start = 1;
    EXPECT_EQ(JsonTextParser::TextBetweenMarkers("abc", "x", "c", start, false, 0, 0, false), "");
    EXPECT_EQ(start, 1);
}

TEST(JsonTextParser, ProbeTextChangesNothing) {
    JsonTextParser parser;
    parser.SplitPath("a.b");
    parser.ProbeText("{\"a\":[1,{\"b\":2}]} [3]");
    EXPECT_EQ(parser.segments(), (std::vector<std::string>{"a", "b"}));
}

}  // namespace
}  // namespace quillark
