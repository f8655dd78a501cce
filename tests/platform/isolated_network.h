#pragma once

#include <linux/capability.h>
#include <net/if.h>
#include <sched.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

namespace quillark::testing {

// A private network namespace for echo tests that must control who answers:
// loopback up, and optionally echo requests to one 127.0.x.0/24 block dropped
// on arrival so that they are sent but never answered.
class IsolatedNetwork {
  public:
    // Whether this process can build one (root, namespaces, nftables);
    // `reason` says why not.
    static bool IsAvailable(std::string& reason);

    // Moves the calling thread (and the threads and processes it starts
    // afterwards) into a new namespace with loopback up.
    static bool Enter();

    // Drops echo requests to 127.0.`third_octet`.0/24 as they arrive.
    static bool DropEchoRequestsTo(int third_octet);

    // Lets every group open ping sockets in this namespace (true), or no group (false).
    static bool AllowPingSockets(bool allowed);

    // Removes CAP_NET_RAW from this process, so raw sockets are refused even to root.
    static bool DropRawSocketCapability();
};

namespace isolated_network_detail {

inline bool BringLoopbackUp() {
    const int fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return false;
    }
    ifreq request{};
    std::strncpy(request.ifr_name, "lo", IFNAMSIZ - 1);
    bool up = ioctl(fd, SIOCGIFFLAGS, &request) == 0;
    request.ifr_flags |= IFF_UP;
    up = up && ioctl(fd, SIOCSIFFLAGS, &request) == 0;
    close(fd);
    return up;
}

inline bool RunQuietly(const std::string& command) {
    return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
}

}  // namespace isolated_network_detail

inline bool IsolatedNetwork::IsAvailable(std::string& reason) {
    if (geteuid() != 0) {
        reason = "needs root to create a network namespace and filter rules";
        return false;
    }
    // Try it in a throw-away child so this process keeps its namespace.
    const pid_t child = fork();
    if (child == 0) {
        _exit(Enter() && DropEchoRequestsTo(9) ? 0 : 1);
    }
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status) ||
        WEXITSTATUS(status) != 0) {
        reason = "cannot create a network namespace with an nftables rule (unshare, nft)";
        return false;
    }
    return true;
}

inline bool IsolatedNetwork::Enter() {
    return unshare(CLONE_NEWNET) == 0 && isolated_network_detail::BringLoopbackUp();
}

inline bool IsolatedNetwork::DropEchoRequestsTo(int third_octet) {
    const std::string block = "127.0." + std::to_string(third_octet) + ".0/24";
    return isolated_network_detail::RunQuietly("nft add table ip quillark_test") &&
           isolated_network_detail::RunQuietly(
               "nft add chain ip quillark_test incoming "
               "'{ type filter hook input priority 0; }'") &&
           isolated_network_detail::RunQuietly("nft add rule ip quillark_test incoming ip daddr " +
                                               block + " icmp type echo-request drop");
}

inline bool IsolatedNetwork::AllowPingSockets(bool allowed) {
    std::ofstream range("/proc/sys/net/ipv4/ping_group_range");
    range << (allowed ? "0 2147483647" : "1 0") << '\n';
    range.close();
    return static_cast<bool>(range);
}

inline bool IsolatedNetwork::DropRawSocketCapability() {
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[_LINUX_CAPABILITY_U32S_3] = {};
    if (syscall(SYS_capget, &header, data) != 0) {
        return false;
    }
    const unsigned int bit = 1u << (CAP_NET_RAW % 32);
    data[CAP_NET_RAW / 32].effective &= ~bit;
    data[CAP_NET_RAW / 32].permitted &= ~bit;
    return syscall(SYS_capset, &header, data) == 0;
}

}  // namespace quillark::testing
