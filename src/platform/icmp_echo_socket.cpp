#include "platform/icmp_echo_socket.h"

#include <linux/filter.h>
#include <netinet/ip_icmp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <mutex>
#include <random>

namespace quillark {

namespace {

constexpr size_t kIcmpHeaderLength = 8;

// Errors that say nothing about permission: the next call may succeed.
bool IsShortage(int error) {
    return error == EMFILE || error == ENFILE || error == ENOBUFS || error == ENOMEM;
}

uint16_t InternetChecksum(const unsigned char* data, size_t length) {
    uint32_t sum = 0;
    for (size_t i = 0; i + 1 < length; i += 2) {
        sum += static_cast<uint32_t>(data[i] << 8 | data[i + 1]);
    }
    if (length % 2 != 0) {
        sum += static_cast<uint32_t>(data[length - 1] << 8);
    }
    while (sum >> 16) {
        sum = (sum & 0xFFFF) + (sum >> 16);
    }
    return static_cast<uint16_t>(~sum);
}

uint16_t ReadBigEndian16(const unsigned char* data) {
    return static_cast<uint16_t>(data[0] << 8 | data[1]);
}

void WriteBigEndian16(unsigned char* data, uint16_t value) {
    data[0] = static_cast<unsigned char>(value >> 8);
    data[1] = static_cast<unsigned char>(value & 0xFF);
}

void SayHowToAllowEchoes() {
    std::fputs(
        "quillark: cannot send ICMP echo requests (ping sockets are not allowed for this "
        "group and raw sockets need privileges); latencies will show as no reply.\n"
        "  Allow unprivileged ping:  sysctl -w net.ipv4.ping_group_range=\"0 2147483647\"\n"
        "  or run as root, or:       setcap cap_net_raw+ep <program>\n",
        stderr);
}

}  // namespace

IcmpEchoSocket::Kind IcmpEchoSocket::DetectKind(bool& decided) {
    bool shortage = false;
    for (Kind kind : {Kind::kPing, Kind::kRaw}) {
        const int type = kind == Kind::kPing ? SOCK_DGRAM : SOCK_RAW;
        const int fd = socket(AF_INET, type | SOCK_CLOEXEC, IPPROTO_ICMP);
        if (fd >= 0) {
            close(fd);
            decided = true;
            return kind;
        }
        shortage = shortage || IsShortage(errno);
    }
    decided = !shortage;
    return Kind::kNone;
}

IcmpEchoSocket::Kind IcmpEchoSocket::ProcessKind() {
    static std::atomic<Kind> decided_kind{Kind::kNone};
    static std::atomic<bool> is_decided{false};
    static std::mutex deciding;

    if (is_decided.load(std::memory_order_acquire)) {
        return decided_kind.load(std::memory_order_relaxed);
    }
    std::lock_guard<std::mutex> lock(deciding);
    if (!is_decided.load(std::memory_order_relaxed)) {
        bool decided = false;
        const Kind kind = DetectKind(decided);
        if (!decided) {
            return Kind::kNone;
        }
        if (kind == Kind::kNone) {
            SayHowToAllowEchoes();
        }
        decided_kind.store(kind, std::memory_order_relaxed);
        is_decided.store(true, std::memory_order_release);
    }
    return decided_kind.load(std::memory_order_relaxed);
}

uint16_t IcmpEchoSocket::ProcessIdentifier() {
    // Random rather than the process id, so that two programs started in
    // different namespaces are unlikely to share it.
    static const uint16_t identifier = [] {
        std::random_device device;
        return static_cast<uint16_t>(device());
    }();
    return identifier;
}

uint16_t IcmpEchoSocket::NextSequence() {
    static std::atomic<uint16_t> next{static_cast<uint16_t>(std::random_device{}())};
    return next.fetch_add(1, std::memory_order_relaxed);
}

IcmpEchoSocket::IcmpEchoSocket(Kind kind)
    : kind_(kind), identifier_(ProcessIdentifier()), sequence_(NextSequence()) {
    if (kind_ == Kind::kNone) {
        return;
    }
    const int type = kind_ == Kind::kPing ? SOCK_DGRAM : SOCK_RAW;
    fd_ = socket(AF_INET, type | SOCK_CLOEXEC | SOCK_NONBLOCK, IPPROTO_ICMP);
    if (fd_ >= 0 && kind_ == Kind::kRaw) {
        AttachReplyFilter();
    }
}

IcmpEchoSocket::~IcmpEchoSocket() {
    if (fd_ >= 0) {
        close(fd_);
    }
}

void IcmpEchoSocket::AttachReplyFilter() {
    // Classic BPF over the IPv4 packet: X = IP header length, then the ICMP
    // type, identifier and sequence must be ours. Should the kernel refuse the
    // filter, IsOurReply still sorts the packets, only more slowly.
    sock_filter code[] = {
        BPF_STMT(BPF_LDX | BPF_B | BPF_MSH, 0),
        BPF_STMT(BPF_LD | BPF_B | BPF_IND, 0),
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, ICMP_ECHOREPLY, 0, 5),
        BPF_STMT(BPF_LD | BPF_H | BPF_IND, 4),
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, identifier_, 0, 3),
        BPF_STMT(BPF_LD | BPF_H | BPF_IND, 6),
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, sequence_, 0, 1),
        BPF_STMT(BPF_RET | BPF_K, 0xFFFF),
        BPF_STMT(BPF_RET | BPF_K, 0),
    };
    sock_fprog program{static_cast<unsigned short>(sizeof code / sizeof code[0]), code};
    setsockopt(fd_, SOL_SOCKET, SO_ATTACH_FILTER, &program, sizeof program);
}

bool IcmpEchoSocket::SendRequest(const in_addr& target) {
    if (fd_ < 0) {
        return false;
    }
    // A ping socket replaces the identifier with its own port and computes
    // the checksum itself; a raw socket sends the header exactly as written.
    unsigned char packet[kIcmpHeaderLength] = {ICMP_ECHO, 0};
    WriteBigEndian16(packet + 4, identifier_);
    WriteBigEndian16(packet + 6, sequence_);
    WriteBigEndian16(packet + 2, InternetChecksum(packet, sizeof packet));

    sockaddr_in destination{};
    destination.sin_family = AF_INET;
    destination.sin_addr = target;
    ssize_t sent;
    do {
        sent = sendto(fd_, packet, sizeof packet, 0, reinterpret_cast<sockaddr*>(&destination),
                      sizeof destination);
    } while (sent < 0 && errno == EINTR);
    return sent == static_cast<ssize_t>(sizeof packet);
}

bool IcmpEchoSocket::IsOurReply(const unsigned char* packet, size_t length) const {
    const unsigned char* icmp = packet;
    if (kind_ == Kind::kRaw) {
        if (length < 1) {
            return false;
        }
        const size_t ip_header_length = static_cast<size_t>(packet[0] & 0x0F) * 4;
        if (length < ip_header_length) {
            return false;
        }
        icmp += ip_header_length;
        length -= ip_header_length;
    }
    if (length < kIcmpHeaderLength || icmp[0] != ICMP_ECHOREPLY) {
        return false;
    }
    // On a ping socket the kernel delivers only replies to the socket's own
    // identifier, which it chose.
    const bool identifier_matches =
        kind_ == Kind::kPing || ReadBigEndian16(icmp + 4) == identifier_;
    return identifier_matches && ReadBigEndian16(icmp + 6) == sequence_;
}

bool IcmpEchoSocket::AwaitReply(std::chrono::steady_clock::time_point deadline) {
    using Clock = std::chrono::steady_clock;
    if (fd_ < 0) {
        return false;
    }
    unsigned char packet[1500];
    for (;;) {
        ssize_t length = recv(fd_, packet, sizeof packet, MSG_DONTWAIT);
        if (length >= 0) {
            if (IsOurReply(packet, static_cast<size_t>(length))) {
                return true;
            }
            continue;
        }
        if (errno == EINTR) {
            continue;
        }
        if (errno != EAGAIN && errno != EWOULDBLOCK) {
            return false;
        }
        const auto left = deadline - Clock::now();
        if (left <= Clock::duration::zero()) {
            return false;
        }
        // Round the wait up so that it never ends just short of the deadline.
        const auto left_ms = std::chrono::ceil<std::chrono::milliseconds>(left).count();
        pollfd readable{fd_, POLLIN, 0};
        if (poll(&readable, 1, static_cast<int>(left_ms)) < 0 && errno != EINTR) {
            return false;
        }
    }
}

}  // namespace quillark
