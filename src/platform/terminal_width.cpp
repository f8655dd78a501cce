#include "platform/terminal_width.h"

#include <unicode/uchar.h>
#include <unicode/utf8.h>

namespace quillark {

int TerminalWidth(std::string_view utf8) {
    int width = 0;
    int32_t index = 0;
    const auto length = static_cast<int32_t>(utf8.size());
    const auto* bytes = reinterpret_cast<const uint8_t*>(utf8.data());
    while (index < length) {
        UChar32 c;
        U8_NEXT(bytes, index, length, c);
        if (c < 0) {
            ++width;  // a broken sequence shows as one replacement character
            continue;
        }
        if (u_getCombiningClass(c) != 0) {
            continue;
        }
        int east_asian = u_getIntPropertyValue(c, UCHAR_EAST_ASIAN_WIDTH);
        width += (east_asian == U_EA_WIDE || east_asian == U_EA_FULLWIDTH) ? 2 : 1;
    }
    return width;
}

}  // namespace quillark
