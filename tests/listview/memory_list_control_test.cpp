#include "listview/memory_list_control.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "listview/server_list_columns.h"
#include "text/gbk_literal.h"

namespace quillark {
namespace {

using namespace literals;

TEST(MemoryListControl, RowsAreAppendedAndReadBack) {
    MemoryListControl list;
    EXPECT_EQ(list.InsertRow("a", 2), 0);
    EXPECT_EQ(list.InsertRow("\xB2\xE2", -1), 1);
    EXPECT_EQ(list.RowCount(), 2);
    list.SetCellText(1, 6, "location");
    EXPECT_EQ(list.GetCellText(0, 0), "a");
    EXPECT_EQ(list.GetCellText(1, 0), "\xB2\xE2");
    EXPECT_EQ(list.GetCellText(1, 6), "location");
    EXPECT_EQ(list.GetStateImage(0), 2);
    EXPECT_EQ(list.GetStateImage(1), -1);
    list.SetStateImage(1, 0);
    EXPECT_EQ(list.GetStateImage(1), 0);
    list.SetRowValue(0, 77);
    EXPECT_EQ(list.GetRowValue(0), 77);
}

TEST(MemoryListControl, MissingRowsAndColumnsReadEmptyAndAreIgnored) {
    MemoryListControl list;
    list.InsertRow("a", 2);
    EXPECT_EQ(list.GetCellText(5, 0), "");
    EXPECT_EQ(list.GetCellText(0, 7), "");
    EXPECT_EQ(list.GetCellText(-1, 0), "");
    list.SetCellText(3, 0, "x");
    list.SetCellText(0, -1, "x");
    EXPECT_EQ(list.RowCount(), 1);
    EXPECT_EQ(list.GetStateImage(4), -1);
    EXPECT_EQ(list.GetRowValue(4), 0);
    EXPECT_EQ(list.GetColumnImage(9), -1);
}

TEST(MemoryListControl, SelectionHeaderAndWidth) {
    MemoryListControl list;
    EXPECT_EQ(list.SelectedRow(), -1);
    list.InsertRow("a", 2);
    list.SelectRow(0);
    EXPECT_EQ(list.SelectedRow(), 0);
    list.DeleteAllRows();
    EXPECT_EQ(list.SelectedRow(), -1);
    EXPECT_EQ(list.RowCount(), 0);
    list.SetColumnImage(4, 1);
    EXPECT_EQ(list.GetColumnImage(4), 1);
    list.SetColumnImage(4, -1);
    EXPECT_EQ(list.GetColumnImage(4), -1);
    list.SetHeaderImageList(HeaderImageList::kSortArrows);
    EXPECT_EQ(list.GetHeaderImageList(), HeaderImageList::kSortArrows);
    list.SetWidth(640);
    EXPECT_EQ(list.Width(), 640);
    EXPECT_NE(list.ListWindow(), MemoryListControl().ListWindow());
}

TEST(MemoryListControl, SortRowsOrdersByRowValues) {
    MemoryListControl list;
    for (int value : {3, 1, 2}) {
        const int row = list.InsertRow(std::to_string(value), 0);
        list.SetRowValue(row, value);
    }
    list.SortRows([](std::int32_t a, std::int32_t b, std::intptr_t application) {
        EXPECT_EQ(application, 0);
        return a - b;
    });
    EXPECT_EQ(list.GetCellText(0, 0), "1");
    EXPECT_EQ(list.GetCellText(1, 0), "2");
    EXPECT_EQ(list.GetCellText(2, 0), "3");
}

TEST(MemoryListControl, ManyThreadsWriteAtOnce) {
    MemoryListControl list;
    constexpr int kRows = 200;
    for (int i = 0; i < kRows; ++i) {
        list.InsertRow("row", 2);
    }
    std::vector<std::thread> threads;
    for (int i = 0; i < kRows; ++i) {
        threads.emplace_back([&list, i] {
            list.SetCellText(i, server_list::kColumnLatency, "Scaning...");
            list.SetCellText(i, server_list::kColumnLatency, std::to_string(i) + "ms");
            list.SetStateImage(i, i % 2);
            list.Redraw();
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    for (int i = 0; i < kRows; ++i) {
        EXPECT_EQ(list.GetCellText(i, server_list::kColumnLatency), std::to_string(i) + "ms");
        EXPECT_EQ(list.GetStateImage(i), i % 2);
    }
    EXPECT_EQ(list.RedrawCount(), kRows);
}

TEST(ServerListColumns, LayoutOfPart11) {
    ASSERT_EQ(server_list::kColumns.size(), 7u);
    const int widths[] = {100, 80, 170, 110, 80, 80, 200};
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(server_list::kColumns[static_cast<size_t>(i)].index, i);
        EXPECT_EQ(server_list::kColumns[static_cast<size_t>(i)].width, widths[i]);
        EXPECT_EQ(server_list::kColumns[static_cast<size_t>(i)].alignment,
                  i >= 4 ? ColumnAlignment::kRight : ColumnAlignment::kLeft);
    }
    EXPECT_EQ(server_list::ColumnTitleGbk(0), "服务器名称"_gbk);
    EXPECT_EQ(server_list::ColumnTitleGbk(6), "服务器机房地理位置"_gbk);
    EXPECT_EQ(server_list::ColumnTitleGbk(7), "");
}

}  // namespace
}  // namespace quillark
