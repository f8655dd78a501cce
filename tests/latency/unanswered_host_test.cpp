// A test pass over a real probe, in a network namespace of the test's own
// where echo requests to one block of loopback addresses are dropped.
#include <gtest/gtest.h>

#include <thread>

#include "latency/test_pass.h"
#include "listview/memory_list_control.h"
#include "listview/row_lock.h"
#include "listview/server_list_columns.h"
#include "platform/isolated_network.h"
#include "platform/system_network_probe.h"

namespace quillark {
namespace {

using namespace server_list;
using namespace std::chrono_literals;
using testing::IsolatedNetwork;

constexpr int kTimeoutMs = 1500;

class AllNormal : public RegionStatusSource {
  public:
    bool FetchRegionStatus() override { return true; }
    std::string LookupRegionStatus(const std::string&) const override { return "ok"; }
    std::uint32_t StatusColour(const std::string&) const override { return 0; }
};

// Exit code of the child: 0 when every check held, else the number of the
// first that failed.
int PassWithOneSilentHost() {
    if (!IsolatedNetwork::Enter() || !IsolatedNetwork::DropEchoRequestsTo(9)) {
        return 1;
    }
    row_lock::Create();
    MemoryListControl list;
    list.InsertRow("answers", 2);
    list.SetCellText(0, kColumnHost, "127.0.0.5");
    list.InsertRow("silent", 2);
    list.SetCellText(1, kColumnHost, "127.0.9.1");
    AllNormal status;
    SystemNetworkProbe probe;
    WorkerTracker tracker;
    TestPass pass(list, status, probe, tracker, kTimeoutMs);

    const auto start = std::chrono::steady_clock::now();
    pass.StartTestPass();
    std::this_thread::sleep_for(500ms);
    // Half-way: the silent host's address and state are shown, the echo is still out.
    if (list.GetCellText(1, kColumnLatency) != "Scaning..." ||
        list.GetCellText(1, kColumnAddress) != "127.0.9.1" ||
        list.GetCellText(1, kColumnStatus) != "ok" || list.GetStateImage(1) != 2) {
        return 2;
    }
    if (list.GetStateImage(0) != 0 ||
        list.GetCellText(0, kColumnLatency).find("ms") == std::string::npos) {
        return 3;
    }
    if (!tracker.WaitIdle(10s)) {
        return 4;
    }
    // At the time-out: no answer, grey picture, and not before the time-out.
    if (list.GetCellText(1, kColumnLatency) != "..." || list.GetStateImage(1) != 1) {
        return 5;
    }
    if (std::chrono::steady_clock::now() - start < std::chrono::milliseconds(kTimeoutMs)) {
        return 6;
    }
    return 0;
}

TEST(UnansweredHost, ShowsScaningThenNoAnswerAtTheTimeout) {
    std::string reason;
    if (!IsolatedNetwork::IsAvailable(reason)) {
        GTEST_SKIP() << "no isolated network: " << reason;
    }
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(std::_Exit(PassWithOneSilentHost()), ::testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace quillark
