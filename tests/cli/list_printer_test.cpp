#include "cli/list_printer.h"

#include <gtest/gtest.h>

#include "cli/headless_options.h"
#include "listview/memory_list_control.h"
#include "listview/row_colours.h"
#include "platform/text_codec.h"

namespace quillark {
namespace {

TEST(ListPrinter, TsvHasPictureColourAndEscapedUtf8Cells) {
    MemoryListControl list;
    list.InsertRow(TextCodec::Utf8ToGbk("艾欧01区 "), 0);
    list.SetCellText(0, 1, "a\tb\nc\\d");
    list.InsertRow("plain", 2);
    SetRowColour(list.NotificationWindow(), list, 0, Rgb(255, 128, 0), kClrDefault);

    EXPECT_EQ(ListPrinter::Tsv(ListPrinter::Snapshot(list)),
              "0\t#FF8000\t艾欧01区 \ta\\tb\\nc\\\\d\t\t\t\t\t\n"
              "2\tdefault\tplain\t\t\t\t\t\t\n");
    ClearRowColours(list);
}

TEST(ListPrinter, TableAlignsWideCharactersAndJsonNamesTheColumns) {
    MemoryListControl list;
    list.InsertRow(TextCodec::Utf8ToGbk("祖安"), 1);
    list.SetCellText(0, 4, "5ms");
    std::vector<PrintedRow> rows = ListPrinter::Snapshot(list);
    std::string table = ListPrinter::Table(rows, false);
    // The title 服务器名称 is ten columns wide; 祖安 (four) is padded to it.
    EXPECT_NE(table.find("\n祖安      "), std::string::npos) << table;
    std::string json = ListPrinter::Json(rows);
    EXPECT_NE(json.find("\"name\": \"祖安\""), std::string::npos) << json;
    EXPECT_NE(json.find("\"latency\": \"5ms\""), std::string::npos);
    EXPECT_NE(json.find("\"picture\": 1"), std::string::npos);
}

TEST(HeadlessOptions, ParsesAndRejects) {
    HeadlessOptions options;
    std::string error;
    ASSERT_TRUE(HeadlessOptions::Parse(
        {"--headless", "--once", "--interval", "5", "--format", "tsv"}, options, error));
    EXPECT_TRUE(options.once);
    EXPECT_EQ(options.interval_seconds, 5);
    EXPECT_EQ(options.format, HeadlessOptions::Format::kTsv);
    for (auto args : std::vector<std::vector<std::string>>{{"--interval", "0"},
                                                           {"--interval", "5x"},
                                                           {"--format", "xml"},
                                                           {"--format"},
                                                           {"--bogus"}}) {
        HeadlessOptions rejected;
        EXPECT_FALSE(HeadlessOptions::Parse(args, rejected, error)) << args[0];
        EXPECT_FALSE(error.empty());
    }
}

}  // namespace
}  // namespace quillark
