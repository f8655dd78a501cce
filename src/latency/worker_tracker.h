#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace quillark {

// Counts the detached threads of the test passes that are still running, so
// that a front end can wait for a pass to finish (the headless --once run,
// the window's screenshot, tests) and the program can tell at exit whether
// threads are still using its objects. It never stops a thread.
class WorkerTracker {
  public:
    void Started() {
        std::lock_guard lock(mutex_);
        ++running_;
    }
    void Finished() {
        std::lock_guard lock(mutex_);
        --running_;
        if (running_ == 0) {
            idle_.notify_all();
        }
    }
    // True when no thread was running at some moment before `timeout` ran out.
    bool WaitIdle(std::chrono::milliseconds timeout) {
        std::unique_lock lock(mutex_);
        return idle_.wait_for(lock, timeout, [this] { return running_ == 0; });
    }
    int Running() const {
        std::lock_guard lock(mutex_);
        return running_;
    }

  private:
    mutable std::mutex mutex_;
    std::condition_variable idle_;
    int running_ = 0;
};

}  // namespace quillark
