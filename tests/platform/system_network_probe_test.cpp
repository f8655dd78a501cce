#include "platform/system_network_probe.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "platform/icmp_echo_socket.h"
#include "platform/isolated_network.h"

namespace quillark {
namespace {

using Kind = IcmpEchoSocket::Kind;
using testing::IsolatedNetwork;

constexpr int kShortTimeoutMs = 300;

// 127.0.`third`.`n`, n counted from 1.
std::string LoopbackAddress(int third, int n) {
    return "127.0." + std::to_string(third) + "." + std::to_string(n);
}

// Runs EchoOnce on every address at once, one thread each, as a test pass does.
std::vector<int> EchoAllAtOnce(const std::vector<std::string>& addresses, int timeout_ms) {
    const SystemNetworkProbe probe;
    std::vector<int> results(addresses.size(), -2);
    std::vector<std::thread> workers;
    for (size_t i = 0; i < addresses.size(); ++i) {
        workers.emplace_back([&, i] { results[i] = probe.EchoOnce(addresses[i], timeout_ms); });
    }
    for (std::thread& worker : workers) {
        worker.join();
    }
    return results;
}

#define SKIP_WITHOUT_ECHOES()                                                      \
    if (IcmpEchoSocket::ProcessKind() == Kind::kNone) {                            \
        GTEST_SKIP() << "this process may open neither ping nor raw ICMP sockets " \
                        "(run as root or widen net.ipv4.ping_group_range)";        \
    }

#define SKIP_WITHOUT_ISOLATED_NETWORK()                        \
    do {                                                       \
        std::string reason;                                    \
        if (!IsolatedNetwork::IsAvailable(reason)) {           \
            GTEST_SKIP() << "no isolated network: " << reason; \
        }                                                      \
        GTEST_FLAG_SET(death_test_style, "threadsafe");        \
    } while (false)

TEST(SystemNetworkProbeResolve, GivesFirstIpv4AddressOrEmptyText) {
    const SystemNetworkProbe probe;
    const struct {
        std::string host;
        std::string expected;
    } cases[] = {
        {"localhost", "127.0.0.1"},     {"127.0.0.1", "127.0.0.1"},
        {"10.20.30.40", "10.20.30.40"}, {"", ""},
        {"no-such-host.invalid", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(probe.ResolveHost(c.host), c.expected) << "host \"" << c.host << "\"";
    }
}

TEST(SystemNetworkProbeEcho, EmptyOrInvalidHostFailsRatherThanPingingThisMachine) {
    const SystemNetworkProbe probe;
    // Each of these would reach this machine (and answer) if taken loosely.
    for (const char* host : {"", "0.0.0.0", "0.1.2.3", "0", "127.1", "1.2.3", "256.1.1.1",
                             "127.0.0.1.", "127.0.0.1 ", "no-such-host.invalid"}) {
        EXPECT_EQ(probe.EchoOnce(host, kShortTimeoutMs), -1) << "host \"" << host << "\"";
    }
    EXPECT_EQ(probe.EchoOnce("127.0.0.1", 0), -1);
    EXPECT_EQ(probe.EchoOnce("127.0.0.1", -5), -1);
}

TEST(SystemNetworkProbeEcho, LoopbackAddressesAnswerWithSmallTimes) {
    SKIP_WITHOUT_ECHOES();
    const SystemNetworkProbe probe;
    for (const char* host :
         {"127.0.0.1", "127.0.0.2", "127.1.2.3", "127.255.255.254", "localhost"}) {
        const int ms = probe.EchoOnce(host, 2000);
        EXPECT_GE(ms, 0) << host;
        EXPECT_LT(ms, 1000) << host;
    }
}

TEST(SystemNetworkProbeEcho, SubMillisecondReplyCountsAsZero) {
    SKIP_WITHOUT_ECHOES();
    // Loopback answers in well under a millisecond; the best of a few tries
    // is 0 unless whole milliseconds are rounded up.
    const SystemNetworkProbe probe;
    int best = 1000;
    for (int i = 0; i < 10; ++i) {
        const int ms = probe.EchoOnce("127.0.0.1", 2000);
        ASSERT_GE(ms, 0);
        best = std::min(best, ms);
    }
    EXPECT_EQ(best, 0);
}

TEST(SystemNetworkProbeEcho, TwoHundredConcurrentEchoesAllGetReplies) {
    SKIP_WITHOUT_ECHOES();
    std::vector<std::string> addresses;
    for (int n = 1; n <= 200; ++n) {
        addresses.push_back(LoopbackAddress(n % 2 == 0 ? 3 : 4, n));
    }
    const std::vector<int> results = EchoAllAtOnce(addresses, 5000);
    for (size_t i = 0; i < addresses.size(); ++i) {
        EXPECT_GE(results[i], 0) << addresses[i];
    }
}

// --- In a namespace of our own, where some addresses never answer. ---
//
// The checks run in a re-executed child process ("threadsafe" death tests), so
// that its socket kind is decided afresh under the conditions the test sets.

// Exit codes of the child: 0 when every check holds.
enum ChildResult {
    kChildOk = 0,
    kChildSetupFailed = 10,
    kChildWrongKind = 11,
    kChildWrongResult = 12
};

// Half the addresses answer (127.0.8.x), half are dropped (127.0.9.x); all are
// asked at once. A call that took somebody else's reply shows as a dropped
// address with a time.
int MixedConcurrentEchoes(bool ping_sockets) {
    if (!IsolatedNetwork::Enter() || !IsolatedNetwork::DropEchoRequestsTo(9) ||
        !IsolatedNetwork::AllowPingSockets(ping_sockets)) {
        return kChildSetupFailed;
    }
    if (IcmpEchoSocket::ProcessKind() != (ping_sockets ? Kind::kPing : Kind::kRaw)) {
        return kChildWrongKind;
    }
    std::vector<std::string> addresses;
    for (int n = 1; n <= 100; ++n) {
        addresses.push_back(LoopbackAddress(8, n));
        addresses.push_back(LoopbackAddress(9, n));
    }
    const std::vector<int> results = EchoAllAtOnce(addresses, kShortTimeoutMs);
    for (size_t i = 0; i < addresses.size(); ++i) {
        const bool answers = addresses[i].starts_with("127.0.8.");
        if ((results[i] >= 0) != answers) {
            std::fprintf(stderr, "%s gave %d\n", addresses[i].c_str(), results[i]);
            return kChildWrongResult;
        }
    }
    return kChildOk;
}

class SystemNetworkProbeIsolated : public ::testing::TestWithParam<bool> {};

TEST_P(SystemNetworkProbeIsolated, EachConcurrentEchoGetsOnlyItsOwnReply) {
    SKIP_WITHOUT_ISOLATED_NETWORK();
    EXPECT_EXIT(std::_Exit(MixedConcurrentEchoes(GetParam())), ::testing::ExitedWithCode(kChildOk),
                "");
}

INSTANTIATE_TEST_SUITE_P(SystemNetworkProbeKinds, SystemNetworkProbeIsolated,
                         ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "PingSocket" : "RawSocket"; });

int UnansweredEchoTimesOut() {
    if (!IsolatedNetwork::Enter() || !IsolatedNetwork::DropEchoRequestsTo(9)) {
        return kChildSetupFailed;
    }
    const auto start = std::chrono::steady_clock::now();
    const int ms = SystemNetworkProbe().EchoOnce("127.0.9.1", kShortTimeoutMs);
    const auto waited = std::chrono::steady_clock::now() - start;
    // The wait must last the whole time-out, and end soon after it.
    const bool timed_out = ms == -1 && waited >= std::chrono::milliseconds(kShortTimeoutMs) &&
                           waited < std::chrono::seconds(5);
    return timed_out ? kChildOk : kChildWrongResult;
}

TEST(SystemNetworkProbeTimeout, UnansweredEchoFailsAfterTheTimeout) {
    SKIP_WITHOUT_ISOLATED_NETWORK();
    EXPECT_EXIT(std::_Exit(UnansweredEchoTimesOut()), ::testing::ExitedWithCode(kChildOk), "");
}

// Neither socket kind allowed: every call fails, and the advice how to allow
// them is printed once however many workers ask at the same time.
int EchoesWithoutAnySocketKind() {
    if (!IsolatedNetwork::Enter() || !IsolatedNetwork::AllowPingSockets(false) ||
        !IsolatedNetwork::DropRawSocketCapability()) {
        return kChildSetupFailed;
    }
    std::FILE* captured = std::tmpfile();
    if (captured == nullptr) {
        return kChildSetupFailed;
    }
    std::fflush(stderr);
    const int saved_stderr = dup(STDERR_FILENO);
    dup2(fileno(captured), STDERR_FILENO);
    const std::vector<int> results =
        EchoAllAtOnce(std::vector<std::string>(20, "127.0.0.1"), kShortTimeoutMs);
    std::fflush(stderr);
    dup2(saved_stderr, STDERR_FILENO);

    std::rewind(captured);
    std::string text;
    for (int c; (c = std::fgetc(captured)) != EOF;) {
        text.push_back(static_cast<char>(c));
    }
    size_t advice_count = 0;
    for (size_t at = text.find("ping_group_range"); at != std::string::npos;
         at = text.find("ping_group_range", at + 1)) {
        ++advice_count;
    }
    const bool all_failed =
        std::all_of(results.begin(), results.end(), [](int ms) { return ms == -1; });
    const bool ok = all_failed && advice_count == 1 &&
                    text.find("cap_net_raw") != std::string::npos &&
                    IcmpEchoSocket::ProcessKind() == Kind::kNone;
    if (!ok) {
        std::fprintf(stderr, "captured: %s\n", text.c_str());
    }
    return ok ? kChildOk : kChildWrongResult;
}

TEST(SystemNetworkProbeNoFacility, FailsAndSaysOnceHowToAllowPing) {
    SKIP_WITHOUT_ISOLATED_NETWORK();
    EXPECT_EXIT(std::_Exit(EchoesWithoutAnySocketKind()), ::testing::ExitedWithCode(kChildOk), "");
}

}  // namespace
}  // namespace quillark
