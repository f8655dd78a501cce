#include "listview/column_sort.h"

#include "listview/server_list_columns.h"
#include "listview/sort_numbers.h"
#include "platform/zh_collator.h"

namespace quillark {

void SortState::SortListByColumn(ListControl& list, int column, std::int32_t sortType) {
    list.RunOnOwnerThread([&] {
        std::lock_guard guard(lock_);
        SortLocked(list, column, sortType);
    });
}

void SortState::SortLocked(ListControl& list, int column, std::int32_t sortType) {
    list_ = list.ListWindow();                        // 1
    list.SetHeaderImageList(HeaderImageList::kNone);  // 2
    list.SetHeaderImageList(HeaderImageList::kSortArrows);
    sortAscending_ = sortAscending_ == 0 ? 1 : 0;  // 3
    column_ = column;                              // 4
    sortType_ = (sortType < 1 || sortType > 4) ? 1 : sortType;
    const int count = list.RowCount();  // 5
    keys_.assign(static_cast<size_t>(count < 0 ? 0 : count), std::string());
    if (count <= 0) {  // 6
        return;
    }
    for (int row = 0; row < count; ++row) {  // 7
        const std::string text = list.GetCellText(row, column);
        std::string& key = keys_[static_cast<size_t>(row)];
        if (sortType_ == 3) {
            key = sort_numbers::WriteNumber(sort_numbers::ReadNumber(text));
        } else if (sortType_ == 4) {
            key = sort_numbers::WriteNumber(sort_numbers::ReadNumber(text) * 10000);
        } else {
            key = text;
        }
        list.SetRowValue(row, row);
    }
    list.SortRows([this](std::int32_t a, std::int32_t b, std::intptr_t application) {  // 8
        return CompareSortKeys(a, b, application);
    });
    UpdateSortArrow(list, column);  // 9
    keys_.clear();                  // 10
    keys_.shrink_to_fit();
}

const std::string* SortState::Key(std::int32_t value) const {
    if (value < 0 || static_cast<size_t>(value) >= keys_.size()) {
        return nullptr;
    }
    return &keys_[static_cast<size_t>(value)];
}

int SortState::CompareSortKeys(std::int32_t a, std::int32_t b,
                               std::intptr_t /*applicationValue*/) const {
    static const std::string kMissing;
    const std::string* keyA = Key(a);
    const std::string* keyB = Key(b);
    const std::string& ka = keyA != nullptr ? *keyA : kMissing;
    const std::string& kb = keyB != nullptr ? *keyB : kMissing;
    if (sortType_ == 3 || sortType_ == 4) {
        // x - y, computed without overflow; only its sign is used by a sort.
        const std::int64_t x = sort_numbers::ReadInteger(ka);
        const std::int64_t y = sort_numbers::ReadInteger(kb);
        const std::int64_t difference = sortAscending_ == 1 ? x - y : y - x;
        return difference < 0 ? -1 : (difference > 0 ? 1 : 0);
    }
    if (sortType_ == 1) {
        return sortAscending_ == 1 ? CompareGbkZh(ka, kb) : CompareGbkZh(kb, ka);
    }
    return 0;
}

void SortState::UpdateSortArrow(ListControl& list, int column) {
    if (column == lastSortedColumn_) {
        const int picture = list.GetColumnImage(column);
        list.SetColumnImage(column, picture == kArrowUp ? kArrowDown : kArrowUp);
        return;
    }
    const int previous = list.GetColumnImage(lastSortedColumn_);
    list.SetColumnImage(column, previous != kArrowUp ? kArrowDown : kArrowUp);
    list.SetColumnImage(lastSortedColumn_, -1);
    lastSortedColumn_ = column;
}

SortState& ProcessSortState() {
    static SortState* state = new SortState;
    return *state;
}

void SortListByColumn(ListControl& list, int column, std::int32_t sortType) {
    ProcessSortState().SortListByColumn(list, column, sortType);
}

int CompareSortKeys(std::int32_t a, std::int32_t b, std::intptr_t applicationValue) {
    return ProcessSortState().CompareSortKeys(a, b, applicationValue);
}

std::int32_t SortTypeForColumn(int column) {
    if (column == server_list::kColumnLatency) {
        return 3;
    }
    if (column == server_list::kColumnAddress) {
        return 4;
    }
    return 1;
}

void SortServerList(ListControl& list, int column) {
    SortListByColumn(list, column, SortTypeForColumn(column));
}

}  // namespace quillark
