#include "json/json_document.h"

#include <gtest/gtest.h>

#include <random>
#include <thread>

#include "platform/pending_events_hook.h"
#include "platform/text_codec.h"

namespace quillark {
namespace {

std::string Gbk(const char* utf8) {
    return TextCodec::Utf8ToGbk(utf8);
}

std::vector<ValueNode> Nodes(const JsonDocument& document) {
    std::vector<ValueNode> nodes;
    document.CopyValues().CopyNodes(nodes);
    return nodes;
}

std::string Describe(const std::vector<ValueNode>& nodes) {
    std::string out;
    for (const ValueNode& node : nodes) {
        out += node.name + " k" + std::to_string(node.kind) + " l" + std::to_string(node.level) +
               " c" + std::to_string(node.child_count) + " o" + std::to_string(node.ordinal) +
               " [" + node.value + "]\n";
    }
    return out;
}

// The fast build must give exactly the tree of the level-by-level reference
// with the pattern objects doing the clean-ups.
void ExpectSameTree(const std::string& text, bool zero_based = false) {
    JsonDocument fast;
    fast.Parse(text, zero_based);
    JsonDocument reference(CleanupEngine::kPatterns);
    reference.ParseBySplitting(text, zero_based);
    EXPECT_EQ(Describe(Nodes(fast)), Describe(Nodes(reference))) << "text: " << text;
}

const char* const kCatalogue = R"([
  {"old_name": "a", "new_name": "A", "domain": "a.example"},
  {"old_name": "b", "new_name": "B", "domain": "b.example"}
])";

TEST(JsonDocument, CatalogueArrayOneBased) {
    JsonDocument document;
    document.Parse(kCatalogue, false);
    EXPECT_EQ(document.GetCount(""), 2);
    EXPECT_EQ(document.GetText("[1].old_name"), "a");
    EXPECT_EQ(document.GetText("[2].old_name"), "b");
    EXPECT_EQ(document.GetText("[2].domain"), "b.example");
    EXPECT_EQ(document.GetText("[3].old_name"), "");
    EXPECT_EQ(document.GetText("[0].old_name"), "");
    EXPECT_EQ(document.GetText("[1].Old_name"), "");  // case-sensitive
    EXPECT_EQ(document.GetCount("[1]"), 3);
}

TEST(JsonDocument, CatalogueArrayZeroBased) {
    JsonDocument document;
    document.Parse(kCatalogue, true);
    EXPECT_EQ(document.GetText("[0].old_name"), "a");
    EXPECT_EQ(document.GetText("[1].old_name"), "b");
    std::vector<ValueNode> nodes = Nodes(document);
    EXPECT_EQ(nodes[1].name, "[0]");
    // Zero-based reads insert the missing dot before an index.
    document.Parse(R"({"list":[{"n":1},{"n":2}]})", true);
    EXPECT_EQ(document.GetText("list[1].n"), "2");
    EXPECT_EQ(document.GetCount("list[1]"), 0);  // counting never normalises
}

TEST(JsonDocument, LocationObject) {
    JsonDocument document;
    document.Parse("{\"code\":0,\"data\":{\"country\":\"x\",\"isp\":\"\"}}", false);
    EXPECT_EQ(document.GetText("code"), "0");
    EXPECT_EQ(document.GetText("data.country"), "x");
    EXPECT_EQ(document.GetText("data.isp"), "");
    EXPECT_EQ(document.GetText("data.city"), "");
    int node = -5;
    EXPECT_EQ(document.GetCount("data", node), 2);
    EXPECT_EQ(node, 3);
    EXPECT_EQ(document.CopyValues().NodeName(node), "data");
    node = -5;
    EXPECT_EQ(document.GetCount("code", node), 0);
    EXPECT_EQ(node, 2);
    node = -5;
    EXPECT_EQ(document.GetCount("nothing", node), 0);
    EXPECT_EQ(node, -5);  // not written
    EXPECT_EQ(document.GetText(""), "{\"code\":0,\"data\":{\"country\":\"x\",\"isp\":\"\"}}");
}

TEST(JsonDocument, PrettyPrintedNumberKeepsItsLineBreak) {
    JsonDocument document;
    document.Parse("{\n  \"code\": 0\n}");
    EXPECT_EQ(document.GetText("code"), "0\n");
    document.Parse("{\r\n  \"data\": {\r\n    \"n\": 5\r\n  }\r\n}");
    EXPECT_EQ(document.GetText("data.n"), "5\r\n");
    EXPECT_EQ(document.CopyValues().NodeValue(2), "{\"n\": 5\r\n}");
}

TEST(JsonDocument, DottedNamesQuotesAndEscapes) {
    JsonDocument document;
    document.Parse(R"({"a.b":{"c":1},"s":"  padded  ","q":"say \"hi\" now","u":"\u4e2d\/"})");
    EXPECT_EQ(document.GetText("\"a.b\".c"), "1");
    EXPECT_EQ(document.GetText("''a.b''.c"), "1");
    EXPECT_EQ(document.GetText("a.b.c"), "");
    EXPECT_EQ(document.PathOf(3), "\"a.b\".c");
    EXPECT_EQ(document.PathOf(2), "\"a.b\"");
    EXPECT_EQ(document.PathOf(1), "");
    EXPECT_EQ(document.GetText("s"), "padded");
    EXPECT_EQ(document.GetText("q"), R"(say \"hi\" now)");
    EXPECT_EQ(document.GetText("u"), R"(\u4e2d\/)");
    EXPECT_EQ(document.CopyValues().NodeValue(5), R"("say \''hi\'' now")");
}

TEST(JsonDocument, DuplicateNamesFindTheFirst) {
    JsonDocument document;
    document.Parse(R"({"a":1,"b":{"a":3},"a":2})");
    EXPECT_EQ(document.GetText("a"), "1");
    EXPECT_EQ(document.GetText("b.a"), "3");
}

TEST(JsonDocument, BeforeParseAndWithoutBrackets) {
    JsonDocument document;
    EXPECT_EQ(document.GetText("a"), "");
    EXPECT_EQ(document.GetText(""), "");
    EXPECT_EQ(document.GetCount(""), -1);
    document.Parse("");
    EXPECT_EQ(document.GetCount(""), 0);
    document.Parse("  plain \"text\" here ");
    EXPECT_EQ(document.GetCount(""), 0);
    EXPECT_EQ(document.GetText("x"), "");
    EXPECT_EQ(document.GetText(""), "  plain\"text\"here ");
    EXPECT_EQ(document.CopyValues().NodeKind(1), ValueKind::kObject);
    // A path that splits to nothing addresses the root too.
    EXPECT_EQ(document.GetText("\"x.y"), "  plain\"text\"here ");
}

TEST(JsonDocument, StartNodeSkipsTheLeadingSegments) {
    JsonDocument document;
    document.Parse(R"([{"n":{"m":1}},{"n":{"m":2}}])");
    const int second = 5;  // JSON, [1], n, m, [2]
    ASSERT_EQ(document.CopyValues().NodeName(second), "[2]");
    EXPECT_EQ(document.GetText("[1].n.m", second), "2");
    EXPECT_EQ(document.GetText("[1]", second), "");  // the start node itself
    EXPECT_EQ(document.GetText("x.n", second), Gbk("{\"m\":2}"));
}

TEST(JsonDocument, SetTextCreatesTheMissingChain) {
    JsonDocument document;
    document.Parse(R"({"a":{"b":1}})");
    document.SetText("a.c.d", "\"v\"", ValueKind::kPlain);
    EXPECT_EQ(document.GetText("a.c.d"), "v");
    EXPECT_EQ(document.GetCount("a"), 2);
    EXPECT_EQ(document.GetText("a"), "{\"b\":1}");  // ancestors keep their text
    document.SetText("a.b", "2", ValueKind::kPlain);
    EXPECT_EQ(document.GetText("a.b"), "2");
    EXPECT_EQ(document.PathOf(5), "a.c.d");
    document.SetText("", "root", ValueKind::kPlain);
    EXPECT_EQ(document.GetText(""), "root");
}

TEST(JsonDocument, CapitalizeAndCleanValue) {
    EXPECT_EQ(JsonDocument::Capitalize("hELLO wORLD"), "Hello world");
    EXPECT_EQ(JsonDocument::Capitalize(Gbk("中A")), Gbk("中a"));
    EXPECT_EQ(JsonDocument::Capitalize(""), "");
    JsonDocument document;
    EXPECT_EQ(document.CleanValue(" \"a\\''b\" "), "a\\\"b");
}

TEST(JsonDocument, CopiesAreDeep) {
    JsonDocument document;
    document.Parse(R"({"a":1})");
    JsonDocument copy = document;
    document.Parse(R"({"a":2})");
    EXPECT_EQ(copy.GetText("a"), "1");
    EXPECT_EQ(document.GetText("a"), "2");
}

TEST(JsonDocument, GbkCatalogue) {
    const std::string text =
        Gbk(R"([{"old_name":"艾欧尼亚　","new_name":"电信一","domain":"hn1.example"}])");
    JsonDocument document;
    document.Parse(text);
    EXPECT_EQ(document.GetText("[1].old_name"), Gbk("艾欧尼亚"));
    EXPECT_EQ(document.GetText("[1].new_name"), Gbk("电信一"));
    ExpectSameTree(text);
}

TEST(JsonDocument, DeepNestingOnAThreadWithTheDefaultStack) {
    constexpr int kDepth = 100000;
    int balanced_count = -1;
    std::string deepest;
    int unbalanced_count = -1;
    int braces_count = -1;
    std::thread worker([&] {
        JsonDocument document;
        document.Parse(std::string(kDepth, '[') + "7" + std::string(kDepth, ']'));
        balanced_count = document.CopyValues().NodeCount();
        std::string path = "[1]";
        for (int i = 1; i < kDepth; ++i) {
            path += ".[1]";
        }
        deepest = document.GetText(path);
        document.Parse(std::string(kDepth, '['));
        unbalanced_count = document.GetCount("");
        std::string braces;
        for (int i = 0; i < kDepth; ++i) {
            braces += "{\"a\":";
        }
        document.Parse(braces + "1" + std::string(kDepth, '}'));
        braces_count = document.CopyValues().NodeCount();
    });
    worker.join();
    EXPECT_EQ(balanced_count, kDepth + 1);
    EXPECT_EQ(deepest, "7");
    EXPECT_EQ(unbalanced_count, 0);
    EXPECT_EQ(braces_count, kDepth + 1);
}

TEST(JsonDocument, PendingEventsRunOnlyOnTheInstallingThread) {
    static int calls = 0;
    calls = 0;
    PendingEventsHook::Install([] { ++calls; });
    std::thread([] {
        JsonDocument document;
        document.Parse(kCatalogue);
    }).join();
    EXPECT_EQ(calls, 0);
    JsonDocument document;
    document.Parse(kCatalogue);
    EXPECT_GT(calls, 0);
    PendingEventsHook::Remove();
    const int seen = calls;
    document.Parse(kCatalogue);
    EXPECT_EQ(calls, seen);
}

TEST(JsonDocumentSameTree, WorkedExamplesAndOddities) {
    for (const char* text : {
             "",
             "[]",
             "{}",
             "[ ]",
             "[1,2,]",
             "[,]",
             "[[],[[]],{}]",
             kCatalogue,
             "{\n  \"code\": 0,\n  \"data\": {\n    \"country\": \"x\"\n  }\n}",
             "[\n  [\n    1,\n    2\n  ],\n  [\n    3\n  ]\n]",
             "{\"a\":[[1],[2],[3]],\"b\":{\"c\":{\"d\":[{\"e\":1},{\"e\":2}]}}}",
             R"({"s":"a\"b","t":"c\\","u":"\\\"","v":"x\\\\"})",
             R"({"k:e,y":"v,a:l]","n":"}{]["})",
             R"({"a":1}{"b":2})",
             "[1] , [2]",
             R"({"a":[1,{"b":2},[3,4]],"c":"\"[\""})",
             "{\"a\":\"line\n   two\"}",
             "{\"a\":1\n  }",
             "[ 1\t,\t2 ]",
             "{\"a\" 1,\"b\":2}",
             "{\"a\":{\"b\":1,\"c\":[}",
             "[{\"a\":1},{\"b\":[1,2]}",
             "\"[\"[1]",
             "{\"a\":\"\xa1\xa1x\xa1\xa1\"}",
             "[\"\x81\",\"\x80\"]",
             "{\"a\":\"\x81\"}",
             "[\xff\xff]",
             "{\"a\":[1,2],}",
             "[{}{}]",
             "{\"\":1}",
             "{:1}",
             "[\"a\n \", \"b\"]",
             "{\"a\": \t\"x\"\t }",
             "[1,\r\n  2\r\n]",
             "{\"a\":[\n   {\"b\" :\n  1}\n  ]}",
             "\\\"[\\\\\"]",
             "[\"\\\\\\\"\",1]",
             "{\"a\\|\\|\":1}",
             "[\"a\\|\\|\"]",
             // Removing the blank brings the backslash next to the quote, so
             // the nested object masks it when loaded again.
             "[{\"a\":x\\ \"c\"},1]",
             "[{\"a\":\"x\\ \"},{\"b\":\"y\"}]",
         }) {
        ExpectSameTree(text);
        ExpectSameTree(text, true);
    }
}

TEST(JsonDocumentSameTree, RandomTexts) {
    const std::string pieces[] = {"[",    "]",  "{",       "}",    "\"",       ":",
                                  ",",    " ",  "\n",      "\t",   "\r",       "a",
                                  "1",    "\\", "\\\"",    "\\\\", "\xa1\xa1", Gbk("中"),
                                  "\x81", "|",  "{\"k\":", "[1,",  "\"s\"",    "'"};
    std::mt19937 random(2024);
    for (int round = 0; round < 1500; ++round) {
        std::string text;
        const int length = static_cast<int>(random() % 24);
        for (int i = 0; i < length; ++i) {
            text += pieces[random() % std::size(pieces)];
        }
        ExpectSameTree(text);
    }
}

}  // namespace
}  // namespace quillark
