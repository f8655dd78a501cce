#include "latency/test_pass.h"

#include <system_error>
#include <thread>

#include "listview/row_colours.h"
#include "listview/row_lock.h"
#include "listview/server_list_columns.h"

namespace quillark {
namespace {

using namespace server_list;

constexpr int kPictureAnswered = 0;
constexpr int kPictureNoAnswer = 1;

}  // namespace

void TestPass::StartTestPass() {
    ClearRowColours(list_);
    if (status_.FetchRegionStatus()) {
        StartDetached([this] { StartPingWorkers(); });
    }
}

void TestPass::StartPingWorkers() {
    const int rows = list_.RowCount();
    for (int row_number = 1; row_number <= rows; ++row_number) {
        StartDetached([this, row_number] { PingWorker(row_number); });
    }
}

void TestPass::PingWorker(int row_number) {
    const int row = row_number - 1;
    const std::string host = list_.GetCellText(row, kColumnHost);
    const std::string address = probe_.ResolveHost(host);
    list_.SetCellText(row, kColumnAddress, address);
    list_.SetCellText(row, kColumnLatency, "Scaning...");
    const std::string status = status_.LookupRegionStatus(list_.GetCellText(row, kColumnRegion));
    list_.SetCellText(row, kColumnStatus, status);
    const int ms = probe_.EchoOnce(address, echo_timeout_ms_);
    {
        row_lock::Guard guard;
        if (ms == -1) {
            list_.SetCellText(row, kColumnLatency, "...");
            list_.SetStateImage(row, kPictureNoAnswer);
        } else {
            list_.SetCellText(row, kColumnLatency, std::to_string(ms) + "ms");
            list_.SetStateImage(row, kPictureAnswered);
        }
    }
    {
        row_lock::Guard guard;
        SetRowColour(list_.NotificationWindow(), list_, row, status_.StatusColour(status),
                     kClrDefault);
        list_.Redraw();
    }
}

void TestPass::StartDetached(std::function<void()> body) {
    tracker_.Started();
    try {
        std::thread([this, body = std::move(body)] {
            body();
            tracker_.Finished();
        }).detach();
    } catch (const std::system_error&) {
        tracker_.Finished();
    }
}

}  // namespace quillark
