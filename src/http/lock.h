#pragma once

#include <mutex>

namespace quillark {

// A re-entrant mutual-exclusion lock: the thread that holds it may Enter again,
// and each Enter is matched by one Leave. Copying gives a new, unlocked lock of
// its own; the live state of the original is never shared or duplicated.
//
// lock()/unlock() make it usable with std::lock_guard and std::scoped_lock.
class Lock {
  public:
    Lock() = default;
    Lock(const Lock&) {}
    Lock& operator=(const Lock&) { return *this; }

    void Enter() { mutex_.lock(); }
    void Leave() { mutex_.unlock(); }

    void lock() { Enter(); }
    void unlock() { Leave(); }

  private:
    std::recursive_mutex mutex_;
};

}  // namespace quillark
