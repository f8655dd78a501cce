#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

#include "catalogue/endpoints.h"
#include "catalogue/region_status_feed.h"
#include "catalogue/server_list_loader.h"
#include "latency/test_pass.h"
#include "latency/worker_tracker.h"
#include "listview/application_actions.h"
#include "listview/list_control.h"
#include "platform/system_network_probe.h"

namespace quillark {

// The program's parts wired together over one server list, shared by the
// window and the headless front end: the loader, the region-status feed, the
// test pass and the network probe.
class Program : public ApplicationActions {
  public:
    Program(ListControl& list, Endpoints endpoints);

    // Fills the list from the catalogue, sorts it and starts the first test
    // pass, on the calling thread (the window calls it on a thread of its own).
    void LoadServerList() override;
    // A pass for the button or the timer. It runs on a short-lived thread of
    // its own, so the status requests never block the calling (UI) thread.
    void StartTestPass() override;

    // Waits until the loader has run and every thread of the test passes has
    // ended; false when `timeout` ran out first.
    bool WaitUntilSettled(std::chrono::milliseconds timeout);
    // Threads of the test passes (and the loader) still running.
    int RunningThreads() const { return tracker_.Running(); }

  private:
    // The feed as the test pass sees it.
    class FeedSource : public RegionStatusSource {
      public:
        explicit FeedSource(RegionStatusFeed& feed) : feed_(feed) {}
        bool FetchRegionStatus() override { return feed_.FetchRegionStatus(); }
        std::string LookupRegionStatus(const std::string& name) const override {
            return feed_.LookupRegionStatus(name);
        }
        std::uint32_t StatusColour(const std::string& label) const override {
            return RegionStatusFeed::StatusColour(label);
        }

      private:
        RegionStatusFeed& feed_;
    };

    SystemNetworkProbe probe_;
    RegionStatusFeed feed_;
    FeedSource source_;
    WorkerTracker tracker_;
    TestPass pass_;
    ServerListLoader loader_;

    std::mutex mutex_;
    std::condition_variable loaded_changed_;
    bool loaded_ = false;
};

}  // namespace quillark
