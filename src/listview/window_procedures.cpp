#include "listview/window_procedures.h"

#include <atomic>
#include <mutex>
#include <unordered_map>

namespace quillark {
namespace {

struct WindowRecord {
    WindowProc procedure = nullptr;
    std::shared_ptr<const NotificationWindow::Handler> handler;
};

struct WindowTable {
    std::mutex lock;
    std::unordered_map<WindowHandle, WindowRecord> windows;
};

// Never destroyed: detached threads may still send messages while the process ends.
WindowTable& Table() {
    static WindowTable* table = new WindowTable;
    return *table;
}

}  // namespace

WindowHandle AllocateWindowHandle() {
    static std::atomic<WindowHandle> next{0x10000};
    return next.fetch_add(4);
}

WindowProc SetWindowProc(WindowHandle window, WindowProc procedure) {
    WindowTable& table = Table();
    std::lock_guard guard(table.lock);
    auto found = table.windows.find(window);
    if (found == table.windows.end()) {
        return nullptr;
    }
    WindowProc previous = found->second.procedure;
    found->second.procedure = procedure;
    return previous;
}

WindowProc GetWindowProc(WindowHandle window) {
    WindowTable& table = Table();
    std::lock_guard guard(table.lock);
    auto found = table.windows.find(window);
    return found == table.windows.end() ? nullptr : found->second.procedure;
}

std::intptr_t CallWindowProc(WindowProc procedure, WindowHandle window, std::uint32_t message,
                             std::uintptr_t wParam, std::intptr_t lParam) {
    return procedure == nullptr ? 0 : procedure(window, message, wParam, lParam);
}

std::intptr_t SendWindowMessage(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                                std::intptr_t lParam) {
    return CallWindowProc(GetWindowProc(window), window, message, wParam, lParam);
}

NotificationWindow::NotificationWindow(Handler handler) : handle_(AllocateWindowHandle()) {
    WindowRecord record;
    record.procedure = &NotificationWindow::BaseWindowProc;
    if (handler) {
        record.handler = std::make_shared<const Handler>(std::move(handler));
    }
    WindowTable& table = Table();
    std::lock_guard guard(table.lock);
    table.windows.emplace(handle_, std::move(record));
}

NotificationWindow::~NotificationWindow() {
    WindowTable& table = Table();
    std::lock_guard guard(table.lock);
    table.windows.erase(handle_);
}

std::intptr_t NotificationWindow::BaseWindowProc(WindowHandle window, std::uint32_t message,
                                                 std::uintptr_t wParam, std::intptr_t lParam) {
    std::shared_ptr<const Handler> handler;
    {
        WindowTable& table = Table();
        std::lock_guard guard(table.lock);
        auto found = table.windows.find(window);
        if (found != table.windows.end()) {
            handler = found->second.handler;
        }
    }
    return handler ? (*handler)(message, wParam, lParam) : 0;
}

}  // namespace quillark
