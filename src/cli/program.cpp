#include "cli/program.h"

#include <system_error>
#include <thread>

namespace quillark {

Program::Program(ListControl& list, Endpoints endpoints)
    : feed_(endpoints),
      source_(feed_),
      pass_(list, source_, probe_, tracker_),
      loader_(list, endpoints, probe_, [this] { pass_.StartTestPass(); }) {}

void Program::LoadServerList() {
    tracker_.Started();
    loader_.LoadServerList();
    {
        std::lock_guard lock(mutex_);
        loaded_ = true;
    }
    loaded_changed_.notify_all();
    tracker_.Finished();
}

void Program::StartTestPass() {
    tracker_.Started();
    try {
        std::thread([this] {
            pass_.StartTestPass();
            tracker_.Finished();
        }).detach();
    } catch (const std::system_error&) {
        tracker_.Finished();
    }
}

bool Program::WaitUntilSettled(std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    {
        std::unique_lock lock(mutex_);
        if (!loaded_changed_.wait_until(lock, deadline, [this] { return loaded_; })) {
            return false;
        }
    }
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    return tracker_.WaitIdle(std::max(left, std::chrono::milliseconds(0)));
}

}  // namespace quillark
