#include "catalogue/region_status_feed.h"

#include <gtest/gtest.h>

#include "platform/text_codec.h"

namespace quillark {
namespace {

std::string Gbk(const char* utf8) {
    return TextCodec::Utf8ToGbk(utf8);
}

TEST(TextBetween, CutsBetweenMarkersIgnoringAsciiCase) {
    struct Case {
        std::string text, start, end, expected;
    } cases[] = {
        {"x ServerInfo : {a,b}, y", "ServerInfo : {", "},", "a,b"},
        {"serverinfo : {a}, y", "ServerInfo : {", "},", "a"},
        {"no marker", "[{", "},", ""},
        {"[{ no end", "[{", "},", ""},
        {"}, before [{", "[{", "},", ""},
        {"[{},", "[{", "},", ""},
        {"", "", "", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(RegionStatusFeed::TextBetween(c.text, c.start, c.end), c.expected) << c.text;
    }
}

TEST(SplitPieces, KeepsEmptyInnerPieces) {
    using Pieces = std::vector<std::string>;
    EXPECT_EQ(RegionStatusFeed::SplitPieces("a,,b,"), (Pieces{"a", "", "b"}));
    EXPECT_EQ(RegionStatusFeed::SplitPieces(""), Pieces{});
}

// Tables written as the resources would hold them, for the lookup chain.
StatusTables SampleTables() {
    std::string script =
        Gbk("var LOLServerStatus = { ServerInfo : { '7':'甲', '8':'乙', '9':'丙', '8':'丁' },\n"
            "ServerStatus : { '1':'正常', '2':'拥挤', '3':'满载', '10':'维护' }, };");
    std::string query = Gbk("[{\"7\":\"2\",\"9\":\"1\",\"3\":\"3\"},{}]");
    std::string select =
        Gbk("LOLServerSelect.STD_DATA=[{t:\"甲\", status:\"1\"},{t:\"丙\"},\t{status:\"0\"},"
            "{t:\"戊\", status:\"1\"}];");
    return RegionStatusFeed::CutTables(script, query, select);
}

TEST(RegionStatusLookup, ChainsNameToIdToCodeToLabel) {
    StatusTables tables = SampleTables();
    EXPECT_EQ(RegionStatusFeed::LookupRegionStatus(tables, Gbk("甲")), Gbk("拥挤"));
    // 丙's server-select entry is followed by a piece with status 0: shut down.
    EXPECT_EQ(RegionStatusFeed::LookupRegionStatus(tables, Gbk("丙")), Gbk("停机"));
    // 乙 has id 8, which the status query does not know; the later 丁 piece
    // with the same id is never tried.
    EXPECT_EQ(RegionStatusFeed::LookupRegionStatus(tables, Gbk("乙")), Gbk("未知状态"));
    EXPECT_EQ(RegionStatusFeed::LookupRegionStatus(tables, Gbk("庚")), Gbk("未知状态"));
    EXPECT_EQ(RegionStatusFeed::LookupRegionStatus(StatusTables{}, Gbk("甲")), Gbk("未知状态"));
}

TEST(RegionStatusLookup, StateCodeIsSearchedAsPlainText) {
    StatusTables tables;
    tables.server_info = {Gbk("'5':'甲'")};
    tables.status_query = {"\"5\":\"1\""};
    tables.server_status = {Gbk("'10':'维护'"), Gbk("'1':'正常'")};
    EXPECT_EQ(RegionStatusFeed::LookupRegionStatus(tables, Gbk("甲")), Gbk("维护"));
}

TEST(RegionStatusLookup, LabelFoundAfterAShutDownCheckThatPassed) {
    StatusTables tables = SampleTables();
    tables.server_info.push_back(Gbk(" '3':'戊'"));
    EXPECT_EQ(RegionStatusFeed::LookupRegionStatus(tables, Gbk("戊")), Gbk("满载"));
}

TEST(StatusColour, ColoursByExactLabel) {
    EXPECT_EQ(RegionStatusFeed::StatusColour(Gbk("正常")), 0x000000u);
    EXPECT_EQ(RegionStatusFeed::StatusColour(Gbk("拥挤")), 0x0080FFu);
    EXPECT_EQ(RegionStatusFeed::StatusColour(Gbk("满载")), 0x0000FFu);
    for (const char* grey : {"维护", "未知状态", "停机", "正常 ", ""}) {
        EXPECT_EQ(RegionStatusFeed::StatusColour(Gbk(grey)), 0x808080u) << grey;
    }
}

TEST(StatusTableStore, OldSnapshotOutlivesPublish) {
    StatusTableStore store;
    std::shared_ptr<const StatusTables> old = store.Snapshot();
    auto fresh = std::make_shared<StatusTables>();
    fresh->server_info = {"x"};
    store.Publish(fresh);
    EXPECT_TRUE(old->server_info.empty());
    EXPECT_EQ(store.Snapshot()->server_info.size(), 1u);
}

TEST(BytesToGbText, KeepsGbkAndReplacesBrokenSequences) {
    EXPECT_EQ(RegionStatusFeed::BytesToGbText(Gbk("正常")), Gbk("正常"));
    EXPECT_EQ(RegionStatusFeed::BytesToGbText("a\xB0"), "a?");
    EXPECT_EQ(RegionStatusFeed::BytesToGbText(""), "");
}

}  // namespace
}  // namespace quillark
