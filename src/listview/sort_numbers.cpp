#include "listview/sort_numbers.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace quillark::sort_numbers {
namespace {

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Decimal exponent of the first significant digit of "digits[.digits]", used
// to tell overflow from underflow when from_chars reports out of range.
long LeadingMagnitude(std::string_view mantissa) {
    const size_t point = mantissa.find('.');
    const size_t integerDigits = point == std::string_view::npos ? mantissa.size() : point;
    for (size_t i = 0; i < mantissa.size(); ++i) {
        if (IsDigit(mantissa[i]) && mantissa[i] != '0') {
            return i < integerDigits ? static_cast<long>(integerDigits - i - 1)
                                     : -static_cast<long>(i - integerDigits);
        }
    }
    return std::numeric_limits<long>::min();  // all zeros
}

}  // namespace

std::string FoldFullWidth(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        if (lead < 0x80 || i + 1 >= text.size()) {
            out.push_back(text[i]);
            ++i;
            continue;
        }
        const auto trail = static_cast<unsigned char>(text[i + 1]);
        if (lead == 0xA3 && trail >= 0xA1 && trail <= 0xFE) {
            out.push_back(static_cast<char>(trail - 0x80));
        } else if (lead == 0xA1 && trail == 0xA1) {
            out.push_back(' ');
        } else if (lead == 0xA1 && trail == 0xAB) {
            out.push_back('~');
        } else if (lead == 0xA1 && (trail == 0xEE || trail == 0xEF)) {
            out.push_back('*');
        } else {
            out.append(text.substr(i, 2));
        }
        i += 2;
    }
    return out;
}

// Moves `i` past leading spaces and one sign; true when the sign was '-'.
bool SkipSpaceAndSign(const std::string& text, size_t& i) {
    while (i < text.size() && IsSpace(text[i])) {
        ++i;
    }
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        return text[i++] == '-';
    }
    return false;
}

double ReadNumber(std::string_view raw) {
    const std::string text = FoldFullWidth(raw);
    size_t i = 0;
    const bool negative = SkipSpaceAndSign(text, i);
    const size_t start = i;
    size_t digits = 0;
    while (i < text.size() && IsDigit(text[i])) {
        ++i;
        ++digits;
    }
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && IsDigit(text[i])) {
            ++i;
            ++digits;
        }
    }
    if (digits == 0) {
        return 0.0;
    }
    const size_t mantissaEnd = i;
    long exponent = 0;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        size_t j = i + 1;
        bool negativeExponent = false;
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) {
            negativeExponent = text[j] == '-';
            ++j;
        }
        if (j < text.size() && IsDigit(text[j])) {
            while (j < text.size() && IsDigit(text[j])) {
                if (exponent < 100000) {
                    exponent = exponent * 10 + (text[j] - '0');
                }
                ++j;
            }
            exponent = negativeExponent ? -exponent : exponent;
            i = j;
        }
    }
    double value = 0.0;
    const auto [end, error] =
        std::from_chars(text.data() + start, text.data() + i, value, std::chars_format::general);
    (void)end;
    if (error == std::errc::result_out_of_range) {
        const long magnitude =
            LeadingMagnitude(std::string_view(text).substr(start, mantissaEnd - start));
        value = (magnitude != std::numeric_limits<long>::min() && magnitude + exponent > 0)
                    ? std::numeric_limits<double>::infinity()
                    : 0.0;
    } else if (error != std::errc()) {
        value = 0.0;
    }
    return negative ? -value : value;
}

std::string WriteNumber(double value) {
    char buffer[64];
    const auto [end, error] =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 13);
    if (error != std::errc()) {
        return "0";
    }
    return std::string(buffer, end);
}

std::int32_t ReadInteger(std::string_view raw) {
    const std::string text = FoldFullWidth(raw);
    size_t i = 0;
    const bool negative = SkipSpaceAndSign(text, i);
    std::int64_t value = 0;
    constexpr std::int64_t kLimit = std::int64_t{1} << 32;
    while (i < text.size() && IsDigit(text[i])) {
        if (value < kLimit) {
            value = value * 10 + (text[i] - '0');
        }
        ++i;
    }
    value = negative ? -value : value;
    if (value > std::numeric_limits<std::int32_t>::max()) {
        return std::numeric_limits<std::int32_t>::max();
    }
    if (value < std::numeric_limits<std::int32_t>::min()) {
        return std::numeric_limits<std::int32_t>::min();
    }
    return static_cast<std::int32_t>(value);
}

}  // namespace quillark::sort_numbers
