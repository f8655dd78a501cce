#pragma once

#include <netinet/in.h>

#include <optional>
#include <string>

#include "platform/network_probe.h"

namespace quillark {

// The host's resolver (getaddrinfo) and real ICMP echoes through
// IcmpEchoSocket. Stateless: one instance may serve every worker of a pass.
class SystemNetworkProbe final : public NetworkProbe {
  public:
    std::string ResolveHost(const std::string& host) const override;

    // A reply that took less than a millisecond is 0 ms; 40.7 ms is 40 ms.
    int EchoOnce(const std::string& host, int timeout_ms) const override;

  private:
    // The address an echo goes to: a strict dotted address as given, otherwise
    // the resolved name. Empty text, malformed numbers ("1.2.3", "256.0.0.1")
    // and 0.0.0.0/8, which the kernel would deliver to this machine, give nothing.
    std::optional<in_addr> EchoTarget(const std::string& host) const;
};

}  // namespace quillark
