#pragma once

#include <functional>
#include <string>

#include "latency/worker_tracker.h"
#include "listview/list_control.h"
#include "platform/network_probe.h"

namespace quillark {

// What a test pass needs to know about the region states.
class RegionStatusSource {
  public:
    virtual ~RegionStatusSource() = default;
    // Refreshes the states; the pass starts its workers when this gives true.
    virtual bool FetchRegionStatus() = 0;
    // The state label of a region, by its name as shown in column 1.
    virtual std::string LookupRegionStatus(const std::string& region_name) const = 0;
    // The text colour (0x00BBGGRR) of a label.
    virtual std::uint32_t StatusColour(const std::string& label) const = 0;
};

// Measures every row of the server list at once: one dispatcher thread, then
// one worker thread per row, all detached. Each worker resolves its row's
// host, shows the address, "Scaning..." and the region's state, sends one
// echo, and writes the latency, the state picture and the row's text colour.
//
// Passes may overlap; each write replaces the previous one. A worker keeps
// the row index it was given even if the list is sorted meanwhile.
class TestPass {
  public:
    TestPass(ListControl& list, RegionStatusSource& status, const NetworkProbe& probe,
             WorkerTracker& tracker, int echo_timeout_ms = NetworkProbe::kDefaultEchoTimeoutMs)
        : list_(list),
          status_(status),
          probe_(probe),
          tracker_(tracker),
          echo_timeout_ms_(echo_timeout_ms) {}

    // Clears the row colours and refreshes the region states on the calling
    // thread, then starts the dispatcher and returns.
    void StartTestPass();

  private:
    void StartPingWorkers();
    void PingWorker(int row_number);
    // Starts a detached thread running `body`; a thread that cannot be made
    // is skipped, as the pass has no one to report it to.
    void StartDetached(std::function<void()> body);

    ListControl& list_;
    RegionStatusSource& status_;
    const NetworkProbe& probe_;
    WorkerTracker& tracker_;
    int echo_timeout_ms_;
};

}  // namespace quillark
