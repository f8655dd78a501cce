#pragma once

#include <string>

namespace quillark {

// Name resolution and one ICMP echo: what a test pass needs from the network.
// The test pass takes this interface so that unit tests can hand it a fake and
// end-to-end runs the real SystemNetworkProbe. Implementations must be safe to
// call from many threads at once.
class NetworkProbe {
  public:
    // How long a test pass waits for an echo reply.
    static constexpr int kDefaultEchoTimeoutMs = 10000;

    virtual ~NetworkProbe() = default;

    // The first IPv4 address of `host` as dotted text ("10.0.0.1"), or empty
    // text when the name does not resolve. A dotted address comes back unchanged.
    virtual std::string ResolveHost(const std::string& host) const = 0;

    // Sends one echo request to `host` (a dotted IPv4 address or a host name)
    // and gives the reply time in whole milliseconds, or -1 when no reply came
    // within `timeout_ms`, the host is empty or invalid, or echoes cannot be sent.
    virtual int EchoOnce(const std::string& host, int timeout_ms) const = 0;
};

}  // namespace quillark
