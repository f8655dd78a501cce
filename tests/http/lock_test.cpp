#include "http/lock.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace quillark {
namespace {

TEST(Lock, HolderReentersAndOthersWaitForTheLastLeave) {
    Lock lock;
    lock.Enter();
    lock.Enter();  // would deadlock if the lock were not re-entrant

    std::atomic<bool> other_entered{false};
    std::thread other([&] {
        lock.Enter();
        other_entered = true;
        lock.Leave();
    });
    lock.Leave();
    // One Leave is still owed: the other thread must not get in yet.
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_FALSE(other_entered);
    lock.Leave();
    other.join();
    EXPECT_TRUE(other_entered);
}

TEST(Lock, CopyIsAFreshLockOfItsOwn) {
    Lock original;
    original.Enter();
    Lock copy(original);
    std::atomic<bool> copy_taken{false};
    std::thread other([&] {
        copy.Enter();
        copy_taken = true;
        copy.Leave();
    });
    other.join();  // would hang if the copy shared the held state
    EXPECT_TRUE(copy_taken);
    original.Leave();
}

}  // namespace
}  // namespace quillark
