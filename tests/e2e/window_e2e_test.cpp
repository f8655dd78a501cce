// The window over the whole program: the rows and colours of a crafted
// catalogue after loading, and overlapping passes from the timer and the
// button, with real HTTP to the fixture server and real echoes.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QPushButton>

#include "app/app_test_support.h"
#include "app/main_window.h"
#include "app/server_list_view.h"
#include "child_process.h"
#include "cli/program.h"
#include "http/module_state.h"
#include "listview/server_list_columns.h"
#include "platform/icmp_echo_socket.h"
#include "platform/process_launcher.h"
#include "platform/text_codec.h"

namespace quillark {
namespace {

using namespace std::chrono_literals;
using namespace server_list;
using testing_support::PixelsNear;

// Starts nothing: row commands are not under test here.
class NoLauncher : public ProcessLauncher {
  public:
    bool Start(const std::vector<std::string>&) override { return true; }
    std::string FindProgram(const std::string&) const override { return {}; }
    std::string GetEnvironment(const std::string&) const override { return {}; }
};

class ForwardingActions : public ApplicationActions {
  public:
    ApplicationActions* target = nullptr;
    void LoadServerList() override { target->LoadServerList(); }
    void StartTestPass() override { target->StartTestPass(); }
};

// One window and its program over the e2e sample data. Both live until the
// process ends: the threads they start are detached.
// The server is destroyed (and stopped) at exit; the window and the program
// are not.
testing::FixtureServer& SharedServer() {
    static testing::FixtureServer server(QUILLARK_TEST_DATA "/e2e");
    return server;
}

struct Rig {
    testing::FixtureServer& server = SharedServer();
    ForwardingActions actions;
    NoLauncher launcher;
    MainWindow* window = nullptr;
    Program* program = nullptr;

    Rig() {
        if (server.BaseUrl().empty()) {
            return;
        }
        ModuleStartup();
        window = new MainWindow(actions, launcher);
        program = new Program(window->ServerList(), *Endpoints::WithBase(server.BaseUrl()));
        actions.target = program;
        window->show();
    }
    bool Settle(std::chrono::milliseconds timeout = 30s) {
        return testing_support::SpinUntil([this] { return program->WaitUntilSettled(0ms); },
                                          static_cast<int>(timeout.count()));
    }
    std::string Cell(int row, int column) {
        return TextCodec::GbkToUtf8(window->ServerList().GetCellText(row, column));
    }
};

Rig& SharedRig() {
    static Rig* rig = new Rig;
    return *rig;
}

class WindowEndToEnd : public ::testing::Test {
  protected:
    void SetUp() override {
        if (IcmpEchoSocket::ProcessKind() == IcmpEchoSocket::Kind::kNone) {
            GTEST_SKIP()
                << "no ICMP echoes for this process (run as root or widen ping_group_range)";
        }
        ASSERT_NE(SharedRig().window, nullptr) << "fixture server did not start";
    }
};

TEST_F(WindowEndToEnd, ShowsTheRowsAndColoursOfTheHeadlessTable) {
    Rig& rig = SharedRig();
    ASSERT_TRUE(rig.Settle());
    QtListControl& list = rig.window->ServerList();
    ASSERT_EQ(list.RowCount(), 4);
    const char* names[] = {"电信01区 ", "电信02区 ", "电信19区 ", "网通10区 "};
    const char* states[] = {"正常", "拥挤", "停机", "满载"};
    const int pictures[] = {0, 0, 0, 1};
    for (int row = 0; row < 4; ++row) {
        EXPECT_EQ(rig.Cell(row, kColumnName), names[row]);
        EXPECT_EQ(rig.Cell(row, kColumnStatus), states[row]);
        EXPECT_EQ(list.GetStateImage(row), pictures[row]);
    }
    EXPECT_EQ(rig.Cell(0, kColumnLocation), "中国华东 - 浙江省杭州市西湖区电信");
    EXPECT_EQ(rig.Cell(3, kColumnLatency), "...");

    // The colours as painted: orange on row 1, red on row 3, none of them on row 0.
    ServerListView* view = rig.window->ListView();
    rig.window->TestButton()->setFocus();
    QCoreApplication::processEvents();
    const QImage image = view->viewport()->grab().toImage();
    auto row_rect = [&](int row) {
        const QRect cell = view->visualRect(view->model()->index(row, 0));
        return QRect(0, cell.top(), view->viewport()->width(), cell.height());
    };
    const QColor orange(255, 128, 0), red(255, 0, 0);
    EXPECT_GT(PixelsNear(image, row_rect(1), orange), 20);
    EXPECT_GT(PixelsNear(image, row_rect(3), red), 20);
    EXPECT_EQ(PixelsNear(image, row_rect(0), orange) + PixelsNear(image, row_rect(0), red), 0);
}

TEST_F(WindowEndToEnd, OverlappingPassesFromTimerAndButtonEndWithCompleteRows) {
    Rig& rig = SharedRig();
    ASSERT_TRUE(rig.Settle());
    QComboBox* combo = rig.window->IntervalCombo();
    const int five_seconds = combo->findData(5);
    ASSERT_GE(five_seconds, 0);
    combo->setCurrentIndex(five_seconds);

    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 60'000) {
        rig.window->TestButton()->click();
        testing_support::SpinUntil([] { return false; }, 700);
    }
    combo->setCurrentIndex(0);  // manual: the timer stops
    ASSERT_TRUE(rig.Settle(30s));

    QtListControl& list = rig.window->ServerList();
    ASSERT_EQ(list.RowCount(), 4);
    for (int row = 0; row < 4; ++row) {
        const std::string latency = rig.Cell(row, kColumnLatency);
        const bool complete =
            latency == "..." ||
            (latency.size() > 2 && latency.compare(latency.size() - 2, 2, "ms") == 0);
        EXPECT_TRUE(complete) << row << ": " << latency;
        EXPECT_FALSE(rig.Cell(row, kColumnStatus).empty()) << row;
        EXPECT_NE(list.GetStateImage(row), 2) << row;
    }
}

}  // namespace
}  // namespace quillark
