#pragma once

#include <netinet/in.h>

#include <chrono>
#include <cstdint>

namespace quillark {

// One ICMP echo exchange on a socket of its own.
//
// Each socket carries a process-unique (identifier, sequence) tag and keeps
// only the echo reply with that tag, so hundreds of exchanges can run at once
// without taking each other's replies. A raw socket sees every ICMP packet of
// the host (other threads' replies, on loopback even our own requests); a
// kernel filter attached to it passes only our reply, and the same check is
// repeated on what is read.
class IcmpEchoSocket {
  public:
    enum class Kind {
        kNone,  // neither kind may be opened: echoes cannot be sent
        kPing,  // unprivileged ping socket (SOCK_DGRAM, IPPROTO_ICMP)
        kRaw,   // raw ICMP socket: root or CAP_NET_RAW
    };

    // The kind this process uses, decided by the first call that gets a
    // definite answer (a shortage of descriptors decides nothing). When
    // neither kind is allowed, says once on standard error how to allow them.
    static Kind ProcessKind();

    explicit IcmpEchoSocket(Kind kind);
    ~IcmpEchoSocket();
    IcmpEchoSocket(const IcmpEchoSocket&) = delete;
    IcmpEchoSocket& operator=(const IcmpEchoSocket&) = delete;

    bool IsOpen() const { return fd_ >= 0; }

    // Sends one echo request without payload.
    bool SendRequest(const in_addr& target);

    // Reads until our reply arrives (true) or `deadline` passes (false).
    bool AwaitReply(std::chrono::steady_clock::time_point deadline);

  private:
    static Kind DetectKind(bool& decided);
    static uint16_t ProcessIdentifier();
    static uint16_t NextSequence();

    void AttachReplyFilter();
    bool IsOurReply(const unsigned char* packet, size_t length) const;

    Kind kind_;
    int fd_ = -1;
    uint16_t identifier_;
    uint16_t sequence_;
};

}  // namespace quillark
