#pragma once

// The list operations, as an interface that any thread may call.
//
// Rows and columns are 0-based; texts are GBK byte strings. An implementation
// that owns a window carries every call to the thread that owns the window
// and makes the caller wait, except UpdateRow0 and Redraw, which are posted.
// A row or column that does not exist reads as empty text / -1 / 0 and is
// ignored by the setters.

#include <cstdint>
#include <functional>
#include <string>

#include "listview/window_procedures.h"

namespace quillark {

// An opaque list handle, as in the list's notifications (ListWindow).
// Handles are unique for the whole run and never reused.
using ListHandle = WindowHandle;

// Row comparator of SortRows: comparator(value of row a, value of row b, 0);
// a negative result puts row a first.
using RowComparator = std::function<int(std::int32_t, std::int32_t, std::intptr_t)>;

// Header image lists the program knows (SetHeaderImageList). The platform's
// image-list handle becomes a choice between "none" and the two sort arrows.
enum class HeaderImageList { kNone, kSortArrows };

class ListControl {
  public:
    virtual ~ListControl() = default;

    // Appends a row; `text` goes to column 0. Returns the new row's index.
    virtual int InsertRow(const std::string& text, int stateImage) = 0;
    virtual void DeleteAllRows() = 0;
    virtual int RowCount() = 0;
    virtual std::string GetCellText(int row, int column) = 0;
    virtual void SetCellText(int row, int column, const std::string& text) = 0;
    // index >= 0 shows that state picture; -1 shows none.
    virtual void SetStateImage(int row, int index) = 0;
    virtual void SetRowValue(int row, std::int32_t value) = 0;
    // First selected row, -1 when none.
    virtual int SelectedRow() = 0;
    // Header picture of a column, -1 when none.
    virtual int GetColumnImage(int column) = 0;
    virtual void SetColumnImage(int column, int index) = 0;
    virtual void SetHeaderImageList(HeaderImageList images) = 0;
    // Reorders the rows by `comparator` over the rows' values.
    virtual void SortRows(const RowComparator& comparator) = 0;
    // Posted: row 0 is repainted later.
    virtual void UpdateRow0() = 0;
    // Posted: the whole list is repainted later.
    virtual void Redraw() = 0;
    virtual void SetWidth(int pixels) = 0;
    virtual ListHandle ListWindow() const = 0;

    // Additions for readers without a window (the headless front end).
    // State picture of a row, -1 when none or when the row does not exist.
    virtual int GetStateImage(int row) = 0;
    // Item value of a row, 0 when the row does not exist.
    virtual std::int32_t GetRowValue(int row) = 0;

    // The window that receives this list's notifications (custom draw):
    // the window to name in SetRowColour.
    virtual WindowHandle NotificationWindow() const = 0;

    // Runs `task` on the thread that owns the list and waits for it. Every list
    // operation called from inside `task` runs directly. Whole-list work that
    // must not interleave with other callers (the column sort) runs here.
    virtual void RunOnOwnerThread(const std::function<void()>& task) = 0;
};

}  // namespace quillark
