#include "listview/memory_list_control.h"

#include <algorithm>
#include <numeric>

namespace quillark {

MemoryListControl::MemoryListControl(int columnCount)
    : columnCount_(std::max(columnCount, 1)),
      handle_(AllocateWindowHandle()),
      columnImages_(static_cast<size_t>(columnCount_), -1) {}

int MemoryListControl::InsertRow(const std::string& text, int stateImage) {
    std::lock_guard guard(lock_);
    Row row;
    row.cells.resize(static_cast<size_t>(columnCount_));
    row.cells[0] = text;
    row.stateImage = stateImage < 0 ? -1 : stateImage;
    rows_.push_back(std::move(row));
    return static_cast<int>(rows_.size()) - 1;
}

void MemoryListControl::DeleteAllRows() {
    std::lock_guard guard(lock_);
    rows_.clear();
    selected_ = -1;
}

int MemoryListControl::RowCount() {
    std::lock_guard guard(lock_);
    return static_cast<int>(rows_.size());
}

std::string MemoryListControl::GetCellText(int row, int column) {
    std::lock_guard guard(lock_);
    if (!HasRow(row) || !HasColumn(column)) {
        return {};
    }
    return rows_[static_cast<size_t>(row)].cells[static_cast<size_t>(column)];
}

void MemoryListControl::SetCellText(int row, int column, const std::string& text) {
    std::lock_guard guard(lock_);
    if (HasRow(row) && HasColumn(column)) {
        rows_[static_cast<size_t>(row)].cells[static_cast<size_t>(column)] = text;
    }
}

void MemoryListControl::SetStateImage(int row, int index) {
    std::lock_guard guard(lock_);
    if (HasRow(row)) {
        rows_[static_cast<size_t>(row)].stateImage = index < 0 ? -1 : index;
    }
}

void MemoryListControl::SetRowValue(int row, std::int32_t value) {
    std::lock_guard guard(lock_);
    if (HasRow(row)) {
        rows_[static_cast<size_t>(row)].value = value;
    }
}

int MemoryListControl::SelectedRow() {
    std::lock_guard guard(lock_);
    return HasRow(selected_) ? selected_ : -1;
}

int MemoryListControl::GetColumnImage(int column) {
    std::lock_guard guard(lock_);
    return HasColumn(column) ? columnImages_[static_cast<size_t>(column)] : -1;
}

void MemoryListControl::SetColumnImage(int column, int index) {
    std::lock_guard guard(lock_);
    if (HasColumn(column)) {
        columnImages_[static_cast<size_t>(column)] = index < 0 ? -1 : index;
    }
}

void MemoryListControl::SetHeaderImageList(HeaderImageList images) {
    std::lock_guard guard(lock_);
    headerImages_ = images;
}

void MemoryListControl::SortRows(const RowComparator& comparator) {
    std::lock_guard guard(lock_);
    std::vector<size_t> order(rows_.size());
    std::iota(order.begin(), order.end(), size_t{0});
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        return comparator(rows_[a].value, rows_[b].value, 0) < 0;
    });
    std::vector<Row> sorted;
    sorted.reserve(rows_.size());
    for (size_t index : order) {
        sorted.push_back(std::move(rows_[index]));
    }
    rows_ = std::move(sorted);
}

void MemoryListControl::UpdateRow0() {
    std::lock_guard guard(lock_);
    ++updateRow0Count_;
}

void MemoryListControl::Redraw() {
    std::lock_guard guard(lock_);
    ++redrawCount_;
}

void MemoryListControl::SetWidth(int pixels) {
    std::lock_guard guard(lock_);
    width_ = pixels;
}

int MemoryListControl::GetStateImage(int row) {
    std::lock_guard guard(lock_);
    return HasRow(row) ? rows_[static_cast<size_t>(row)].stateImage : -1;
}

std::int32_t MemoryListControl::GetRowValue(int row) {
    std::lock_guard guard(lock_);
    return HasRow(row) ? rows_[static_cast<size_t>(row)].value : 0;
}

void MemoryListControl::SelectRow(int row) {
    std::lock_guard guard(lock_);
    selected_ = HasRow(row) ? row : -1;
}

HeaderImageList MemoryListControl::GetHeaderImageList() {
    std::lock_guard guard(lock_);
    return headerImages_;
}

int MemoryListControl::Width() {
    std::lock_guard guard(lock_);
    return width_;
}

int MemoryListControl::UpdateRow0Count() {
    std::lock_guard guard(lock_);
    return updateRow0Count_;
}

int MemoryListControl::RedrawCount() {
    std::lock_guard guard(lock_);
    return redrawCount_;
}

}  // namespace quillark
