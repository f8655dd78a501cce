#include "catalogue/chinese_numeral_value.h"

#include <array>
#include <charconv>
#include <cmath>
#include <string_view>

#include "text/gbk.h"
#include "text/gbk_literal.h"

namespace quillark {
namespace {

using namespace literals;

// Numerals in table order: entry i stands for the digit i.
const std::array<const std::string*, 10>& Numerals() {
    static const std::array<const std::string*, 10> numerals = {
        &"零"_gbk, &"一"_gbk, &"二"_gbk, &"三"_gbk, &"四"_gbk,
        &"五"_gbk, &"六"_gbk, &"七"_gbk, &"八"_gbk, &"九"_gbk};
    return numerals;
}

// Units in table order: entry i (from 0) becomes i + 1 zeros and a bar. The
// one-character units come first, so 十万 has already lost its 十 by the time
// its own entry is applied; the order is part of the result.
const std::array<const std::string*, 8>& Units() {
    static const std::array<const std::string*, 8> units = {&"十"_gbk,   &"百"_gbk,   &"千"_gbk,
                                                            &"万"_gbk,   &"十万"_gbk, &"百万"_gbk,
                                                            &"千万"_gbk, &"亿"_gbk};
    return units;
}

// A leading ten becomes "1" before an ASCII character (十五 -> 15) and "10"
// otherwise (十, 十区, 十万).
void RewriteLeadingTen(std::string& t) {
    if (t.size() < 2) {
        return;
    }
    std::string_view head(t.data(), 2);
    if (head != "十"_gbk && head != "拾"_gbk) {
        return;
    }
    signed char next = t.size() > 2 ? static_cast<signed char>(t[2]) : 0;
    t.replace(0, 2, next > 0 ? "1" : "10");
}

// Full-width digits, signs, point and exponent letters in their ASCII forms.
std::string FullWidthToAscii(std::string_view piece) {
    std::string out;
    out.reserve(piece.size());
    for (size_t i = 0; i < piece.size();) {
        size_t length = gbk::CharLength(piece, i);
        unsigned char lead = static_cast<unsigned char>(piece[i]);
        unsigned char trail = length == 2 ? static_cast<unsigned char>(piece[i + 1]) : 0;
        // GBK row A3 holds the full-width forms of ASCII 0x21..0x7E at trail 0xA1..0xFE.
        if (lead == 0xA3 && trail >= 0xA1 && trail <= 0xFE) {
            char ascii = static_cast<char>(trail - 0xA1 + 0x21);
            if ((ascii >= '0' && ascii <= '9') || ascii == '+' || ascii == '-' || ascii == '.' ||
                ascii == 'e' || ascii == 'E') {
                out.push_back(ascii);
                i += 2;
                continue;
            }
        }
        out.append(piece.substr(i, length));
        i += length;
    }
    return out;
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// The longest leading decimal number (sign, digits, fraction, exponent);
// 0 when the piece does not begin with one. Hexadecimal, "inf" and "nan"
// are not numbers here.
double LeadingNumber(std::string_view piece) {
    std::string text = FullWidthToAscii(piece);
    size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        ++i;
    }
    size_t digits_start = i;
    while (i < text.size() && IsDigit(text[i])) {
        ++i;
    }
    size_t mantissa_digits = i - digits_start;
    if (i < text.size() && text[i] == '.') {
        size_t fraction_start = ++i;
        while (i < text.size() && IsDigit(text[i])) {
            ++i;
        }
        mantissa_digits += i - fraction_start;
    }
    if (mantissa_digits == 0) {
        return 0;
    }
    size_t number_end = i;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        size_t j = i + 1;
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) {
            ++j;
        }
        if (j < text.size() && IsDigit(text[j])) {
            while (j < text.size() && IsDigit(text[j])) {
                ++j;
            }
            number_end = j;
        }
    }
    // from_chars ignores the locale (a GUI may have set one with a decimal comma)
    // and takes no leading '+'.
    size_t parse_from = text[0] == '+' ? 1 : 0;
    double value = 0;
    auto [end, error] = std::from_chars(text.data() + parse_from, text.data() + number_end, value);
    return error == std::errc() && std::isfinite(value) ? value : 0;
}

}  // namespace

double ChineseNumeralValue(std::string text) {
    std::string t = std::move(text);
    const auto& numerals = Numerals();
    for (size_t digit = 0; digit < numerals.size(); ++digit) {
        t = gbk::ReplaceAll(t, *numerals[digit], std::string(1, static_cast<char>('0' + digit)));
    }
    RewriteLeadingTen(t);
    const auto& units = Units();
    for (size_t unit = 0; unit < units.size(); ++unit) {
        t = gbk::ReplaceAll(t, *units[unit], std::string(unit + 1, '0') + "|");
    }
    double sum = 0;
    for (const std::string& piece : gbk::Split(t, "|")) {
        sum += LeadingNumber(piece);
    }
    return sum;
}

}  // namespace quillark
