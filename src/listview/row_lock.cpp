#include "listview/row_lock.h"

#include <memory>
#include <mutex>
#include <vector>

namespace quillark::row_lock {
namespace {

struct Current {
    std::mutex guard;
    std::shared_ptr<std::recursive_mutex> lock;
};

Current& State() {
    static Current* current = new Current;
    return *current;
}

// The locks this thread has entered, innermost last; an empty entry stands for
// an Enter that found no lock.
thread_local std::vector<std::shared_ptr<std::recursive_mutex>> entered;

std::shared_ptr<std::recursive_mutex> Snapshot() {
    Current& state = State();
    std::lock_guard guard(state.guard);
    return state.lock;
}

}  // namespace

void Create() {
    Current& state = State();
    std::lock_guard guard(state.guard);
    if (!state.lock) {
        state.lock = std::make_shared<std::recursive_mutex>();
    }
}

void Delete() {
    Current& state = State();
    std::lock_guard guard(state.guard);
    state.lock.reset();
}

bool Exists() {
    return Snapshot() != nullptr;
}

void Enter() {
    std::shared_ptr<std::recursive_mutex> lock = Snapshot();
    if (lock) {
        lock->lock();
    }
    entered.push_back(std::move(lock));
}

void Leave() {
    if (entered.empty()) {
        return;
    }
    std::shared_ptr<std::recursive_mutex> lock = std::move(entered.back());
    entered.pop_back();
    if (lock) {
        lock->unlock();
    }
}

}  // namespace quillark::row_lock
