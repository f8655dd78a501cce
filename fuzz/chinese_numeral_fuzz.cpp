// Any byte string gives a finite number or zero, without reading out of bounds.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "catalogue/chinese_numeral_value.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    double value = quillark::ChineseNumeralValue(text);
    if (std::isnan(value)) {
        std::abort();
    }
    return 0;
}
