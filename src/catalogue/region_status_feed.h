#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "catalogue/endpoints.h"
#include "catalogue/status_tables.h"

namespace quillark {

// The advertised state of each region, read from three of the publisher's
// script resources. They are not a clean interface: each is cut between fixed
// markers into comma-separated pieces, and a lookup chains from the region's
// name to its id, from the id to a state code and from the code to a label by
// searching those pieces for quoted fragments.
class RegionStatusFeed {
  public:
    // Text colours (0x00BBGGRR) of the state labels.
    static constexpr uint32_t kBlack = 0x00000000;
    static constexpr uint32_t kOrange = 0x000080FF;
    static constexpr uint32_t kRed = 0x000000FF;
    static constexpr uint32_t kGrey = 0x00808080;

    // The module-level tables of the program: empty from start-up until the
    // first fetch, and again after shutdown.
    static StatusTableStore& SharedTables();

    RegionStatusFeed(Endpoints endpoints, StatusTableStore& store = SharedTables())
        : endpoints_(std::move(endpoints)), store_(store) {}

    // Reads the three resources and publishes a new set of tables; a request
    // that fails leaves its tables empty. Always true once it has run.
    bool FetchRegionStatus();

    // "停机", a label from the feed, or "未知状态", by the latest tables.
    std::string LookupRegionStatus(std::string_view region_name) const;

    static std::string LookupRegionStatus(const StatusTables& tables, std::string_view region_name);
    static uint32_t StatusColour(std::string_view label);

    // The tables of one fetch, from the three resources as GBK text.
    static StatusTables CutTables(std::string_view status_script, std::string_view status_query,
                                  std::string_view server_select);

    // The text between the first `start` marker and the first `end` marker
    // after it, markers found ignoring ASCII case; empty when either is missing.
    static std::string TextBetween(std::string_view text, std::string_view start,
                                   std::string_view end);
    // Pieces between commas; none after a final comma, none for empty text.
    static std::vector<std::string> SplitPieces(std::string_view text);
    // Response bytes in the resources' Chinese encoding, as GBK text.
    static std::string BytesToGbText(std::string_view bytes);

  private:
    Endpoints endpoints_;
    StatusTableStore& store_;
};

}  // namespace quillark
