#pragma once

#include <string>

namespace quillark {

// The number written by a Chinese numeral text such as 十九 or 一百零五 (GBK).
//
// Not a grammar: numerals become digits, units become runs of zeros followed
// by "|", and the pieces between the bars are added up. Numbers written out in
// full below one hundred thousand come out right; text after the numeral is
// ignored once a digit run ends (十五区 is 15). Pure and thread-safe.
double ChineseNumeralValue(std::string text);

}  // namespace quillark
