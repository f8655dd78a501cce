#pragma once

// Number conversions of the sort keys. Locale-independent: the
// decimal point is always '.', whatever locale the process runs in.

#include <cstdint>
#include <string>
#include <string_view>

namespace quillark::sort_numbers {

// GBK full-width forms of ASCII become ASCII: A3A1-A3FE -> 0x21-0x7E,
// A1A1 -> blank, A1AB -> '~', A1EE and A1EF -> '*'. Other text is kept.
std::string FoldFullWidth(std::string_view text);

// atof of the folded text: optional white space, sign, digits, fraction,
// exponent; 0 when the text does not start with a number. A value too large
// for a double is +-infinity, too small 0 (as strtod).
double ReadNumber(std::string_view text);

// printf "%.13g".
std::string WriteNumber(double value);

// atoi of the folded text: optional white space, sign, digits. A value beyond
// the 32-bit range is clamped to INT32_MIN / INT32_MAX (as the platform's atoi).
std::int32_t ReadInteger(std::string_view text);

}  // namespace quillark::sort_numbers
