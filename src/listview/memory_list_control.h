#pragma once

// A list without a window: the ListControl of the headless front end and of
// the core tests. Thread-safe: every operation takes the list's own lock and
// runs on the calling thread; UpdateRow0 and Redraw only count.

#include <mutex>
#include <string>
#include <vector>

#include "listview/list_control.h"
#include "listview/window_procedures.h"

namespace quillark {

class MemoryListControl : public ListControl {
  public:
    explicit MemoryListControl(int columnCount = 7);

    int InsertRow(const std::string& text, int stateImage) override;
    void DeleteAllRows() override;
    int RowCount() override;
    std::string GetCellText(int row, int column) override;
    void SetCellText(int row, int column, const std::string& text) override;
    void SetStateImage(int row, int index) override;
    void SetRowValue(int row, std::int32_t value) override;
    int SelectedRow() override;
    int GetColumnImage(int column) override;
    void SetColumnImage(int column, int index) override;
    void SetHeaderImageList(HeaderImageList images) override;
    // Stable: rows whose values compare equal keep their order. The comparator
    // runs under the list's lock and must not call the list.
    void SortRows(const RowComparator& comparator) override;
    void UpdateRow0() override;
    void Redraw() override;
    void SetWidth(int pixels) override;
    ListHandle ListWindow() const override { return handle_; }
    int GetStateImage(int row) override;
    std::int32_t GetRowValue(int row) override;
    WindowHandle NotificationWindow() const override { return notifier_.Handle(); }
    void RunOnOwnerThread(const std::function<void()>& task) override { task(); }

    // For the headless front end and tests.
    void SelectRow(int row);  // -1 clears the selection
    HeaderImageList GetHeaderImageList();
    int Width();
    int UpdateRow0Count();
    int RedrawCount();

  private:
    struct Row {
        std::vector<std::string> cells;
        int stateImage = -1;
        std::int32_t value = 0;
    };

    bool HasRow(int row) const { return row >= 0 && static_cast<size_t>(row) < rows_.size(); }
    bool HasColumn(int column) const { return column >= 0 && column < columnCount_; }

    const int columnCount_;
    const ListHandle handle_;
    quillark::NotificationWindow notifier_;

    std::mutex lock_;
    std::vector<Row> rows_;
    std::vector<int> columnImages_;
    HeaderImageList headerImages_ = HeaderImageList::kNone;
    int selected_ = -1;
    int width_ = 0;
    int updateRow0Count_ = 0;
    int redrawCount_ = 0;
};

}  // namespace quillark
