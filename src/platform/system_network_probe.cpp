#include "platform/system_network_probe.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <sys/socket.h>

#include <algorithm>
#include <chrono>
#include <memory>

#include "platform/icmp_echo_socket.h"

namespace quillark {

namespace {

bool LooksNumeric(const std::string& host) {
    return std::all_of(host.begin(), host.end(),
                       [](char c) { return c == '.' || (c >= '0' && c <= '9'); });
}

struct AddrinfoDeleter {
    void operator()(addrinfo* list) const { freeaddrinfo(list); }
};

}  // namespace

std::string SystemNetworkProbe::ResolveHost(const std::string& host) const {
    if (host.empty()) {
        return {};
    }
    // No AI_ADDRCONFIG: on a machine with only loopback configured it makes
    // even "localhost" fail.
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_DGRAM;
    addrinfo* raw_list = nullptr;
    if (getaddrinfo(host.c_str(), nullptr, &hints, &raw_list) != 0 || raw_list == nullptr) {
        return {};
    }
    std::unique_ptr<addrinfo, AddrinfoDeleter> list(raw_list);
    const auto* address = reinterpret_cast<const sockaddr_in*>(list->ai_addr);
    char text[INET_ADDRSTRLEN] = {};
    if (inet_ntop(AF_INET, &address->sin_addr, text, sizeof text) == nullptr) {
        return {};
    }
    return text;
}

std::optional<in_addr> SystemNetworkProbe::EchoTarget(const std::string& host) const {
    if (host.empty()) {
        return std::nullopt;
    }
    // Digits and dots are an address or nothing: the resolver would otherwise
    // read "1.2.3" as 1.2.0.3.
    const std::string dotted = LooksNumeric(host) ? host : ResolveHost(host);
    in_addr address{};
    if (inet_pton(AF_INET, dotted.c_str(), &address) != 1) {
        return std::nullopt;
    }
    if ((ntohl(address.s_addr) >> 24) == 0) {
        return std::nullopt;
    }
    return address;
}

int SystemNetworkProbe::EchoOnce(const std::string& host, int timeout_ms) const {
    if (timeout_ms <= 0) {
        return -1;
    }
    const std::optional<in_addr> target = EchoTarget(host);
    if (!target) {
        return -1;
    }
    const IcmpEchoSocket::Kind kind = IcmpEchoSocket::ProcessKind();
    if (kind == IcmpEchoSocket::Kind::kNone) {
        return -1;
    }
    IcmpEchoSocket socket(kind);
    if (!socket.IsOpen()) {
        return -1;
    }
    using Clock = std::chrono::steady_clock;
    const Clock::time_point sent = Clock::now();
    if (!socket.SendRequest(*target)) {
        return -1;
    }
    if (!socket.AwaitReply(sent + std::chrono::milliseconds(timeout_ms))) {
        return -1;
    }
    const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - sent);
    return static_cast<int>(elapsed.count());
}

}  // namespace quillark
