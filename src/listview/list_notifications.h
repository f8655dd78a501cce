#pragma once

// The list notifications the window uses, sent as WM_NOTIFY to the
// list's notification window through its procedure chain, like NM_CUSTOMDRAW.

#include <cstdint>

#include "listview/row_colours.h"

namespace quillark {

constexpr std::int32_t kNmRightClick = -5;       // NM_RCLICK
constexpr std::int32_t kLvnColumnClick = -108;   // LVN_COLUMNCLICK
constexpr std::int32_t kLvnItemActivate = -114;  // LVN_ITEMACTIVATE

// NMLISTVIEW / NMITEMACTIVATE, as far as the program reads them.
struct ListNotification {
    NotifyHeader header;
    int item = -1;
    int subItem = -1;  // the column of LVN_COLUMNCLICK
};

}  // namespace quillark
