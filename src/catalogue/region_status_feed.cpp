#include "catalogue/region_status_feed.h"

#include "http/http_request.h"
#include "http/module_state.h"
#include "platform/text_codec.h"
#include "text/gbk.h"
#include "text/gbk_literal.h"

namespace quillark {
namespace {

using namespace literals;

// An empty search text is contained in every non-empty piece.
bool Contains(std::string_view piece, std::string_view needle) {
    if (needle.empty()) {
        return !piece.empty();
    }
    return gbk::Find(piece, needle) != -1;
}

const std::string* FirstContaining(const std::vector<std::string>& pieces,
                                   std::string_view needle) {
    for (const std::string& piece : pieces) {
        if (Contains(piece, needle)) {
            return &piece;
        }
    }
    return nullptr;
}

// A status "0" after the region's name in the server-select data means the
// region is shut down. The search text changes as the walk goes: after the
// name piece it becomes that piece's status field (often empty, which matches
// the next non-empty piece), so the first status field after the name decides.
bool IsShutDown(const StatusTables& tables, std::string_view region_name) {
    std::string search = "\"" + std::string(region_name);
    for (const std::string& piece : tables.server_select) {
        if (!Contains(piece, search)) {
            continue;
        }
        search = RegionStatusFeed::TextBetween(gbk::Trim(piece), "status:\"", "\"}");
        if (search == "0") {
            return true;
        }
    }
    return false;
}

// The four tables are one snapshot here; each of their module slots makes
// sure the process-wide store starts and ends with empty tables.
void ResetSharedTables() {
    RegionStatusFeed::SharedTables().Publish(std::make_shared<const StatusTables>());
}
const bool kTablesRegistered = [] {
    for (ModuleItem item : {ModuleItem::kServerInfoPieces, ModuleItem::kServerStatusPieces,
                            ModuleItem::kStatusQueryPieces, ModuleItem::kServerSelectPieces}) {
        ModuleState::Register(item, ResetSharedTables, ResetSharedTables);
    }
    return true;
}();

// GET of one resource through the request object; empty text when it fails.
std::string Download(HttpRequest& request, const std::string& url, bool as_response_text) {
    if (!request.Open("GET", url) || !request.Send()) {
        return {};
    }
    return as_response_text ? request.ResponseText()
                            : RegionStatusFeed::BytesToGbText(request.ResponseBody());
}

}  // namespace

StatusTableStore& RegionStatusFeed::SharedTables() {
    static StatusTableStore store;
    return store;
}

bool RegionStatusFeed::FetchRegionStatus() {
    HttpRequest request;
    const std::string script = Download(request, endpoints_.status_script, false);
    const std::string query = Download(request, endpoints_.status_query, true);
    const std::string select = Download(request, endpoints_.server_select, false);
    store_.Publish(std::make_shared<const StatusTables>(CutTables(script, query, select)));
    return true;
}

std::string RegionStatusFeed::TextBetween(std::string_view text, std::string_view start,
                                          std::string_view end) {
    long a = gbk::Find(text, start, 1, gbk::Case::kIgnoreAscii);
    if (a == -1) {
        return {};
    }
    a += static_cast<long>(start.size());
    long b = gbk::Find(text, end, a, gbk::Case::kIgnoreAscii);
    if (b == -1 || b < a) {
        return {};
    }
    return std::string(text.substr(static_cast<size_t>(a - 1), static_cast<size_t>(b - a)));
}

std::vector<std::string> RegionStatusFeed::SplitPieces(std::string_view text) {
    return gbk::Split(text, ",");
}

std::string RegionStatusFeed::BytesToGbText(std::string_view bytes) {
    // The resources are GB2312, which GBK contains: decoding and encoding again
    // keeps every valid character and turns broken sequences into '?'.
    return TextCodec::Utf16ToGbk(TextCodec::GbkToUtf16(bytes));
}

uint32_t RegionStatusFeed::StatusColour(std::string_view label) {
    if (label == "正常"_gbk) {
        return kBlack;
    }
    if (label == "拥挤"_gbk) {
        return kOrange;
    }
    if (label == "满载"_gbk) {
        return kRed;
    }
    return kGrey;
}

StatusTables RegionStatusFeed::CutTables(std::string_view status_script,
                                         std::string_view status_query,
                                         std::string_view server_select) {
    StatusTables tables;
    tables.server_info = SplitPieces(TextBetween(status_script, "ServerInfo : {", "},"));
    tables.server_status = SplitPieces(TextBetween(status_script, "ServerStatus : {", "},"));
    tables.status_query = SplitPieces(TextBetween(status_query, "[{", "},"));
    tables.server_select =
        SplitPieces(TextBetween(server_select, "LOLServerSelect.STD_DATA=", "];"));
    return tables;
}

std::string RegionStatusFeed::LookupRegionStatus(const StatusTables& tables,
                                                 std::string_view region_name) {
    if (IsShutDown(tables, region_name)) {
        return "停机"_gbk;
    }
    const std::string* info =
        FirstContaining(tables.server_info, ":'" + std::string(region_name) + "'");
    if (info == nullptr) {
        return "未知状态"_gbk;
    }
    std::string id = TextBetween(gbk::Trim(*info), "'", "':");
    const std::string* query = FirstContaining(tables.status_query, "\"" + id + "\":");
    if (query == nullptr) {
        return "未知状态"_gbk;
    }
    std::string code = TextBetween(*query, ":\"", "\"");
    const std::string* status = FirstContaining(tables.server_status, code);
    if (status == nullptr) {
        return "未知状态"_gbk;
    }
    return TextBetween(*status, ":'", "'");
}

std::string RegionStatusFeed::LookupRegionStatus(std::string_view region_name) const {
    return LookupRegionStatus(*store_.Snapshot(), region_name);
}

}  // namespace quillark
