#include "app/main_window.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabBar>
#include <QTest>
#include <QTreeWidget>

#include "app_test_support.h"
#include "listview/row_lock.h"
#include "listview/server_list_columns.h"

namespace quillark {
namespace {

using testing_support::ArtifactPath;
using testing_support::RecordingLauncher;
using testing_support::SharedActions;
using testing_support::SpinUntil;

QString Utf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

class MainWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        window = std::make_unique<MainWindow>(SharedActions(), launcher, sortState);
    }
    void ShowAndWait() {
        const int loadsBefore = SharedActions().Loads();
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        ASSERT_TRUE(SharedActions().WaitForLoads(loadsBefore + 1, 5000));
        QCoreApplication::processEvents();
    }
    RecordingLauncher launcher;
    SortState sortState;
    std::unique_ptr<MainWindow> window;
};

TEST_F(MainWindowTest, StartUpState) {
    const int passesBefore = SharedActions().Passes();
    ShowAndWait();
    EXPECT_EQ(window->windowTitle(), "Quillark v1.3");
    EXPECT_EQ(window->frameGeometry().size(), QSize(848, 583));
    EXPECT_EQ(window->minimumSize(), window->maximumSize());  // not resizable
    EXPECT_FALSE(window->windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(window->windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_EQ(window->palette().color(QPalette::Window), QColor(252, 252, 254));
    EXPECT_TRUE(row_lock::Exists());

    // Tabs with their icons; the first is selected.
    ASSERT_EQ(window->Tabs()->count(), 3);
    EXPECT_EQ(window->Tabs()->tabText(0), Utf8("LOL服务器"));
    EXPECT_EQ(window->Tabs()->tabText(1), Utf8("全球Ping"));
    EXPECT_EQ(window->Tabs()->tabText(2), Utf8("帮助信息"));
    for (int tab = 0; tab < 3; ++tab) {
        EXPECT_FALSE(window->Tabs()->tabIcon(tab).isNull());
        EXPECT_EQ(window->Tabs()->tabIcon(tab).availableSizes().value(0), QSize(16, 16));
    }
    EXPECT_EQ(window->Tabs()->currentIndex(), 0);
    EXPECT_TRUE(window->Page(0)->isVisible());
    EXPECT_FALSE(window->Page(1)->isVisible());

    // The list: columns, the placeholder row, no selection.
    ServerListView* view = window->ListView();
    EXPECT_EQ(view->objectName(), "listView");
    // Designed 832 wide; the size-changed rule makes it as wide as the client area.
    EXPECT_EQ(view->geometry(), QRect(0, 23, window->width(), 483));
    EXPECT_EQ(view->font().pixelSize(), 12);
    EXPECT_EQ(view->selectionBehavior(), QAbstractItemView::SelectRows);
    EXPECT_EQ(view->selectionMode(), QAbstractItemView::SingleSelection);
    EXPECT_FALSE(view->isSortingEnabled());
    EXPECT_TRUE(view->header()->sectionsClickable());
    EXPECT_FALSE(view->header()->sectionsMovable());
    for (const ColumnSpec& column : server_list::kColumns) {
        EXPECT_EQ(view->header()->sectionSize(column.index), column.width);
        EXPECT_EQ(view->model()->headerData(column.index, Qt::Horizontal).toString(),
                  Utf8(column.titleUtf8));
        const auto alignment = view->model()
                                   ->index(0, column.index)
                                   .data(Qt::TextAlignmentRole)
                                   .value<Qt::Alignment>();
        EXPECT_EQ(bool(alignment & Qt::AlignRight), column.alignment == ColumnAlignment::kRight);
    }
    QtListControl& list = window->ServerList();
    ASSERT_EQ(list.RowCount(), 1);
    EXPECT_EQ(Utf8(""), "");
    EXPECT_EQ(FromGbk(list.GetCellText(0, 0)), Utf8("测试主机"));
    EXPECT_EQ(list.GetCellText(0, 1), "192.168.1.1");
    EXPECT_EQ(list.GetStateImage(0), 2);
    EXPECT_EQ(list.SelectedRow(), -1);
    EXPECT_EQ(view->model()->index(0, 0).data(Qt::DecorationRole).value<QPixmap>().size(),
              QSize(12, 12));

    // The interval selector, the timer, the button with the focus.
    QComboBox* combo = window->IntervalCombo();
    const char* texts[] = {"手动测速", "5秒", "10秒", "20秒", "30秒", "60秒"};
    const int values[] = {0, 5, 10, 20, 30, 60};
    ASSERT_EQ(combo->count(), 6);
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(combo->itemText(i), Utf8(texts[i]));
        EXPECT_EQ(combo->itemData(i).toInt(), values[i]);
    }
    EXPECT_FALSE(combo->isEditable());
    EXPECT_EQ(combo->currentIndex(), 0);
    EXPECT_EQ(window->Timer().Period(), 0);
    EXPECT_FALSE(window->Timer().IsRunning());
    QPushButton* button = window->TestButton();
    EXPECT_EQ(button->text(), Utf8("手动测速"));
    EXPECT_EQ(button->iconSize(), QSize(24, 24));
    EXPECT_EQ(button->cursor().shape(), Qt::PointingHandCursor);
    EXPECT_EQ(button->font().pixelSize(), 14);
    EXPECT_TRUE(SpinUntil([&] { return button->hasFocus(); }, 2000));
    EXPECT_EQ(SharedActions().Passes(), passesBefore);

    // The button starts a test pass.
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(SharedActions().Passes(), passesBefore + 1);
}

TEST_F(MainWindowTest, GlobalPingAndHelpTabs) {
    ShowAndWait();
    QTreeWidget* global = window->GlobalPingList();
    ASSERT_EQ(global->columnCount(), 3);
    EXPECT_EQ(global->headerItem()->text(0), Utf8("服务器名称"));
    EXPECT_EQ(global->headerItem()->text(1), "KEY");
    EXPECT_EQ(global->headerItem()->text(2), Utf8("测试状态"));
    EXPECT_EQ(global->header()->sectionSize(0), 200);
    EXPECT_EQ(global->header()->sectionSize(1), 100);
    EXPECT_EQ(global->topLevelItemCount(), 0);
    EXPECT_EQ(global->geometry(), QRect(0, 23, 872, 554));

    QWidget* help = window->HelpLabel();
    EXPECT_EQ(help->property("sourceText").toString(), MainWindow::HelpText());
    EXPECT_TRUE(MainWindow::HelpText().startsWith(Utf8("【Quillark】\r\n\r\n服务器列表")));
    EXPECT_TRUE(MainWindow::HelpText().endsWith(Utf8("建议选择正常大区游戏\r\n")));
    EXPECT_EQ(help->palette().color(QPalette::WindowText), QColor(0, 136, 255));
    EXPECT_EQ(help->geometry(), QRect(221, 72, 488, 264));
    auto* logo = window->findChild<QLabel*>(Utf8("图片框1"));
    auto* code = window->findChild<QLabel*>(Utf8("图片框2"));
    ASSERT_TRUE(logo && code);
    EXPECT_EQ(logo->pixmap().size(), QSize(96, 96));
    EXPECT_EQ(code->pixmap().size(), QSize(150, 150));
    for (const char* name : {"超级链接框2", "透明标签4", "透明标签2", "标签1"}) {
        auto* label = window->findChild<QLabel*>(Utf8(name));
        ASSERT_NE(label, nullptr) << name;
        EXPECT_FALSE(label->text().isEmpty()) << name;
    }
    EXPECT_EQ(window->UpdateLink()->cursor().shape(), Qt::PointingHandCursor);
    EXPECT_TRUE(window->UpdateLink()->text().endsWith("\r\n"));

    // Screenshots of each tab.
    const char* names[] = {"tab-servers.png", "tab-global-ping.png", "tab-help.png"};
    for (int tab = 0; tab < 3; ++tab) {
        window->Tabs()->setCurrentIndex(tab);
        QCoreApplication::processEvents();
        EXPECT_TRUE(window->Page(tab)->isVisible());
        EXPECT_TRUE(window->grab().save(ArtifactPath(names[tab])));
    }
}

}  // namespace
}  // namespace quillark
