#include "listview/row_colours.h"

#include <algorithm>
#include <mutex>

namespace quillark {
namespace {

struct ListColourEntry {
    ListHandle list = 0;
    std::vector<RowColour> rows;
};

struct SubclassRecord {
    WindowHandle window = 0;
    WindowProc previous = nullptr;
};

// RowColourRegistry and SubclassRegistry (module items 1 and 6) with their
// lock. Never destroyed: workers may outlive the window and the main thread.
struct Registries {
    std::mutex lock;
    std::vector<ListColourEntry> lists;
    std::vector<SubclassRecord> subclassed;
    // Serialises step 6 of SetRowColour (look up, subclass, append), so that
    // a window is never subclassed twice even without RowLock. It is never
    // taken by the painting thread.
    std::mutex subclassStep;
};

Registries& State() {
    static Registries* registries = new Registries;
    return *registries;
}

ListColourEntry* FindEntry(std::vector<ListColourEntry>& lists, ListHandle list) {
    for (ListColourEntry& entry : lists) {
        if (entry.list == list) {
            return &entry;
        }
    }
    return nullptr;
}

bool FindSubclass(const std::vector<SubclassRecord>& records, WindowHandle window,
                  WindowProc* previous) {
    for (const SubclassRecord& record : records) {
        if (record.window == window) {
            if (previous != nullptr) {
                *previous = record.previous;
            }
            return true;
        }
    }
    return false;
}

}  // namespace

void SetRowColour(WindowHandle window, ListControl& list, int row, Colour textColour,
                  Colour backgroundColour) {
    if (row < 0) {
        return;
    }
    Registries& state = State();
    const ListHandle handle = list.ListWindow();
    const RowColour record{row, textColour, backgroundColour, 1};
    {
        std::lock_guard guard(state.lock);
        ListColourEntry* entry = FindEntry(state.lists, handle);
        if (entry == nullptr) {
            state.lists.push_back(ListColourEntry{handle, {}});
            entry = &state.lists.back();
        }
        if (entry->rows.size() < static_cast<size_t>(row) + 1) {
            entry->rows.resize(static_cast<size_t>(row) + 1);
        }
        entry->rows[static_cast<size_t>(row)] = record;
    }
    list.UpdateRow0();

    std::lock_guard step(state.subclassStep);
    {
        std::lock_guard guard(state.lock);
        if (FindSubclass(state.subclassed, window, nullptr)) {
            return;
        }
    }
    WindowProc previous = SetWindowProc(window, &RowColourWindowProc);
    std::lock_guard guard(state.lock);
    state.subclassed.push_back(SubclassRecord{window, previous});
}

void ClearRowColours(ListControl& list) {
    Registries& state = State();
    const ListHandle handle = list.ListWindow();
    {
        std::lock_guard guard(state.lock);
        auto found =
            std::find_if(state.lists.begin(), state.lists.end(),
                         [&](const ListColourEntry& entry) { return entry.list == handle; });
        if (found == state.lists.end()) {
            return;
        }
        state.lists.erase(found);
    }
    list.UpdateRow0();
}

std::intptr_t RowColourWindowProc(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                                  std::intptr_t lParam) {
    if (message == kWmNotify) {
        const std::intptr_t result = HandleCustomDraw(wParam, lParam);
        if (result != -1) {
            return result;
        }
    }
    WindowProc previous = nullptr;
    {
        Registries& state = State();
        std::lock_guard guard(state.lock);
        if (!FindSubclass(state.subclassed, window, &previous)) {
            return 0;
        }
    }
    return CallWindowProc(previous, window, message, wParam, lParam);
}

std::intptr_t HandleCustomDraw(std::uintptr_t /*wParam*/, std::intptr_t lParam) {
    const auto* header = reinterpret_cast<const NotifyHeader*>(lParam);
    if (header == nullptr || header->code != kNmCustomDraw) {
        return -1;
    }
    auto* draw = reinterpret_cast<CustomDrawRecord*>(lParam);
    if (draw->drawStage == kCddsPrepaint) {
        return kCdrfNotifyItemDraw;
    }
    if (draw->drawStage != kCddsItemPrepaint) {
        return -1;
    }
    Registries& state = State();
    std::lock_guard guard(state.lock);
    ListColourEntry* entry = FindEntry(state.lists, draw->header.hwndFrom);
    if (entry == nullptr) {
        return -1;
    }
    if (draw->itemState != kSelectedFocusedWithCues && draw->itemSpec < entry->rows.size()) {
        const RowColour& record = entry->rows[draw->itemSpec];
        if (record.isSet == 1) {
            draw->clrText = record.textColour;
            draw->clrTextBk = record.backgroundColour;
        }
    }
    return kCdrfDoDefault;
}

std::vector<RowColour> RowColoursOf(ListHandle list) {
    Registries& state = State();
    std::lock_guard guard(state.lock);
    ListColourEntry* entry = FindEntry(state.lists, list);
    return entry == nullptr ? std::vector<RowColour>{} : entry->rows;
}

bool HasRowColourEntry(ListHandle list) {
    Registries& state = State();
    std::lock_guard guard(state.lock);
    return FindEntry(state.lists, list) != nullptr;
}

bool IsSubclassed(WindowHandle window) {
    Registries& state = State();
    std::lock_guard guard(state.lock);
    return FindSubclass(state.subclassed, window, nullptr);
}

WindowProc PreviousWindowProc(WindowHandle window) {
    Registries& state = State();
    std::lock_guard guard(state.lock);
    WindowProc previous = nullptr;
    FindSubclass(state.subclassed, window, &previous);
    return previous;
}

bool CustomDrawPrepaint(WindowHandle notificationWindow, ListHandle list) {
    CustomDrawRecord record;
    record.header.hwndFrom = list;
    record.drawStage = kCddsPrepaint;
    const std::intptr_t result = SendWindowMessage(notificationWindow, kWmNotify, 0,
                                                   reinterpret_cast<std::intptr_t>(&record));
    return result != -1 && (result & kCdrfNotifyItemDraw) != 0;
}

DrawnColours CustomDrawItem(WindowHandle notificationWindow, ListHandle list, int row,
                            std::uint32_t itemState, Colour listText, Colour listBackground) {
    CustomDrawRecord record;
    record.header.hwndFrom = list;
    record.drawStage = kCddsItemPrepaint;
    record.itemSpec = static_cast<std::uintptr_t>(row < 0 ? 0 : row);
    record.itemState = itemState;
    record.clrText = listText;
    record.clrTextBk = listBackground;
    SendWindowMessage(notificationWindow, kWmNotify, 0, reinterpret_cast<std::intptr_t>(&record));
    return DrawnColours{record.clrText == kClrDefault ? listText : record.clrText,
                        record.clrTextBk == kClrDefault ? listBackground : record.clrTextBk};
}

DrawnColours RowColourAsDrawn(ListControl& list, int row, std::uint32_t itemState, Colour listText,
                              Colour listBackground) {
    const WindowHandle window = list.NotificationWindow();
    if (!CustomDrawPrepaint(window, list.ListWindow())) {
        return DrawnColours{listText, listBackground};
    }
    return CustomDrawItem(window, list.ListWindow(), row, itemState, listText, listBackground);
}

}  // namespace quillark
