// The window's behaviour: timer periods, header clicks with arrows, row
// colours as painted, row commands, resizing.

#include <gtest/gtest.h>

#include <QComboBox>
#include <QContextMenuEvent>
#include <QCursor>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTest>

#include "app/main_window.h"
#include "app_test_support.h"
#include "listview/row_colours.h"
#include "listview/row_commands.h"
#include "listview/server_list_columns.h"
#include "platform/text_codec.h"
#include "text/gbk_literal.h"

namespace quillark {
namespace {

using namespace literals;
using testing_support::ArtifactPath;
using testing_support::PixelsNear;
using testing_support::RecordingLauncher;
using testing_support::SharedActions;
using testing_support::SpinUntil;

class WindowBehaviourTest : public testing_support::ShownWindowTest {
  protected:
    void FillRows() {
        List().DeleteAllRows();
        struct Row {
            const std::string name, host, address, latency;
        } rows[] = {
            {"祖安"_gbk, "c.example", "14.17.32.211", "36ms"},
            {"艾欧尼亚"_gbk, "a.example", "101.226.76.10", "..."},
            {"诺克萨斯"_gbk, "d.example", "101.226.1.1", "5ms"},
            {"比尔吉沃特"_gbk, "b.example", "1.2.3.4", "Scaning..."},
        };
        for (const Row& row : rows) {
            const int index = List().InsertRow(row.name, 2);
            List().SetCellText(index, server_list::kColumnHost, row.host);
            List().SetCellText(index, server_list::kColumnAddress, row.address);
            List().SetCellText(index, server_list::kColumnLatency, row.latency);
        }
    }
    void ClickHeader(int column) {
        QHeaderView* header = window->ListView()->header();
        const int x = header->sectionViewportPosition(column) + header->sectionSize(column) / 2;
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(x, header->height() / 2));
        QCoreApplication::processEvents();
    }
    std::vector<int> Arrows() {
        std::vector<int> images;
        for (int column = 0; column < 7; ++column) {
            images.push_back(List().GetColumnImage(column));
        }
        return images;
    }
    // The arrow picture the header shows for a column: 0 up, 1 down, -1 none.
    int ShownArrow(int column) {
        const QVariant picture =
            window->ListView()->model()->headerData(column, Qt::Horizontal, Qt::DecorationRole);
        if (!picture.isValid()) {
            return -1;
        }
        const QImage image = picture.value<QPixmap>().toImage();
        if (image == ServerListModel::ArrowPicture(0).toImage()) {
            return 0;
        }
        return image == ServerListModel::ArrowPicture(1).toImage() ? 1 : -2;
    }
    std::vector<std::string> Column(int column) {
        std::vector<std::string> texts;
        for (int row = 0; row < List().RowCount(); ++row) {
            texts.push_back(List().GetCellText(row, column));
        }
        return texts;
    }
};

TEST_F(WindowBehaviourTest, TimerPeriodRules) {
    QComboBox* combo = window->IntervalCombo();
    auto choose = [&](int index) {
        combo->setCurrentIndex(index);
        emit combo->activated(index);
    };
    IntervalTimer& timer = window->Timer();
    choose(1);  // 5秒
    EXPECT_EQ(timer.Period(), 5000);
    EXPECT_TRUE(timer.IsRunning());
    QTest::qWait(400);
    const int remaining = timer.RemainingTime();
    EXPECT_LE(remaining, 4700);
    choose(1);  // 5秒 again: the countdown goes on
    EXPECT_LE(timer.RemainingTime(), remaining);
    choose(2);  // 10秒: restarted from now
    EXPECT_EQ(timer.Period(), 10000);
    EXPECT_GT(timer.RemainingTime(), 9500);
    choose(0);  // 手动测速: stopped
    EXPECT_EQ(timer.Period(), 0);
    EXPECT_FALSE(timer.IsRunning());
    timer.SetPeriod(-5);
    EXPECT_FALSE(timer.IsRunning());
    EXPECT_EQ(timer.Period(), 0);

    // A tick starts a test pass on the UI thread.
    const int before = SharedActions().Passes();
    timer.SetPeriod(30);
    EXPECT_TRUE(SpinUntil([&] { return SharedActions().Passes() >= before + 2; }, 5000));
    timer.SetPeriod(0);
}

TEST_F(WindowBehaviourTest, HeaderClicksSortAndMoveTheArrow) {
    FillRows();
    // The loader's sort: column 0 ascending, picture 0.
    sortState.SortListByColumn(List(), 0, 1);
    EXPECT_EQ(Column(0), (std::vector<std::string>{"艾欧尼亚"_gbk, "比尔吉沃特"_gbk, "诺克萨斯"_gbk,
                                                   "祖安"_gbk}));
    EXPECT_EQ(Arrows(), (std::vector<int>{0, -1, -1, -1, -1, -1, -1}));
    EXPECT_EQ(ShownArrow(0), 0);

    ClickHeader(0);  // descending, picture 1
    EXPECT_EQ(sortState.SortAscending(), 0);
    EXPECT_EQ(Column(0).front(), "祖安"_gbk);
    EXPECT_EQ(ShownArrow(0), 1);

    ClickHeader(4);  // ascending; picture 1 copied from column 0
    EXPECT_EQ(sortState.SortAscending(), 1);
    EXPECT_EQ(sortState.Type(), 3);
    EXPECT_EQ(Column(4)[2], "5ms");
    EXPECT_EQ(Column(4)[3], "36ms");
    EXPECT_EQ(ShownArrow(4), 1);
    EXPECT_EQ(ShownArrow(0), -1);
    window->grab().save(ArtifactPath("sorted-by-latency.png"));

    ClickHeader(4);  // descending, picture 0
    EXPECT_EQ(Column(4).front(), "36ms");
    EXPECT_EQ(ShownArrow(4), 0);

    ClickHeader(2);  // ascending; column 4 showed 0, so column 2 shows 0
    EXPECT_EQ(Column(2),
              (std::vector<std::string>{"a.example", "b.example", "c.example", "d.example"}));
    EXPECT_EQ(ShownArrow(2), 0);
    EXPECT_EQ(ShownArrow(4), -1);

    ClickHeader(3);  // decimal, descending: 101.226.x (equal keys), then 14.17, then 1.2
    EXPECT_EQ(sortState.Type(), 4);
    EXPECT_EQ(sortState.SortAscending(), 0);
    EXPECT_EQ(Column(3)[2], "14.17.32.211");
    EXPECT_EQ(Column(3)[3], "1.2.3.4");
}

TEST_F(WindowBehaviourTest, SelectionFollowsItsRowWhenSorted) {
    FillRows();
    window->ListView()->setCurrentIndex(window->ListView()->model()->index(0, 0));  // 祖安
    ASSERT_EQ(List().SelectedRow(), 0);
    sortState.SortListByColumn(List(), 0, 1);
    EXPECT_EQ(List().GetCellText(List().SelectedRow(), 0), "祖安"_gbk);
}

TEST_F(WindowBehaviourTest, RowColoursAsPainted) {
    FillRows();
    ServerListView* view = window->ListView();
    window->TestButton()->setFocus();  // the list has no focus
    const QColor red(255, 0, 0), yellow(255, 255, 0);
    auto rowRect = [&](int row) {
        const QRect cell = view->visualRect(view->model()->index(row, 0));
        return QRect(0, cell.top(), view->viewport()->width(), cell.height());
    };
    auto paint = [&] {
        QCoreApplication::processEvents();
        return view->viewport()->grab().toImage();
    };

    QImage before = paint();
    EXPECT_EQ(PixelsNear(before, rowRect(1), red), 0);
    EXPECT_FALSE(IsSubclassed(window->NotificationHandle()));

    // A worker thread colours row 1 red, as a ping worker does.
    std::thread worker([&] {
        SetRowColour(List().NotificationWindow(), List(), 1, Rgb(255, 0, 0), kClrDefault);
        SetRowColour(List().NotificationWindow(), List(), 3, Rgb(0, 0, 0), Rgb(255, 255, 0));
        List().Redraw();
    });
    ASSERT_TRUE(SpinUntil([&] { return HasRowColourEntry(List().ListWindow()); }));
    worker.join();
    EXPECT_TRUE(IsSubclassed(window->NotificationHandle()));
    EXPECT_EQ(GetWindowProc(window->NotificationHandle()), &RowColourWindowProc);

    QImage coloured = paint();
    coloured.save(ArtifactPath("row-colours.png"));
    EXPECT_GT(PixelsNear(coloured, rowRect(1), red), 10);
    EXPECT_EQ(PixelsNear(coloured, rowRect(0), red), 0);
    EXPECT_EQ(PixelsNear(coloured, rowRect(2), red), 0);
    // Row 3: background yellow across the row; row 1's background stays white.
    EXPECT_GT(PixelsNear(coloured, rowRect(3), yellow, 10),
              rowRect(3).width() * rowRect(3).height() / 2);
    EXPECT_GT(PixelsNear(coloured, rowRect(1), Qt::white, 10),
              rowRect(1).width() * rowRect(1).height() / 2);

    // Selected without the list's focus: the record still applies.
    view->selectionModel()->select(view->model()->index(1, 0),
                                   QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    EXPECT_EQ(view->ItemState(1) & kCdisFocus, 0u);
    EXPECT_GT(PixelsNear(paint(), rowRect(1), red), 10);

    // Selected and focused with cues (0x211): no record colours, the highlight shows.
    view->setFocus();
    view->setCurrentIndex(view->model()->index(1, 0));
    ASSERT_TRUE(SpinUntil([&] { return view->hasFocus(); }, 2000));
    EXPECT_EQ(view->ItemState(1), kSelectedFocusedWithCues);
    QImage focused = paint();
    EXPECT_EQ(PixelsNear(focused, rowRect(1), red, 30), 0);
    const QColor highlight = view->palette().color(QPalette::Active, QPalette::Highlight);
    EXPECT_GT(PixelsNear(focused, rowRect(1), highlight, 10),
              rowRect(1).width() * rowRect(1).height() / 2);

    // Cleared: every row in the list's own colours; the window stays subclassed.
    window->TestButton()->setFocus();
    ClearRowColours(List());
    QImage cleared = paint();
    EXPECT_EQ(PixelsNear(cleared, rowRect(1), red), 0);
    EXPECT_EQ(PixelsNear(cleared, rowRect(3), yellow, 10), 0);
    EXPECT_TRUE(IsSubclassed(window->NotificationHandle()));

    // Colours stay with row positions across a sort.
    SetRowColour(List().NotificationWindow(), List(), 0, Rgb(255, 0, 0), kClrDefault);
    sortState.SortListByColumn(List(), 0, 1);
    EXPECT_GT(PixelsNear(paint(), rowRect(0), red), 10);
    ClearRowColours(List());
}

TEST_F(WindowBehaviourTest, HeaderClicksStillWorkThroughTheSubclassedWindow) {
    FillRows();
    SetRowColour(List().NotificationWindow(), List(), 0, Rgb(255, 0, 0), kClrDefault);
    ASSERT_TRUE(IsSubclassed(window->NotificationHandle()));
    const int before = sortState.SortAscending();
    ClickHeader(1);
    EXPECT_NE(sortState.SortAscending(), before);
    EXPECT_EQ(sortState.Column(), 1);
    ClearRowColours(List());
}

TEST_F(WindowBehaviourTest, RowCommandsStartTheMappedTools) {
    FillRows();
    ServerListView* view = window->ListView();
    view->setFocus();
    // Double-click row 2 (诺克萨斯, d.example): continuous ping of the host name.
    const QRect cell = view->visualRect(view->model()->index(2, 1));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, cell.center());
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, cell.center());
    ASSERT_EQ(launcher.started.size(), 1u);
    EXPECT_EQ(launcher.started[0],
              (std::vector<std::string>{"/usr/bin/xterm", "-e", "/usr/bin/ping", "d.example"}));
    // Enter on the selected row.
    QTest::keyClick(view, Qt::Key_Return);
    ASSERT_EQ(launcher.started.size(), 2u);
    EXPECT_EQ(launcher.started[1].back(), "d.example");

    // The popup menu at the cursor + 3 pixels, from a right click anywhere.
    const QPoint cursor = window->mapToGlobal(QPoint(300, 300));
    QCursor::setPos(cursor);
    auto rightClick = [&](const QPoint& at) {
        QTest::mouseClick(view->viewport(), Qt::RightButton, {}, at);
        // The platform turns a right click into a context-menu event.
        QContextMenuEvent event(QContextMenuEvent::Mouse, at, view->viewport()->mapToGlobal(at));
        QCoreApplication::sendEvent(view->viewport(), &event);
    };
    QMenu* menu = window->RowMenu();
    // Below the last row: the menu shows too (and the click clears the selection).
    rightClick(QPoint(200, 400));
    ASSERT_TRUE(SpinUntil([&] { return menu->isVisible(); }, 2000));
    EXPECT_EQ(menu->pos(), QCursor::pos() + QPoint(3, 3));
    EXPECT_EQ(List().SelectedRow(), -1);
    menu->hide();
    // On row 2: the row is selected and the menu shows.
    rightClick(cell.center());
    ASSERT_TRUE(SpinUntil([&] { return menu->isVisible(); }, 2000));
    EXPECT_EQ(List().SelectedRow(), 2);
    const QList<QAction*> items = menu->actions();
    ASSERT_EQ(items.size(), 3);
    EXPECT_EQ(items[0]->text(), QString::fromUtf8("持续 Ping"));
    EXPECT_TRUE(items[1]->isSeparator());
    EXPECT_EQ(items[2]->text(), QString::fromUtf8("路由追踪"));
    items[2]->trigger();
    menu->hide();
    ASSERT_EQ(launcher.started.size(), 3u);
    EXPECT_EQ(launcher.started[2], (std::vector<std::string>{"/usr/bin/xterm", "-e",
                                                             "/usr/bin/traceroute", "d.example"}));
    items[0]->trigger();
    ASSERT_EQ(launcher.started.size(), 4u);
    EXPECT_EQ(launcher.started[3][2], "/usr/bin/ping");

    // A hostile host from the catalogue starts nothing.
    List().SetCellText(2, server_list::kColumnHost, "-oProxyCommand=x");
    window->ContinuousPing();
    window->TraceRoute();
    List().SetCellText(2, server_list::kColumnHost, "d.example; rm -rf ~");
    window->ContinuousPing();
    // No selection: empty host, nothing starts.
    view->clearSelection();
    window->ContinuousPing();
    EXPECT_EQ(launcher.started.size(), 4u);

    // The update link opens the update page in the desktop's browser.
    QTest::mousePress(window->UpdateLink(), Qt::LeftButton);
    ASSERT_EQ(launcher.started.size(), 5u);
    EXPECT_EQ(launcher.started[4],
              (std::vector<std::string>{"/usr/bin/xdg-open", std::string(kUpdatePageAddress)}));
}

TEST_F(WindowBehaviourTest, ResizingKeepsTheListAsWideAsTheClientArea) {
    ServerListView* view = window->ListView();
    EXPECT_EQ(view->width(), window->width());
    window->setFixedSize(700, 583);
    QCoreApplication::processEvents();
    EXPECT_EQ(view->width(), 700);
    EXPECT_EQ(view->height(), 483);
    window->showMinimized();
    window->showNormal();
    window->setFixedSize(848, 583);
    QCoreApplication::processEvents();
    EXPECT_EQ(view->width(), window->width());
    EXPECT_EQ(view->height(), 483);
}

// A populated list for the README (made-up hosts and places).
TEST_F(WindowBehaviourTest, SampleScreenshot) {
    List().DeleteAllRows();
    struct Sample {
        const char *name, *region, *host, *address, *latency, *status, *place;
        int picture;
        Colour colour;
    } samples[] = {
        {"艾欧尼亚01区 ", "艾欧尼亚", "hn1.lol.example", "101.226.76.10", "36ms", "正常",
         "上海市 电信", 0, Rgb(0, 0, 0)},
        {"祖安03区 ", "祖安", "hn3.lol.example", "14.17.32.211", "41ms", "拥挤",
         "广东省深圳市 电信", 0, Rgb(255, 128, 0)},
        {"诺克萨斯04区 ", "诺克萨斯", "hn4.lol.example", "101.226.1.1", "38ms", "满载",
         "上海市 电信", 0, Rgb(255, 0, 0)},
        {"比尔吉沃特01区 ", "比尔吉沃特", "wt1.lol.example", "61.151.224.5", "...", "维护",
         "浙江省杭州市 联通", 1, Rgb(128, 128, 128)},
        {"皮尔特沃夫05区 ", "皮尔特沃夫", "hn5.lol.example", "", "Scaning...", "未知状态",
         "正在查询服务器物理归属地...", 2, kClrDefault},
    };
    for (const Sample& sample : samples) {
        const int row = List().InsertRow(TextCodec::Utf8ToGbk(sample.name), sample.picture);
        List().SetCellText(row, 1, TextCodec::Utf8ToGbk(sample.region));
        List().SetCellText(row, 2, sample.host);
        List().SetCellText(row, 3, sample.address);
        List().SetCellText(row, 4, sample.latency);
        List().SetCellText(row, 5, TextCodec::Utf8ToGbk(sample.status));
        List().SetCellText(row, 6, TextCodec::Utf8ToGbk(sample.place));
    }
    sortState.SortListByColumn(List(), 0, 1);
    // As the workers do after the sort: each row by its status.
    for (const Sample& sample : samples) {
        for (int row = 0; row < List().RowCount(); ++row) {
            if (List().GetCellText(row, 2) == sample.host && sample.colour != kClrDefault) {
                SetRowColour(List().NotificationWindow(), List(), row, sample.colour, kClrDefault);
            }
        }
    }
    window->TestButton()->setFocus();
    QCoreApplication::processEvents();
    EXPECT_TRUE(window->grab().save(ArtifactPath("tab-servers-sample.png")));
    ClearRowColours(List());
}

}  // namespace
}  // namespace quillark
