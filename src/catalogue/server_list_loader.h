#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "catalogue/endpoints.h"
#include "listview/list_control.h"
#include "platform/network_probe.h"

namespace quillark {

// Builds the server list from the region catalogue, once per run, on a thread
// of its own: one row per catalogue entry with its display name, region name,
// host and location, then the list sorted by name and the first test pass.
class ServerListLoader {
  public:
    ServerListLoader(ListControl& list, Endpoints endpoints, const NetworkProbe& probe,
                     std::function<void()> start_test_pass)
        : list_(list),
          endpoints_(std::move(endpoints)),
          probe_(probe),
          start_test_pass_(std::move(start_test_pass)) {}

    void LoadServerList();

    // The short name shown in the first column: the first four bytes of the
    // old name (two characters), the last two digits of the number its rest
    // spells in Chinese numerals, then "区 ".
    static std::string DisplayName(std::string_view old_name);

  private:
    ListControl& list_;
    Endpoints endpoints_;
    const NetworkProbe& probe_;
    std::function<void()> start_test_pass_;
};

}  // namespace quillark
