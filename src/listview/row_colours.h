#pragma once

// Row colouring: per-list, per-row text and background colours,
// answered to the list's custom-draw notifications by a procedure that is put
// in front of the notification window's own (window subclassing).
//
// Locks: the two registries share one lock, held only for their table work;
// never while posting to a list, replacing a window procedure or calling the
// previous procedure. HandleCustomDraw takes only that lock and allocates
// nothing, so the thread that paints never waits for RowLock.

#include <cstdint>
#include <vector>

#include "listview/list_control.h"
#include "listview/window_procedures.h"

namespace quillark {

// 0x00BBGGRR, as the Win32 COLORREF.
using Colour = std::uint32_t;
constexpr Colour kClrDefault = 0xFF000000;  // the list's own colour

constexpr Colour Rgb(unsigned red, unsigned green, unsigned blue) {
    return (red & 0xFF) | ((green & 0xFF) << 8) | ((blue & 0xFF) << 16);
}
constexpr unsigned RedOf(Colour colour) {
    return colour & 0xFF;
}
constexpr unsigned GreenOf(Colour colour) {
    return (colour >> 8) & 0xFF;
}
constexpr unsigned BlueOf(Colour colour) {
    return (colour >> 16) & 0xFF;
}

struct RowColour {
    std::int32_t row = 0;
    Colour textColour = 0;
    Colour backgroundColour = 0;
    std::int32_t isSet = 0;
};

// Custom draw, platform-neutral: the fields of NMHDR and NMLVCUSTOMDRAW that
// the row colouring reads, in their order.
constexpr std::int32_t kNmCustomDraw = -12;
constexpr std::uint32_t kCddsPrepaint = 0x1;
constexpr std::uint32_t kCddsItemPrepaint = 0x10001;
constexpr std::intptr_t kCdrfDoDefault = 0x0;
constexpr std::intptr_t kCdrfNotifyItemDraw = 0x20;
constexpr std::uint32_t kCdisSelected = 0x1;
constexpr std::uint32_t kCdisFocus = 0x10;
constexpr std::uint32_t kCdisShowKeyboardCues = 0x200;
constexpr std::uint32_t kSelectedFocusedWithCues = 0x211;

// NMHDR: every notification record starts with it, so a window procedure can
// read the code of any WM_NOTIFY through a pointer to this first member.
struct NotifyHeader {
    WindowHandle hwndFrom = 0;
    std::uintptr_t idFrom = 0;
    std::int32_t code = 0;
};

struct CustomDrawRecord {
    NotifyHeader header{0, 0, kNmCustomDraw};
    // NMCUSTOMDRAW
    std::uint32_t drawStage = 0;
    std::uintptr_t hdc = 0;
    struct {
        int left = 0, top = 0, right = 0, bottom = 0;
    } rc;
    std::uintptr_t itemSpec = 0;
    std::uint32_t itemState = 0;
    std::intptr_t itemlParam = 0;
    // NMLVCUSTOMDRAW
    Colour clrText = kClrDefault;
    Colour clrTextBk = kClrDefault;
    std::int32_t subItem = 0;
};

// SetRowColour (window W, list L, row r, text colour, background colour).
// A negative row is ignored.
void SetRowColour(WindowHandle window, ListControl& list, int row, Colour textColour,
                  Colour backgroundColour);
// ClearRowColours (list L).
void ClearRowColours(ListControl& list);

// The replacement window procedure.
std::intptr_t RowColourWindowProc(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                                  std::intptr_t lParam);
// lParam points to a CustomDrawRecord; -1 means "not handled here".
std::intptr_t HandleCustomDraw(std::uintptr_t wParam, std::intptr_t lParam);

// Readers for tests and for the headless front end.
// The list's records (a copy); empty when the list has no entry.
std::vector<RowColour> RowColoursOf(ListHandle list);
bool HasRowColourEntry(ListHandle list);
bool IsSubclassed(WindowHandle window);
// The previous procedure recorded for a window, nullptr when none.
WindowProc PreviousWindowProc(WindowHandle window);

// What a list does when it paints a row, shared by the window and the headless
// front end: the prepaint notification and, when asked for, the item
// notification, both sent to the notification window through its current
// procedure. The colours the row is drawn in come back, CLR_DEFAULT already
// replaced by the list's own colours.
struct DrawnColours {
    Colour text;
    Colour background;
};
// Stage 1, once per paint: true when the window asks for item notifications.
bool CustomDrawPrepaint(WindowHandle notificationWindow, ListHandle list);
// Stage 2, once per row.
DrawnColours CustomDrawItem(WindowHandle notificationWindow, ListHandle list, int row,
                            std::uint32_t itemState, Colour listText, Colour listBackground);
// Both stages for one row (the headless front end reads a row's colour so).
DrawnColours RowColourAsDrawn(ListControl& list, int row, std::uint32_t itemState = 0,
                              Colour listText = Rgb(0, 0, 0),
                              Colour listBackground = Rgb(255, 255, 255));

}  // namespace quillark
