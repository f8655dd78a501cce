#pragma once

#include <string_view>

namespace quillark {

// Columns a UTF-8 text takes in a terminal: East Asian wide and full-width
// characters take two, combining marks none, everything else one.
int TerminalWidth(std::string_view utf8);

}  // namespace quillark
