#pragma once

#include <atomic>

namespace quillark {

// Lets long loops in the core keep a window responsive without the core
// knowing about the window. The window installs a handler that processes its
// pending events; Run() calls it only on the thread that installed it, so the
// same loops run untouched on worker threads. With no handler installed, Run()
// is one thread-local test.
class PendingEventsHook {
  public:
    using Handler = void (*)();

    // Installs `handler` for the calling thread (the window's thread).
    static void Install(Handler handler) {
        handler_.store(handler, std::memory_order_release);
        on_owner_thread_ = true;
    }

    // Removes the handler; to be called on the thread that installed it.
    static void Remove() {
        on_owner_thread_ = false;
        handler_.store(nullptr, std::memory_order_release);
    }

    static void Run() {
        if (!on_owner_thread_) {
            return;
        }
        if (Handler handler = handler_.load(std::memory_order_acquire)) {
            handler();
        }
    }

  private:
    static inline std::atomic<Handler> handler_{nullptr};
    static inline thread_local bool on_owner_thread_ = false;
};

}  // namespace quillark
