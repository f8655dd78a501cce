#pragma once

// RowLock: the one process-wide lock the ping workers of the test pass
// share around their result writes. Created when the main window has been
// created, deleted when it is about to be destroyed. Entering or leaving it
// while it does not exist does nothing. Recursive, like a critical section.
//
// A thread that entered the lock before it was deleted still leaves the lock
// it entered (so a later RowLock is never left locked by a worker that
// outlived the window).

namespace quillark::row_lock {

void Create();
void Delete();
bool Exists();
void Enter();
void Leave();

// Enter on construction, Leave on destruction.
class Guard {
  public:
    Guard() { Enter(); }
    ~Guard() { Leave(); }
    Guard(const Guard&) = delete;
    Guard& operator=(const Guard&) = delete;
};

}  // namespace quillark::row_lock
