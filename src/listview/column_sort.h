#pragma once

// Column sorting.
//
// One SortState per program (ProcessSortState); tests may make their own.
// Every sort runs whole on the list's owner thread (ListControl::
// RunOnOwnerThread) under the state's lock, so two sorts never run at the
// same time and a sort never waits on another thread's sort while that one
// waits for a list call: the deadlock between the loader's sort and a
// header click cannot happen.

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "listview/list_control.h"

namespace quillark {

enum class SortType : std::int32_t { kText = 1, kTextUnused = 2, kInteger = 3, kDecimal = 4 };

// Header pictures of the arrow image list.
constexpr int kArrowUp = 0;
constexpr int kArrowDown = 1;

class SortState {
  public:
    // SortListByColumn (list, column, sort type). A sort type below 1 or above
    // 4 is replaced by 1.
    void SortListByColumn(ListControl& list, int column, std::int32_t sortType);

    // CompareSortKeys (item value a, item value b, application value): only
    // meaningful while a sort runs (it is the comparator SortRows calls).
    int CompareSortKeys(std::int32_t a, std::int32_t b, std::intptr_t applicationValue) const;

    // Fields, for tests and readers; read them while no sort runs.
    ListHandle List() const { return list_; }
    int Column() const { return column_; }
    std::int32_t Type() const { return sortType_; }
    int SortAscending() const { return sortAscending_; }
    int LastSortedColumn() const { return lastSortedColumn_; }

  private:
    void SortLocked(ListControl& list, int column, std::int32_t sortType);
    void UpdateSortArrow(ListControl& list, int column);
    const std::string* Key(std::int32_t value) const;

    std::mutex lock_;
    ListHandle list_ = 0;
    int column_ = 0;
    std::int32_t sortType_ = 1;
    int sortAscending_ = 0;
    int lastSortedColumn_ = 0;
    // The keys of the running sort. A row's item value is the index of its key
    // here (a reference to the key would not fit; an index is what fits in
    // the 32-bit item value on every platform).
    std::vector<std::string> keys_;
};

// The program's SortState (never destroyed).
SortState& ProcessSortState();

// SortListByColumn on the program's SortState.
void SortListByColumn(ListControl& list, int column, std::int32_t sortType);
// CompareSortKeys on the program's SortState.
int CompareSortKeys(std::int32_t a, std::int32_t b, std::intptr_t applicationValue);

// The sort type the header click uses: column 4 -> 3 (integer),
// column 3 -> 4 (decimal), any other column -> 1 (text).
std::int32_t SortTypeForColumn(int column);

// Sorts the server list by `column` with that column's sort type, on the
// program's SortState: the loader's sort (column 0, text) and a header click.
void SortServerList(ListControl& list, int column);

}  // namespace quillark
