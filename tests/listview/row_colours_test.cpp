#include "listview/row_colours.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "listview/memory_list_control.h"

namespace quillark {
namespace {

constexpr Colour kRed = Rgb(255, 0, 0);
constexpr Colour kOrange = Rgb(255, 128, 0);
constexpr Colour kBlack = Rgb(0, 0, 0);
constexpr Colour kWhite = Rgb(255, 255, 255);

CustomDrawRecord ItemRecord(ListHandle list, int row, std::uint32_t state = 0) {
    CustomDrawRecord record;
    record.header.hwndFrom = list;
    record.drawStage = kCddsItemPrepaint;
    record.itemSpec = static_cast<std::uintptr_t>(row);
    record.itemState = state;
    record.clrText = kBlack;
    record.clrTextBk = kWhite;
    return record;
}

std::intptr_t Handle(CustomDrawRecord& record) {
    return HandleCustomDraw(0, reinterpret_cast<std::intptr_t>(&record));
}

TEST(RowColours, SettingRowFiveCreatesSixRecordsAndOnlyRowFiveIsSet) {
    MemoryListControl list;
    SetRowColour(list.NotificationWindow(), list, 5, kRed, kClrDefault);
    const std::vector<RowColour> records = RowColoursOf(list.ListWindow());
    ASSERT_EQ(records.size(), 6u);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(records[static_cast<size_t>(i)].isSet, 0);
    }
    EXPECT_EQ(records[5].isSet, 1);
    EXPECT_EQ(records[5].row, 5);
    EXPECT_EQ(records[5].textColour, kRed);
    EXPECT_EQ(list.UpdateRow0Count(), 1);
}

TEST(RowColours, ReplacingARecordKeepsTheOthers) {
    MemoryListControl list;
    SetRowColour(list.NotificationWindow(), list, 9, kOrange, kClrDefault);
    SetRowColour(list.NotificationWindow(), list, 3, kOrange, kWhite);
    SetRowColour(list.NotificationWindow(), list, 3, kRed, kClrDefault);
    const std::vector<RowColour> records = RowColoursOf(list.ListWindow());
    ASSERT_EQ(records.size(), 10u);
    EXPECT_EQ(records[3].textColour, kRed);
    EXPECT_EQ(records[3].backgroundColour, kClrDefault);
    EXPECT_EQ(records[9].textColour, kOrange);
    SetRowColour(list.NotificationWindow(), list, -1, kRed, kClrDefault);
    EXPECT_EQ(RowColoursOf(list.ListWindow()).size(), 10u);
}

TEST(RowColours, ClearingAListWithoutEntryPostsNothing) {
    MemoryListControl list;
    ClearRowColours(list);
    EXPECT_EQ(list.UpdateRow0Count(), 0);
    EXPECT_FALSE(HasRowColourEntry(list.ListWindow()));
}

TEST(RowColours, ClearingRemovesTheEntryAndKeepsTheSubclass) {
    MemoryListControl list;
    SetRowColour(list.NotificationWindow(), list, 0, kRed, kClrDefault);
    EXPECT_TRUE(IsSubclassed(list.NotificationWindow()));
    ClearRowColours(list);
    EXPECT_EQ(list.UpdateRow0Count(), 2);
    EXPECT_FALSE(HasRowColourEntry(list.ListWindow()));
    EXPECT_TRUE(IsSubclassed(list.NotificationWindow()));
    const DrawnColours drawn = RowColourAsDrawn(list, 0);
    EXPECT_EQ(drawn.text, kBlack);
    EXPECT_EQ(drawn.background, kWhite);
    // The next SetRowColour starts a fresh array.
    SetRowColour(list.NotificationWindow(), list, 1, kOrange, kClrDefault);
    EXPECT_EQ(RowColoursOf(list.ListWindow()).size(), 2u);
}

TEST(RowColours, PrepaintAsksForItemsForAnyControl) {
    CustomDrawRecord record;
    record.header.hwndFrom = AllocateWindowHandle();  // a control without entry
    record.drawStage = kCddsPrepaint;
    EXPECT_EQ(Handle(record), kCdrfNotifyItemDraw);
    record.drawStage = 0x2;  // CDDS_POSTPAINT
    EXPECT_EQ(Handle(record), -1);
    record.drawStage = kCddsItemPrepaint;
    EXPECT_EQ(Handle(record), -1);  // no entry
    record.header.code = -2;        // NM_CLICK
    record.drawStage = kCddsPrepaint;
    EXPECT_EQ(Handle(record), -1);
}

TEST(RowColours, TheSelectedFocusedRowWithCuesGetsNoColours) {
    MemoryListControl list;
    SetRowColour(list.NotificationWindow(), list, 2, kRed, kOrange);
    CustomDrawRecord focused = ItemRecord(list.ListWindow(), 2, kSelectedFocusedWithCues);
    EXPECT_EQ(Handle(focused), kCdrfDoDefault);
    EXPECT_EQ(focused.clrText, kBlack);
    EXPECT_EQ(focused.clrTextBk, kWhite);
    CustomDrawRecord unfocused = ItemRecord(list.ListWindow(), 2, kCdisSelected);
    EXPECT_EQ(Handle(unfocused), kCdrfDoDefault);
    EXPECT_EQ(unfocused.clrText, kRed);
    EXPECT_EQ(unfocused.clrTextBk, kOrange);
    CustomDrawRecord focusNoCues = ItemRecord(list.ListWindow(), 2, kCdisSelected | kCdisFocus);
    Handle(focusNoCues);
    EXPECT_EQ(focusNoCues.clrText, kRed);
    // Blank records and rows past the array keep the list's colours.
    CustomDrawRecord blank = ItemRecord(list.ListWindow(), 1);
    CustomDrawRecord beyond = ItemRecord(list.ListWindow(), 40);
    EXPECT_EQ(Handle(blank), kCdrfDoDefault);
    EXPECT_EQ(Handle(beyond), kCdrfDoDefault);
    EXPECT_EQ(blank.clrText, kBlack);
    EXPECT_EQ(beyond.clrText, kBlack);
}

TEST(RowColours, DefaultBackgroundMeansTheListsOwn) {
    MemoryListControl list;
    SetRowColour(list.NotificationWindow(), list, 0, kRed, kClrDefault);
    const DrawnColours drawn = RowColourAsDrawn(list, 0, 0, kBlack, Rgb(1, 2, 3));
    EXPECT_EQ(drawn.text, kRed);
    EXPECT_EQ(drawn.background, Rgb(1, 2, 3));
}

// Window subclassing: the colouring procedure goes in front of the window's
// own, which still receives every other message.
TEST(RowColours, TheNotificationWindowIsSubclassedOnceAndChainsOn) {
    std::atomic<int> ownCalls{0};
    NotificationWindow window([&](std::uint32_t message, std::uintptr_t, std::intptr_t) {
        ++ownCalls;
        return message == 0x1234 ? std::intptr_t{42} : std::intptr_t{0};
    });
    MemoryListControl list;
    // Before any colour, the window's own procedure answers custom draw: 0, no item stage.
    EXPECT_FALSE(CustomDrawPrepaint(window.Handle(), list.ListWindow()));
    EXPECT_EQ(ownCalls.load(), 1);
    EXPECT_FALSE(IsSubclassed(window.Handle()));

    SetRowColour(window.Handle(), list, 0, kRed, kClrDefault);
    EXPECT_EQ(GetWindowProc(window.Handle()), &RowColourWindowProc);
    EXPECT_EQ(PreviousWindowProc(window.Handle()), &NotificationWindow::BaseWindowProc);
    SetRowColour(window.Handle(), list, 1, kRed, kClrDefault);
    EXPECT_EQ(PreviousWindowProc(window.Handle()), &NotificationWindow::BaseWindowProc);

    EXPECT_TRUE(CustomDrawPrepaint(window.Handle(), list.ListWindow()));
    EXPECT_EQ(CustomDrawItem(window.Handle(), list.ListWindow(), 0, 0, kBlack, kWhite).text, kRed);
    EXPECT_EQ(ownCalls.load(), 1);
    // Other messages reach the window's own procedure.
    EXPECT_EQ(window.Send(0x1234, 0, 0), 42);
    EXPECT_EQ(ownCalls.load(), 2);
    // A custom draw of a list without entry at the item stage: -1, so on to the own procedure.
    MemoryListControl other;
    CustomDrawItem(window.Handle(), other.ListWindow(), 0, 0, kBlack, kWhite);
    EXPECT_EQ(ownCalls.load(), 3);
}

TEST(RowColours, AWindowThatIsNotRegisteredAnswersZero) {
    const WindowHandle unknown = AllocateWindowHandle();
    EXPECT_EQ(RowColourWindowProc(unknown, 0x1234, 0, 0), 0);
}

// Workers set colours while the test pass clears them and the UI paints.
TEST(RowColours, ConcurrentSetClearAndPaintStayConsistent) {
    MemoryListControl list;
    std::atomic<bool> stop{false};
    std::thread painter([&] {
        while (!stop) {
            for (int row = 0; row < 50; ++row) {
                RowColourAsDrawn(list, row);
            }
        }
    });
    std::thread clearer([&] {
        for (int i = 0; i < 200; ++i) {
            ClearRowColours(list);
        }
    });
    std::vector<std::thread> workers;
    for (int w = 0; w < 8; ++w) {
        workers.emplace_back([&, w] {
            for (int row = w; row < 50; row += 8) {
                SetRowColour(list.NotificationWindow(), list, row, kRed, kClrDefault);
            }
        });
    }
    for (std::thread& worker : workers) {
        worker.join();
    }
    clearer.join();
    stop = true;
    painter.join();
    EXPECT_TRUE(IsSubclassed(list.NotificationWindow()));
    EXPECT_EQ(PreviousWindowProc(list.NotificationWindow()), &NotificationWindow::BaseWindowProc);
}

}  // namespace
}  // namespace quillark
