// Random resources and a random region name: cutting the tables and the
// lookup chain always end with a label, "停机" or "未知状态", in bounds.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "catalogue/region_status_feed.h"

namespace {

// Four texts separated by NUL bytes: status script, status query,
// server-select script, region name.
std::string_view NextPiece(std::string_view& input) {
    size_t end = input.find('\0');
    std::string_view piece = input.substr(0, end);
    input.remove_prefix(end == std::string_view::npos ? input.size() : end + 1);
    return piece;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view input(reinterpret_cast<const char*>(data), size);
    std::string_view script = NextPiece(input);
    std::string_view query = NextPiece(input);
    std::string_view select = NextPiece(input);
    std::string_view name = NextPiece(input);

    quillark::StatusTables tables = quillark::RegionStatusFeed::CutTables(script, query, select);
    std::string label = quillark::RegionStatusFeed::LookupRegionStatus(tables, name);
    // A label is cut from one piece of the status script.
    if (label.size() > script.size() && label.size() > 8) {
        std::abort();
    }
    quillark::RegionStatusFeed::StatusColour(label);
    quillark::RegionStatusFeed::BytesToGbText(script);
    quillark::RegionStatusFeed::TextBetween(select, query, name);
    return 0;
}
