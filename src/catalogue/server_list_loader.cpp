#include "catalogue/server_list_loader.h"

#include <cstdio>

#include "catalogue/chinese_numeral_value.h"
#include "text/gbk_literal.h"

namespace quillark {

using namespace literals;

std::string ServerListLoader::DisplayName(std::string_view old_name) {
    const std::string_view prefix = old_name.substr(0, 4);
    const std::string_view rest = old_name.size() > 4 ? old_name.substr(4) : std::string_view();
    char number[64];
    std::snprintf(number, sizeof number, "0%.13g", ChineseNumeralValue(std::string(rest)));
    const std::string_view padded(number);
    return std::string(prefix) + std::string(padded.substr(padded.size() - 2)) + "区 "_gbk;
}

}  // namespace quillark
