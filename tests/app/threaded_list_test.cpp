// QtListControl called from many threads while the UI thread runs.

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QTest>
#include <QTimer>
#include <atomic>
#include <thread>
#include <vector>

#include "app/main_window.h"
#include "app_test_support.h"
#include "listview/column_sort.h"
#include "listview/row_colours.h"
#include "listview/row_lock.h"
#include "listview/server_list_columns.h"

namespace quillark {
namespace {

using testing_support::RecordingLauncher;
using testing_support::SharedActions;
using testing_support::SpinUntil;

using ThreadedListTest = testing_support::ShownWindowTest;

// Like a ping worker of the test pass: reads, writes, colours and redraws its row.
void Worker(QtListControl& list, int row) {
    const std::string host = list.GetCellText(row, server_list::kColumnHost);
    list.SetCellText(row, server_list::kColumnAddress, "10.0.0." + std::to_string(row % 250));
    list.SetCellText(row, server_list::kColumnLatency, "Scaning...");
    list.SetCellText(row, server_list::kColumnStatus, host);
    row_lock::Guard guard;
    list.SetCellText(row, server_list::kColumnLatency, std::to_string(row) + "ms");
    list.SetStateImage(row, row % 2);
    SetRowColour(list.NotificationWindow(), list, row, Rgb(255, 0, 0), kClrDefault);
    list.Redraw();
}

TEST_F(ThreadedListTest, FiftyThreadsWhileTheUiRuns) {
    constexpr int kThreads = 50;
    List().DeleteAllRows();
    std::atomic<int> finished{0};
    std::vector<std::thread> threads;
    // Each thread appends its own rows, then reads and writes them.
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            std::vector<int> mine;
            for (int i = 0; i < 4; ++i) {
                const int row = List().InsertRow("t" + std::to_string(t), 2);
                List().SetCellText(row, server_list::kColumnHost, "h" + std::to_string(t));
                mine.push_back(row);
            }
            for (int row : mine) {
                EXPECT_EQ(List().GetCellText(row, server_list::kColumnHost),
                          "h" + std::to_string(t));
                EXPECT_EQ(List().GetStateImage(row), 2);
            }
            EXPECT_GE(List().RowCount(), 4);
            List().SelectedRow();
            List().UpdateRow0();
            ++finished;
        });
    }
    ASSERT_TRUE(SpinUntil([&] { return finished == kThreads; }));
    for (std::thread& thread : threads) {
        thread.join();
    }
    ASSERT_EQ(List().RowCount(), kThreads * 4);
    for (int row = 0; row < kThreads * 4; ++row) {
        EXPECT_EQ(List().GetCellText(row, 0).substr(1),
                  List().GetCellText(row, server_list::kColumnHost).substr(1));
    }

    // Workers of a test pass, a sort from the "loader" and clearing of colours, all at once.
    row_lock::Create();
    finished = 0;
    threads.clear();
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            for (int row = t; row < kThreads * 4; row += kThreads) {
                Worker(List(), row);
            }
            ++finished;
        });
    }
    threads.emplace_back([&] {
        SortServerList(List(), 0);  // carried to the UI thread
        ClearRowColours(List());
        ++finished;
    });
    // Header clicks on the UI thread meanwhile: the sorts never wait on each other.
    int clicks = 0;
    ASSERT_TRUE(SpinUntil([&] {
        if (clicks++ < 20) {
            sortState.SortListByColumn(List(), clicks % 7, SortTypeForColumn(clicks % 7));
        }
        return finished == kThreads + 1;
    }));
    for (std::thread& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(List().RowCount(), kThreads * 4);
    ClearRowColours(List());
}

TEST_F(ThreadedListTest, FiveHundredThreadsLeaveTheWindowResponsive) {
    constexpr int kRows = 500;
    List().DeleteAllRows();
    for (int row = 0; row < kRows; ++row) {
        List().InsertRow("r" + std::to_string(row), 2);
        List().SetCellText(row, server_list::kColumnHost, "h" + std::to_string(row));
    }
    row_lock::Create();
    // The UI's heartbeat: the longest gap between 10 ms ticks while the threads write.
    QElapsedTimer clock;
    clock.start();
    qint64 last = 0, longestGap = 0;
    QTimer heartbeat;
    QObject::connect(&heartbeat, &QTimer::timeout, [&] {
        const qint64 now = clock.elapsed();
        longestGap = std::max(longestGap, now - last);
        last = now;
    });
    heartbeat.start(10);

    std::atomic<int> finished{0};
    std::atomic<bool> go{false};
    std::vector<std::thread> threads;
    threads.reserve(kRows);
    for (int row = 0; row < kRows; ++row) {
        threads.emplace_back([&, row] {
            while (!go) {
                std::this_thread::yield();
            }
            Worker(List(), row);
            ++finished;
        });
    }
    last = clock.elapsed();
    go = true;
    ASSERT_TRUE(SpinUntil([&] { return finished == kRows; }, 120000));
    for (std::thread& thread : threads) {
        thread.join();
    }
    heartbeat.stop();
    for (int row = 0; row < kRows; ++row) {
        ASSERT_EQ(List().GetCellText(row, server_list::kColumnLatency), std::to_string(row) + "ms");
        ASSERT_EQ(List().GetStateImage(row), row % 2);
    }
    // Responsive: the event loop kept turning (generous bound for sanitizer builds).
    EXPECT_LT(longestGap, 1000) << "longest gap between UI ticks: " << longestGap << " ms";
    std::cout << "[ info ] 500 threads: " << clock.elapsed() << " ms, longest UI gap " << longestGap
              << " ms\n";
    ClearRowColours(List());
}

TEST_F(ThreadedListTest, CallsAfterDetachReturnAtOnce) {
    List().Detach();
    std::thread caller([&] {
        EXPECT_EQ(List().RowCount(), 0);
        EXPECT_EQ(List().InsertRow("x", 2), 0);
        EXPECT_EQ(List().GetCellText(0, 0), "");
        List().Redraw();
        SortServerList(List(), 0);
    });
    caller.join();
}

}  // namespace
}  // namespace quillark
