#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quillark {

// The five web resources the program reads, as full URLs. The paths are fixed
// by the services; scheme, host and port can be replaced as a whole (for a
// mirror, the tests or the demo) through QUILLARK_ENDPOINTS=http://HOST[:PORT].
struct Endpoints {
    std::string catalogue;        // region catalogue (JSON array)
    std::string status_script;    // region names, ids and state labels (script)
    std::string status_query;     // region id -> state code
    std::string server_select;    // shut-down regions (script)
    std::string location_prefix;  // IP location; the dotted address is appended

    // The published services.
    static Endpoints Default();
    // Default() with every scheme, host and port replaced by `base`
    // ("http://HOST[:PORT]", nothing after it); nullopt when `base` is not of that form.
    static std::optional<Endpoints> WithBase(std::string_view base);
    // WithBase(QUILLARK_ENDPOINTS) when that variable is set and valid, else Default().
    static Endpoints FromEnvironment();
};

}  // namespace quillark
