#pragma once

// Window procedures without a window system: our stand-in for the Win32
// window-procedure slot (SetWindowLongA GWL_WNDPROC, CallWindowProcA,
// SendMessage) that the row colouring uses to subclass the notification window.
//
// Every "window" is an opaque handle with a current procedure. Replacing the
// procedure and calling the previous one builds a chain of handlers, exactly
// as window subclassing does. The table has its own lock, held only for table
// work and never while a procedure runs.

#include <cstdint>
#include <functional>
#include <memory>

namespace quillark {

using WindowHandle = std::uintptr_t;
using WindowProc = std::intptr_t (*)(WindowHandle window, std::uint32_t message,
                                     std::uintptr_t wParam, std::intptr_t lParam);

constexpr std::uint32_t kWmNotify = 0x4E;

// A new handle, unique for the whole run (handles are never reused, so a
// registry entry of a window that is gone can never match a new window).
WindowHandle AllocateWindowHandle();

// Replaces the window's procedure and returns the previous one; for a window
// that does not exist (never created, or destroyed) nothing changes and the
// result is nullptr, as SetWindowLongA returns 0.
WindowProc SetWindowProc(WindowHandle window, WindowProc procedure);
// The window's current procedure, nullptr when the window does not exist.
WindowProc GetWindowProc(WindowHandle window);
// Calls `procedure`; a null procedure gives 0.
std::intptr_t CallWindowProc(WindowProc procedure, WindowHandle window, std::uint32_t message,
                             std::uintptr_t wParam, std::intptr_t lParam);
// Sends a message to the window's current procedure (synchronously, on the
// calling thread); 0 for a window that does not exist.
std::intptr_t SendWindowMessage(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                                std::intptr_t lParam);

// A window that receives notifications. Its own (first) procedure hands every
// message to `handler`; without a handler it answers 0, as DefWindowProc does
// for WM_NOTIFY. Destroying the object destroys the window: its handle then
// names nothing. Create and destroy it on one thread; Send may be called from
// any thread.
class NotificationWindow {
  public:
    using Handler = std::function<std::intptr_t(std::uint32_t message, std::uintptr_t wParam,
                                                std::intptr_t lParam)>;

    explicit NotificationWindow(Handler handler = {});
    ~NotificationWindow();
    NotificationWindow(const NotificationWindow&) = delete;
    NotificationWindow& operator=(const NotificationWindow&) = delete;

    WindowHandle Handle() const { return handle_; }
    std::intptr_t Send(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) const {
        return SendWindowMessage(handle_, message, wParam, lParam);
    }

    // The procedure every notification window starts with.
    static std::intptr_t BaseWindowProc(WindowHandle window, std::uint32_t message,
                                        std::uintptr_t wParam, std::intptr_t lParam);

  private:
    WindowHandle handle_;
};

}  // namespace quillark
