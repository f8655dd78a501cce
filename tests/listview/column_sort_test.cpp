#include "listview/column_sort.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "listview/memory_list_control.h"
#include "listview/server_list_columns.h"
#include "listview/sort_numbers.h"
#include "text/gbk_literal.h"

namespace quillark {
namespace {

using namespace literals;
using server_list::kColumnAddress;
using server_list::kColumnHost;
using server_list::kColumnLatency;
using server_list::kColumnName;

std::vector<std::string> Column(MemoryListControl& list, int column) {
    std::vector<std::string> texts;
    for (int row = 0; row < list.RowCount(); ++row) {
        texts.push_back(list.GetCellText(row, column));
    }
    return texts;
}

void AddRow(MemoryListControl& list, const std::string& name, const std::string& host,
            const std::string& address, const std::string& latency) {
    const int row = list.InsertRow(name, 2);
    list.SetCellText(row, kColumnHost, host);
    list.SetCellText(row, kColumnAddress, address);
    list.SetCellText(row, kColumnLatency, latency);
}

std::vector<int> ColumnImages(MemoryListControl& list) {
    std::vector<int> images;
    for (int column = 0; column < 7; ++column) {
        images.push_back(list.GetColumnImage(column));
    }
    return images;
}

TEST(SortNumbers, ReadsNumbersAsAtofDoes) {
    struct Case {
        std::string text;
        double expected;
    } cases[] = {
        {"35ms", 35},
        {"...", 0},
        {"Scaning...", 0},
        {"101.226.76.10", 101.226},
        {"  -2.5e1x", -25},
        {"+7", 7},
        {"1e", 1},
        {"1e+", 1},
        {"", 0},
        {".5", 0.5},
        {"-", 0},
        {"\xA3\xB3\xA3\xB5", 35},
        {"\xA1\xA1\xA3\xB1", 1},
        {"1e400", std::numeric_limits<double>::infinity()},
        {"1e-400", 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(sort_numbers::ReadNumber(c.text), c.expected) << c.text;
    }
}

TEST(SortNumbers, WritesAsPercentPoint13g) {
    EXPECT_EQ(sort_numbers::WriteNumber(35), "35");
    EXPECT_EQ(sort_numbers::WriteNumber(101.226 * 10000), "1012260");
    EXPECT_EQ(sort_numbers::WriteNumber(0), "0");
    EXPECT_EQ(sort_numbers::WriteNumber(0.1), "0.1");
    EXPECT_EQ(sort_numbers::WriteNumber(1e13), "1e+13");
    EXPECT_EQ(sort_numbers::WriteNumber(1234567890123.0), "1234567890123");
}

TEST(SortNumbers, ReadsIntegersAsAtoiDoes) {
    EXPECT_EQ(sort_numbers::ReadInteger("1012260"), 1012260);
    EXPECT_EQ(sort_numbers::ReadInteger("35.9"), 35);
    EXPECT_EQ(sort_numbers::ReadInteger(" -4x"), -4);
    EXPECT_EQ(sort_numbers::ReadInteger("abc"), 0);
    EXPECT_EQ(sort_numbers::ReadInteger("99999999999999"), 2147483647);
    EXPECT_EQ(sort_numbers::ReadInteger("-99999999999999"), -2147483647 - 1);
    EXPECT_EQ(sort_numbers::ReadInteger("\xA3\xAD\xA3\xB2"), -2);  // full-width "-2"
}

TEST(SortNumbers, FoldsFullWidthForms) {
    EXPECT_EQ(sort_numbers::FoldFullWidth("\xA3\xA1\xA3\xFE\xA1\xA1\xA1\xAB\xA1\xEE\xA1\xEF"),
              "!~ ~**");
    EXPECT_EQ(sort_numbers::FoldFullWidth("\xB0\xA1x"), "\xB0\xA1x");
}

TEST(SortTypeForColumn, HeaderClickTypes) {
    EXPECT_EQ(SortTypeForColumn(4), 3);
    EXPECT_EQ(SortTypeForColumn(3), 4);
    for (int column : {0, 1, 2, 5, 6}) {
        EXPECT_EQ(SortTypeForColumn(column), 1);
    }
}

// The header-click sequence, on a fresh state.
TEST(ColumnSort, HeaderClickSequenceOfPart41) {
    SortState state;
    MemoryListControl list;
    AddRow(list, "祖安"_gbk, "c.example", "14.17.32.211", "36ms");
    AddRow(list, "艾欧尼亚"_gbk, "a.example", "101.226.76.10", "...");
    AddRow(list, "诺克萨斯"_gbk, "d.example", "101.226.1.1", "5ms");
    AddRow(list, "比尔吉沃特"_gbk, "b.example", "1.2.3.4", "Scaning...");

    // After loading: ascending by column 0 (pinyin), picture 0 on column 0.
    state.SortListByColumn(list, kColumnName, 1);
    EXPECT_EQ(state.SortAscending(), 1);
    EXPECT_EQ(Column(list, kColumnName), (std::vector<std::string>{"艾欧尼亚"_gbk, "比尔吉沃特"_gbk,
                                                                   "诺克萨斯"_gbk, "祖安"_gbk}));
    EXPECT_EQ(ColumnImages(list), (std::vector<int>{0, -1, -1, -1, -1, -1, -1}));
    EXPECT_EQ(list.GetHeaderImageList(), HeaderImageList::kSortArrows);

    // Column 0 again: descending, picture 1.
    state.SortListByColumn(list, kColumnName, SortTypeForColumn(kColumnName));
    EXPECT_EQ(state.SortAscending(), 0);
    EXPECT_EQ(
        Column(list, kColumnName),
        (std::vector<std::string>{"祖安"_gbk, "诺克萨斯"_gbk, "比尔吉沃特"_gbk, "艾欧尼亚"_gbk}));
    EXPECT_EQ(ColumnImages(list), (std::vector<int>{1, -1, -1, -1, -1, -1, -1}));

    // Column 4: ascending; picture 1 copied from column 0; column 0 none.
    // "..." and "Scaning..." read as 0 and come first.
    state.SortListByColumn(list, kColumnLatency, SortTypeForColumn(kColumnLatency));
    EXPECT_EQ(state.SortAscending(), 1);
    const std::vector<std::string> latencies = Column(list, kColumnLatency);
    EXPECT_TRUE((latencies[0] == "..." && latencies[1] == "Scaning...") ||
                (latencies[0] == "Scaning..." && latencies[1] == "..."));
    EXPECT_EQ(latencies[2], "5ms");
    EXPECT_EQ(latencies[3], "36ms");
    EXPECT_EQ(ColumnImages(list), (std::vector<int>{-1, -1, -1, -1, 1, -1, -1}));
    EXPECT_EQ(state.LastSortedColumn(), kColumnLatency);

    // Column 4 again: descending, picture 0.
    state.SortListByColumn(list, kColumnLatency, SortTypeForColumn(kColumnLatency));
    EXPECT_EQ(state.SortAscending(), 0);
    EXPECT_EQ(Column(list, kColumnLatency)[0], "36ms");
    EXPECT_EQ(ColumnImages(list), (std::vector<int>{-1, -1, -1, -1, 0, -1, -1}));

    // Column 2: ascending; column 4 showed 0, so column 2 shows 0.
    state.SortListByColumn(list, kColumnHost, SortTypeForColumn(kColumnHost));
    EXPECT_EQ(state.SortAscending(), 1);
    EXPECT_EQ(Column(list, kColumnHost),
              (std::vector<std::string>{"a.example", "b.example", "c.example", "d.example"}));
    EXPECT_EQ(ColumnImages(list), (std::vector<int>{-1, -1, 0, -1, -1, -1, -1}));
}

TEST(ColumnSort, AddressesCompareByTheirFirstTwoOctets) {
    SortState state;
    MemoryListControl list;
    AddRow(list, "a", "", "101.226.76.10", "");
    AddRow(list, "b", "", "14.17.32.211", "");
    AddRow(list, "c", "", "101.226.1.1", "");
    state.SortListByColumn(list, kColumnAddress, SortTypeForColumn(kColumnAddress));
    ASSERT_EQ(state.SortAscending(), 1);
    EXPECT_EQ(list.GetCellText(0, kColumnAddress), "14.17.32.211");
    // Equal keys: the sort is stable here, so they keep their order.
    EXPECT_EQ(list.GetCellText(1, kColumnAddress), "101.226.76.10");
    EXPECT_EQ(list.GetCellText(2, kColumnAddress), "101.226.1.1");
}

TEST(ColumnSort, AnEmptyListFlipsTheDirectionAndSetsTheImageListOnly) {
    SortState state;
    MemoryListControl list;
    state.SortListByColumn(list, 3, 4);
    EXPECT_EQ(state.SortAscending(), 1);
    EXPECT_EQ(state.Column(), 3);
    EXPECT_EQ(state.Type(), 4);
    EXPECT_EQ(list.GetHeaderImageList(), HeaderImageList::kSortArrows);
    EXPECT_EQ(ColumnImages(list), (std::vector<int>(7, -1)));
    EXPECT_EQ(state.LastSortedColumn(), 0);
    state.SortListByColumn(list, 1, 9);  // out-of-range type becomes 1
    EXPECT_EQ(state.SortAscending(), 0);
    EXPECT_EQ(state.Type(), 1);
}

TEST(ColumnSort, ColoursStayWithRowPositionsAndValuesAreKeyIndexes) {
    SortState state;
    MemoryListControl list;
    AddRow(list, "b", "", "", "");
    AddRow(list, "a", "", "", "");
    state.SortListByColumn(list, 0, 1);
    EXPECT_EQ(list.GetCellText(0, 0), "a");
    // Row values were set to key indexes in row order before the sort.
    EXPECT_EQ(list.GetRowValue(0), 1);
    EXPECT_EQ(list.GetRowValue(1), 0);
}

TEST(ColumnSort, ProcessStateSortsTheServerListByColumnZero) {
    MemoryListControl list;
    AddRow(list, "祖安"_gbk, "", "", "");
    AddRow(list, "艾欧尼亚"_gbk, "", "", "");
    const int before = ProcessSortState().SortAscending();
    SortServerList(list, 0);
    EXPECT_NE(ProcessSortState().SortAscending(), before);
    const bool ascending = ProcessSortState().SortAscending() == 1;
    EXPECT_EQ(list.GetCellText(0, 0), ascending ? "艾欧尼亚"_gbk : "祖安"_gbk);
}

// Sorts from several threads wait for each other; writers go on meanwhile.
TEST(ColumnSort, ConcurrentSortsAndWritesOnAMemoryList) {
    SortState state;
    MemoryListControl list;
    for (int i = 0; i < 60; ++i) {
        AddRow(list, std::to_string(i % 7), "h", "1.1.1.1", std::to_string(i) + "ms");
    }
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < 10; ++i) {
                state.SortListByColumn(list, t % 2 == 0 ? 4 : 0, t % 2 == 0 ? 3 : 1);
            }
        });
        threads.emplace_back([&, t] {
            for (int row = t; row < 60; row += 4) {
                list.SetCellText(row, kColumnLatency, std::to_string(row) + "ms");
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(list.RowCount(), 60);
}

}  // namespace
}  // namespace quillark
