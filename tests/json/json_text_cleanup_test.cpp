#include "json/json_text_cleanup.h"

#include <gtest/gtest.h>

#include <random>

#include "json/json_text_parser.h"
#include "platform/text_codec.h"

namespace quillark {
namespace {

std::string Gbk(const char* utf8) {
    return TextCodec::Utf8ToGbk(utf8);
}

// The reference: the same clean-ups run by the pattern objects.
const JsonTextParser& PatternParser() {
    static const JsonTextParser parser(CleanupEngine::kPatterns);
    return parser;
}

void ExpectSameAsPatterns(const std::string& text) {
    const JsonTextParser& patterns = PatternParser();
    EXPECT_EQ(JsonTextCleanup::StripQuotes(text), patterns.StripQuotes(text)) << text;
    EXPECT_EQ(JsonTextCleanup::TrimBlanks(text), patterns.TrimBlanks(text)) << text;
    EXPECT_EQ(JsonTextCleanup::CompactText(text), patterns.CompactText(text)) << text;
}

TEST(JsonTextCleanup, KnownResults) {
    EXPECT_EQ(JsonTextCleanup::StripQuotes("\"abc\""), "abc");
    EXPECT_EQ(JsonTextCleanup::StripQuotes(Gbk("　\"中文\"\t")), Gbk("中文"));
    EXPECT_EQ(JsonTextCleanup::StripQuotes(" a\n b\""), "a\nb");  // every line
    EXPECT_EQ(JsonTextCleanup::StripQuotes("x \"y"), "xy");       // white space before a quote
    EXPECT_EQ(JsonTextCleanup::TrimBlanks("  1\n  }\t"), "1\n}");
    EXPECT_EQ(JsonTextCleanup::TrimBlanks("a  b"), "a  b");
    EXPECT_EQ(JsonTextCleanup::TrimBlanks("a \n b"), "a\nb");
    EXPECT_EQ(JsonTextCleanup::CompactText("{ \"a\" : [ 1 , 2 ] }\n"), "{\"a\":[ 1 , 2 ]}");
    EXPECT_EQ(JsonTextCleanup::CompactText("[1\r\n]"), "[1\r\n]");
}

TEST(JsonTextCleanup, StableTextsAreThoseThatSurviveTheRoundTrip) {
    EXPECT_TRUE(JsonTextCleanup::IsRoundTripStable("plain ascii \x01\x7f"));
    EXPECT_TRUE(JsonTextCleanup::IsRoundTripStable(Gbk("艾欧尼亚　")));
    EXPECT_FALSE(JsonTextCleanup::IsRoundTripStable("\x81"));      // lone lead byte
    EXPECT_FALSE(JsonTextCleanup::IsRoundTripStable("\x81\x20"));  // invalid trail byte
    EXPECT_FALSE(JsonTextCleanup::IsRoundTripStable("\xff\xff"));
    for (const char* text : {"\x81", "\x81\x20\"", "\x80 \"", "\xff\"  \"", "\xa1\xa1\"x"}) {
        ExpectSameAsPatterns(text);
    }
}

TEST(JsonTextCleanup, EdgeCasesMatchThePatterns) {
    for (const char* text : {"",
                             " ",
                             "\"",
                             "\"\"",
                             " \" \" ",
                             "\r\n \"\r\n\"",
                             "\t\n\t",
                             "a \n b",
                             "\" \"\" \"",
                             "] \"  [",
                             "}\n\n{",
                             "\v\f\"",
                             "\"\v",
                             " \xa1\xa1\"",
                             "\xa1\xa1 [",
                             "\xa1\xa1",
                             "\r ",
                             " \r",
                             "a\r\n  \r\n",
                             "\"\n\"",
                             "x\"\t\"y"}) {
        ExpectSameAsPatterns(text);
    }
}

TEST(JsonTextCleanup, RandomTextsMatchThePatterns) {
    const std::string pieces[] = {" ",       "\t",   "\n",   "\r",   "\v", "\"", "[",
                                  "]",       "{",    "}",    "a",    ",",  ":",  "\xa1\xa1",
                                  Gbk("中"), "\x81", "\x80", "\xff", "\\", "'"};
    std::mt19937 random(12345);
    for (int round = 0; round < 3000; ++round) {
        std::string text;
        const int length = static_cast<int>(random() % 12);
        for (int i = 0; i < length; ++i) {
            text += pieces[random() % std::size(pieces)];
        }
        ExpectSameAsPatterns(text);
    }
}

}  // namespace
}  // namespace quillark
