#include "catalogue/endpoints.h"

#include <cstdlib>

namespace quillark {
namespace {

constexpr std::string_view kCataloguePath = "/lol/box/gameserver.json";
constexpr std::string_view kStatusScriptPath = "/act/a20150326dqpd/js/LOL_SERVER_STATUS.js";
constexpr std::string_view kStatusQueryPath = "/lol/act/a20150325ServerStatus/getServerStatus.php";
constexpr std::string_view kServerSelectPath = "/comm-htdocs/js/game_area/lol_server_select.js";
constexpr std::string_view kLocationPath = "/service/getIpInfo.php?ip=";

// Our own mirrors of the publisher's resources and of the location service.
constexpr std::string_view kCatalogueHost = "http://catalogue.quillark.cn";
constexpr std::string_view kStatusHost = "http://status.quillark.cn";
constexpr std::string_view kLocationHost = "http://ipinfo.quillark.cn";

std::string Join(std::string_view base, std::string_view path) {
    return std::string(base) + std::string(path);
}

bool IsHostCharacter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' ||
           c == '-';
}

bool IsValidBase(std::string_view base) {
    constexpr std::string_view kScheme = "http://";
    if (base.substr(0, kScheme.size()) != kScheme) {
        return false;
    }
    std::string_view rest = base.substr(kScheme.size());
    size_t colon = rest.find(':');
    std::string_view host = rest.substr(0, colon);
    if (host.empty()) {
        return false;
    }
    for (char c : host) {
        if (!IsHostCharacter(c)) {
            return false;
        }
    }
    if (colon == std::string_view::npos) {
        return true;
    }
    std::string_view port = rest.substr(colon + 1);
    if (port.empty() || port.size() > 5) {
        return false;
    }
    for (char c : port) {
        if (c < '0' || c > '9') {
            return false;
        }
    }
    return std::stoi(std::string(port)) <= 65535;
}

Endpoints Build(std::string_view catalogue_host, std::string_view status_host,
                std::string_view location_host) {
    return Endpoints{Join(catalogue_host, kCataloguePath), Join(status_host, kStatusScriptPath),
                     Join(status_host, kStatusQueryPath), Join(status_host, kServerSelectPath),
                     Join(location_host, kLocationPath)};
}

}  // namespace

Endpoints Endpoints::Default() {
    return Build(kCatalogueHost, kStatusHost, kLocationHost);
}

std::optional<Endpoints> Endpoints::WithBase(std::string_view base) {
    if (!base.empty() && base.back() == '/') {
        base.remove_suffix(1);
    }
    if (!IsValidBase(base)) {
        return std::nullopt;
    }
    return Build(base, base, base);
}

Endpoints Endpoints::FromEnvironment() {
    const char* base = std::getenv("QUILLARK_ENDPOINTS");
    if (base != nullptr && *base != '\0') {
        if (std::optional<Endpoints> endpoints = WithBase(base)) {
            return *endpoints;
        }
    }
    return Default();
}

}  // namespace quillark
