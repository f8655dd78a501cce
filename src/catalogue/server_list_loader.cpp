#include "catalogue/server_list_loader.h"

#include <cstdio>

#include "catalogue/chinese_numeral_value.h"
#include "catalogue/server_location_lookup.h"
#include "json/json_document.h"
#include "listview/column_sort.h"
#include "listview/server_list_columns.h"
#include "platform/url_reader.h"
#include "text/gbk_literal.h"

namespace quillark {

using namespace literals;

namespace {

constexpr int kPictureNotMeasured = 2;

// The catalogue is GBK JSON; it is read byte for byte up to its first NUL.
std::string ReadCatalogue(const std::string& url) {
    std::string body = UrlReader::Read(url).value_or(std::string());
    return body.substr(0, body.find('\0'));
}

}  // namespace

void ServerListLoader::LoadServerList() {
    JsonDocument document;
    list_.DeleteAllRows();
    document.Parse(ReadCatalogue(endpoints_.catalogue), false);
    const int count = document.GetCount("");
    const ServerLocationLookup locations(endpoints_.location_prefix);
    for (int i = 1; i <= count; ++i) {
        const std::string element = "[" + std::to_string(i) + "]";
        const std::string old_name = document.GetText(element + ".old_name");
        const std::string region_name = document.GetText(element + ".new_name");
        const std::string host = document.GetText(element + ".domain");
        const std::string address = probe_.ResolveHost(host);
        const int row = list_.InsertRow(DisplayName(old_name), kPictureNotMeasured);
        list_.SetCellText(row, server_list::kColumnRegion, region_name);
        list_.SetCellText(row, server_list::kColumnHost, host);
        list_.SetCellText(row, server_list::kColumnLocation, "正在查询服务器物理归属地..."_gbk);
        list_.SetCellText(row, server_list::kColumnLocation,
                          locations.LookupServerLocation(address));
    }
    SortServerList(list_, server_list::kColumnName);
    start_test_pass_();
}

std::string ServerListLoader::DisplayName(std::string_view old_name) {
    const std::string_view prefix = old_name.substr(0, 4);
    const std::string_view rest = old_name.size() > 4 ? old_name.substr(4) : std::string_view();
    char number[64];
    std::snprintf(number, sizeof number, "0%.13g", ChineseNumeralValue(std::string(rest)));
    const std::string_view padded(number);
    return std::string(prefix) + std::string(padded.substr(padded.size() - 2)) + "区 "_gbk;
}

}  // namespace quillark
