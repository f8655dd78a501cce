// echo_responder: answers ICMP echo requests after a fixed delay.
//
// Used by the benchmarks to give an address a known round-trip time: run it
// in a network namespace whose kernel does not answer echoes itself
// (net.ipv4.icmp_echo_ignore_all=1). It reads every echo request through a
// raw socket, holds it for --delay-ms and sends the reply from the address the
// request was sent to. It stops by itself after --seconds.

#include <arpa/inet.h>
#include <linux/icmp.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <fstream>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kMaxSeconds = 24 * 3600;

struct Options {
    int delay_ms = 0;
    int seconds = 60;
};

struct PendingReply {
    Clock::time_point due;
    in_addr from;  // the address the request was sent to
    in_addr to;    // the requester
    std::vector<unsigned char> message;
};

void PrintHelp() {
    std::puts(
        "usage: echo_responder [--delay-ms MS] [--seconds S]\n"
        "Answers every ICMP echo request of this network namespace after MS milliseconds\n"
        "(default 0), through a raw socket, and exits after S seconds (default 60, at most\n"
        "86400). Needs root or CAP_NET_RAW. Turn the kernel's own replies off first, or\n"
        "requesters get two replies:  sysctl -w net.ipv4.icmp_echo_ignore_all=1");
}

bool ParseNumber(const char* text, int low, int high, int& value) {
    char* end = nullptr;
    const long parsed = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || parsed < low || parsed > high) {
        return false;
    }
    value = static_cast<int>(parsed);
    return true;
}

// 0 to run, 1 for a usage error, 2 after --help.
int ParseOptions(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            PrintHelp();
            return 2;
        }
        const bool has_value = i + 1 < argc;
        if (arg == "--delay-ms" && has_value &&
            ParseNumber(argv[++i], 0, 600000, options.delay_ms)) {
            continue;
        }
        if (arg == "--seconds" && has_value &&
            ParseNumber(argv[++i], 1, kMaxSeconds, options.seconds)) {
            continue;
        }
        std::fprintf(stderr, "echo_responder: bad argument '%s' (see --help)\n", arg.c_str());
        return 1;
    }
    return 0;
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

void WarnIfKernelAnswers() {
    std::ifstream setting("/proc/sys/net/ipv4/icmp_echo_ignore_all");
    int ignore_all = 0;
    if (setting >> ignore_all && ignore_all == 0) {
        std::fputs(
            "echo_responder: the kernel answers echoes here too "
            "(net.ipv4.icmp_echo_ignore_all=0)\n",
            stderr);
    }
}

int OpenRequestSocket() {
    const int fd = socket(AF_INET, SOCK_RAW | SOCK_CLOEXEC, IPPROTO_ICMP);
    if (fd < 0) {
        std::perror("echo_responder: raw ICMP socket (needs root or CAP_NET_RAW)");
        return -1;
    }
    // Only echo requests; everything else (our own replies included) is
    // filtered in the kernel. The mask lists the types to drop.
    icmp_filter only_requests{~(1u << ICMP_ECHO)};
    const int on = 1;
    if (setsockopt(fd, SOL_RAW, ICMP_FILTER, &only_requests, sizeof only_requests) != 0 ||
        setsockopt(fd, IPPROTO_IP, IP_PKTINFO, &on, sizeof on) != 0) {
        std::perror("echo_responder: setsockopt");
        close(fd);
        return -1;
    }
    return fd;
}

// Reads one packet; true with `reply` filled when it was an echo request.
bool ReadRequest(int fd, int delay_ms, PendingReply& reply) {
    unsigned char packet[65536];
    alignas(cmsghdr) unsigned char control[256];
    sockaddr_in sender{};
    iovec data{packet, sizeof packet};
    msghdr message{};
    message.msg_name = &sender;
    message.msg_namelen = sizeof sender;
    message.msg_iov = &data;
    message.msg_iovlen = 1;
    message.msg_control = control;
    message.msg_controllen = sizeof control;
    const ssize_t length = recvmsg(fd, &message, MSG_DONTWAIT);
    if (length < 1) {
        return false;
    }
    const size_t header_length = static_cast<size_t>(packet[0] & 0x0F) * 4;
    if (static_cast<size_t>(length) < header_length + 8) {
        return false;
    }
    const unsigned char* icmp = packet + header_length;
    if (icmp[0] != ICMP_ECHO || icmp[1] != 0) {
        return false;
    }
    reply.from.s_addr = INADDR_ANY;
    for (cmsghdr* c = CMSG_FIRSTHDR(&message); c != nullptr; c = CMSG_NXTHDR(&message, c)) {
        if (c->cmsg_level == IPPROTO_IP && c->cmsg_type == IP_PKTINFO) {
            in_pktinfo info;
            std::memcpy(&info, CMSG_DATA(c), sizeof info);
            reply.from = info.ipi_addr;
        }
    }
    reply.to = sender.sin_addr;
    reply.message.assign(icmp, icmp + (length - header_length));
    reply.message[0] = ICMP_ECHOREPLY;
    reply.message[2] = reply.message[3] = 0;
    const uint16_t checksum = InternetChecksum(reply.message.data(), reply.message.size());
    reply.message[2] = static_cast<unsigned char>(checksum >> 8);
    reply.message[3] = static_cast<unsigned char>(checksum & 0xFF);
    reply.due = Clock::now() + std::chrono::milliseconds(delay_ms);
    return true;
}

bool SendReply(int fd, const PendingReply& reply) {
    sockaddr_in destination{};
    destination.sin_family = AF_INET;
    destination.sin_addr = reply.to;
    iovec data{const_cast<unsigned char*>(reply.message.data()), reply.message.size()};
    alignas(cmsghdr) unsigned char control[CMSG_SPACE(sizeof(in_pktinfo))] = {};
    msghdr message{};
    message.msg_name = &destination;
    message.msg_namelen = sizeof destination;
    message.msg_iov = &data;
    message.msg_iovlen = 1;
    if (reply.from.s_addr != INADDR_ANY) {
        // Answer from the address that was asked, as a kernel would.
        message.msg_control = control;
        message.msg_controllen = sizeof control;
        cmsghdr* c = CMSG_FIRSTHDR(&message);
        c->cmsg_level = IPPROTO_IP;
        c->cmsg_type = IP_PKTINFO;
        c->cmsg_len = CMSG_LEN(sizeof(in_pktinfo));
        in_pktinfo info{};
        info.ipi_spec_dst = reply.from;
        std::memcpy(CMSG_DATA(c), &info, sizeof info);
    }
    return sendmsg(fd, &message, 0) == static_cast<ssize_t>(reply.message.size());
}

int Serve(int fd, const Options& options) {
    const Clock::time_point end = Clock::now() + std::chrono::seconds(options.seconds);
    // The delay is the same for every request, so replies fall due in arrival order.
    std::deque<PendingReply> pending;
    long answered = 0;
    for (Clock::time_point now = Clock::now(); now < end; now = Clock::now()) {
        while (!pending.empty() && pending.front().due <= now) {
            answered += SendReply(fd, pending.front()) ? 1 : 0;
            pending.pop_front();
        }
        const Clock::time_point wake = pending.empty() ? end : std::min(end, pending.front().due);
        const auto wait = std::chrono::ceil<std::chrono::milliseconds>(wake - now);
        pollfd readable{fd, POLLIN, 0};
        if (poll(&readable, 1, static_cast<int>(wait.count())) > 0) {
            PendingReply reply;
            while (ReadRequest(fd, options.delay_ms, reply)) {
                pending.push_back(reply);
            }
        }
    }
    std::fprintf(stderr, "echo_responder: answered %ld echo requests\n", answered);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    const int parsed = ParseOptions(argc, argv, options);
    if (parsed != 0) {
        return parsed == 2 ? 0 : 1;
    }
    const int fd = OpenRequestSocket();
    if (fd < 0) {
        return 1;
    }
    WarnIfKernelAnswers();
    const int status = Serve(fd, options);
    close(fd);
    return status;
}
