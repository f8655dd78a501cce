#include "latency/test_pass.h"

#include <gtest/gtest.h>

#include <atomic>
#include <map>
#include <mutex>

#include "listview/memory_list_control.h"
#include "listview/row_colours.h"
#include "listview/row_lock.h"
#include "listview/server_list_columns.h"

namespace quillark {
namespace {

using namespace server_list;

using namespace std::chrono_literals;

// Hosts resolve by a table; echoes answer with a set time per address, -1 for none.
class TableProbe : public NetworkProbe {
  public:
    std::map<std::string, std::string> addresses;
    std::map<std::string, int> echo_ms;
    mutable std::atomic<int> echoes{0};

    std::string ResolveHost(const std::string& host) const override {
        auto found = addresses.find(host);
        return found == addresses.end() ? std::string() : found->second;
    }
    int EchoOnce(const std::string& address, int) const override {
        ++echoes;
        auto found = echo_ms.find(address);
        return found == echo_ms.end() ? -1 : found->second;
    }
};

class TableStatus : public RegionStatusSource {
  public:
    std::map<std::string, std::string> labels;
    std::atomic<int> fetches{0};
    bool fetch_result = true;

    bool FetchRegionStatus() override {
        ++fetches;
        return fetch_result;
    }
    std::string LookupRegionStatus(const std::string& name) const override {
        auto found = labels.find(name);
        return found == labels.end() ? "unknown" : found->second;
    }
    std::uint32_t StatusColour(const std::string& label) const override {
        return label == "busy" ? 0x0080FF : 0x808080;
    }
};

class TestPassTest : public ::testing::Test {
  protected:
    void SetUp() override { row_lock::Create(); }
    void TearDown() override {
        ASSERT_TRUE(tracker.WaitIdle(10s));
        row_lock::Delete();
    }
    int AddRow(const std::string& region, const std::string& host) {
        int row = list.InsertRow("name", 2);
        list.SetCellText(row, kColumnRegion, region);
        list.SetCellText(row, kColumnHost, host);
        return row;
    }

    MemoryListControl list;
    TableProbe probe;
    TableStatus status;
    WorkerTracker tracker;
};

TEST_F(TestPassTest, EveryRowGetsAddressStatusLatencyPictureAndColour) {
    AddRow("alpha", "a.test");
    AddRow("beta", "b.test");
    AddRow("gamma", "nowhere.test");
    probe.addresses = {{"a.test", "10.0.0.1"}, {"b.test", "10.0.0.2"}};
    probe.echo_ms = {{"10.0.0.1", 0}, {"10.0.0.2", 36}};
    status.labels = {{"alpha", "busy"}, {"beta", "fine"}};

    TestPass pass(list, status, probe, tracker);
    pass.StartTestPass();
    ASSERT_TRUE(tracker.WaitIdle(10s));

    struct Expected {
        std::string address, latency, status;
        int picture;
        Colour colour;
    } expected[] = {
        {"10.0.0.1", "0ms", "busy", 0, 0x0080FF},
        {"10.0.0.2", "36ms", "fine", 0, 0x808080},
        {"", "...", "unknown", 1, 0x808080},
    };
    for (int row = 0; row < 3; ++row) {
        const Expected& e = expected[row];
        EXPECT_EQ(list.GetCellText(row, kColumnAddress), e.address) << row;
        EXPECT_EQ(list.GetCellText(row, kColumnLatency), e.latency) << row;
        EXPECT_EQ(list.GetCellText(row, kColumnStatus), e.status) << row;
        EXPECT_EQ(list.GetStateImage(row), e.picture) << row;
        EXPECT_EQ(RowColourAsDrawn(list, row).text, e.colour) << row;
    }
    EXPECT_EQ(status.fetches, 1);
    EXPECT_GE(list.RedrawCount(), 3);
}

TEST_F(TestPassTest, EmptyListFetchesButStartsNoWorker) {
    TestPass pass(list, status, probe, tracker);
    pass.StartTestPass();
    ASSERT_TRUE(tracker.WaitIdle(10s));
    EXPECT_EQ(status.fetches, 1);
    EXPECT_EQ(probe.echoes, 0);
}

TEST_F(TestPassTest, AFailedFetchEndsThePass) {
    AddRow("alpha", "a.test");
    status.fetch_result = false;
    TestPass pass(list, status, probe, tracker);
    pass.StartTestPass();
    ASSERT_TRUE(tracker.WaitIdle(10s));
    EXPECT_EQ(probe.echoes, 0);
    EXPECT_EQ(list.GetCellText(0, kColumnLatency), "");
}

TEST_F(TestPassTest, StartingAPassDropsTheOldRowColours) {
    AddRow("alpha", "a.test");
    SetRowColour(list.NotificationWindow(), list, 0, 0x0000FF, kClrDefault);
    status.fetch_result = false;
    TestPass pass(list, status, probe, tracker);
    pass.StartTestPass();
    EXPECT_FALSE(HasRowColourEntry(list.ListWindow()));
}

TEST_F(TestPassTest, OverlappingPassesEndWithCompleteRows) {
    for (int i = 0; i < 40; ++i) {
        std::string host = "h" + std::to_string(i) + ".test";
        std::string address = "10.0.1." + std::to_string(i);
        AddRow("alpha", host);
        probe.addresses[host] = address;
        probe.echo_ms[address] = i;
    }
    status.labels = {{"alpha", "busy"}};
    TestPass pass(list, status, probe, tracker);
    for (int i = 0; i < 5; ++i) {
        pass.StartTestPass();
    }
    ASSERT_TRUE(tracker.WaitIdle(10s));
    for (int row = 0; row < 40; ++row) {
        EXPECT_EQ(list.GetCellText(row, kColumnLatency), std::to_string(row) + "ms");
        EXPECT_EQ(list.GetStateImage(row), 0);
    }
}

}  // namespace
}  // namespace quillark
