// A test pass, timed: the real pass over a list with one row per address, one
// worker thread per row, all started at once, each sending one echo with the
// pass's time-out. The time runs from the start of the pass to the moment its
// last worker has written its row.
//
// With addresses on the command line it only measures (scripts/bench-pass.sh
// compares it with fping). Without, it measures a pass over 300 loopback
// addresses and, when fping is installed, fping -c1 -i 1 on the same addresses.

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "latency/test_pass.h"
#include "listview/memory_list_control.h"
#include "listview/row_lock.h"
#include "listview/server_list_columns.h"
#include "platform/icmp_echo_socket.h"
#include "platform/system_network_probe.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

struct Options {
    int timeout_ms = quillark::NetworkProbe::kDefaultEchoTimeoutMs;
    int passes = 1;
    bool print_values = false;
    std::vector<std::string> addresses;
};

struct PassResult {
    double elapsed_ms = 0;
    int replies = 0;
    std::vector<int> values;  // per address, -1 for no reply
};

void PrintHelp() {
    std::puts(
        "usage: bench_pass_probe [--timeout-ms MS] [--passes K] [--print-values] [ADDRESS...]\n"
        "Runs K passes (default 1); each starts one thread per ADDRESS at once, every thread\n"
        "sending one ICMP echo with a time-out of MS (default 10000), and prints\n"
        "  pass_ms ELAPSED replies R/N      per pass (start of the pass to the last answer)\n"
        "  echo ADDRESS MS                  per address with --print-values (-1: no reply)\n"
        "  median_pass_ms ELAPSED           at the end\n"
        "Without ADDRESS it uses the 300 loopback addresses 127.0.1.1 to 127.0.2.44, runs 5\n"
        "passes and compares them with 'fping -c1 -i 1' of the same addresses when fping is\n"
        "installed, printing 'ratio pass_vs_fping_i1_300 VALUE'. Needs root or a ping group.");
}

bool ParseNumber(const char* text, int low, int& value) {
    char* end = nullptr;
    const long parsed = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || parsed < low || parsed > 3600000) {
        return false;
    }
    value = static_cast<int>(parsed);
    return true;
}

// 0 to run, 1 for a usage error, 2 after --help.
int ParseOptions(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool has_value = i + 1 < argc;
        if (arg == "--help" || arg == "-h") {
            PrintHelp();
            return 2;
        } else if (arg == "--timeout-ms" && has_value &&
                   ParseNumber(argv[++i], 1, options.timeout_ms)) {
        } else if (arg == "--passes" && has_value && ParseNumber(argv[++i], 1, options.passes)) {
        } else if (arg == "--print-values") {
            options.print_values = true;
        } else if (!arg.starts_with("-")) {
            options.addresses.push_back(arg);
        } else {
            std::fprintf(stderr, "bench_pass_probe: bad argument '%s' (see --help)\n", arg.c_str());
            return 1;
        }
    }
    return 0;
}

// 127.0.1.1 onwards, counted as 32-bit numbers: 300 give 127.0.1.1 to 127.0.2.44.
// In 127.0.0.0/8 every one of them, .0 and .255 included, is an ordinary host.
std::vector<std::string> LoopbackAddresses(int count) {
    std::vector<std::string> addresses;
    for (int n = 0; n < count; ++n) {
        const int host = 257 + n;
        addresses.push_back("127." + std::to_string(host >> 16) + "." +
                            std::to_string((host >> 8) & 0xFF) + "." + std::to_string(host & 0xFF));
    }
    return addresses;
}

double MillisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Region states are not what is measured here: every region is "normal".
class FixedStatus : public quillark::RegionStatusSource {
  public:
    bool FetchRegionStatus() override { return true; }
    std::string LookupRegionStatus(const std::string&) const override { return "ok"; }
    std::uint32_t StatusColour(const std::string&) const override { return 0; }
};

// Reads the latency cell back: "12ms" is 12, "..." (no reply) is -1.
int LatencyOf(const std::string& cell) {
    if (cell.size() < 3 || cell.compare(cell.size() - 2, 2, "ms") != 0) {
        return -1;
    }
    return std::atoi(cell.c_str());
}

// One real test pass over a list whose rows have the addresses as hosts.
PassResult RunPass(const std::vector<std::string>& addresses, int timeout_ms) {
    const quillark::SystemNetworkProbe probe;
    quillark::MemoryListControl list;
    for (const std::string& address : addresses) {
        const int row = list.InsertRow("region", 2);
        list.SetCellText(row, quillark::server_list::kColumnHost, address);
    }
    FixedStatus status;
    quillark::WorkerTracker tracker;
    quillark::TestPass pass(list, status, probe, tracker, timeout_ms);

    const Clock::time_point start = Clock::now();
    pass.StartTestPass();
    tracker.WaitIdle(std::chrono::hours(1));
    PassResult result;
    result.elapsed_ms = MillisecondsSince(start);
    for (size_t row = 0; row < addresses.size(); ++row) {
        result.values.push_back(LatencyOf(
            list.GetCellText(static_cast<int>(row), quillark::server_list::kColumnLatency)));
    }
    result.replies = static_cast<int>(
        std::count_if(result.values.begin(), result.values.end(), [](int ms) { return ms >= 0; }));
    return result;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 != 0 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

double RunPasses(const Options& options) {
    std::vector<double> times;
    for (int pass = 0; pass < options.passes; ++pass) {
        const PassResult result = RunPass(options.addresses, options.timeout_ms);
        std::printf("pass_ms %.3f replies %d/%zu\n", result.elapsed_ms, result.replies,
                    options.addresses.size());
        for (size_t i = 0; options.print_values && i < options.addresses.size(); ++i) {
            std::printf("echo %s %d\n", options.addresses[i].c_str(), result.values[i]);
        }
        times.push_back(result.elapsed_ms);
    }
    const double median = Median(times);
    std::printf("median_pass_ms %.3f\n", median);
    return median;
}

// Wall time of one `fping -c1 -q -i 1` over the addresses, or a negative value
// when fping cannot be run.
double TimeFping(const std::vector<std::string>& addresses) {
    std::vector<std::string> words = {"fping", "-c1", "-q", "-i", "1"};
    words.insert(words.end(), addresses.begin(), addresses.end());
    std::vector<char*> argv;
    for (std::string& word : words) {
        argv.push_back(word.data());
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t quiet;
    posix_spawn_file_actions_init(&quiet);
    posix_spawn_file_actions_addopen(&quiet, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&quiet, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    const Clock::time_point start = Clock::now();
    pid_t child = 0;
    const int spawned = posix_spawnp(&child, "fping", &quiet, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&quiet);
    int status = 0;
    if (spawned != 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status) ||
        WEXITSTATUS(status) > 1) {
        return -1;
    }
    return MillisecondsSince(start);
}

int CompareWithFping() {
    Options options;
    options.addresses = LoopbackAddresses(300);
    options.passes = 5;
    const double ours = RunPasses(options);
    std::vector<double> fping_times;
    for (int run = 0; run < options.passes; ++run) {
        const double ms = TimeFping(options.addresses);
        if (ms < 0) {
            std::puts("fping -c1 -i 1 could not run here; no comparison");
            return 0;
        }
        fping_times.push_back(ms);
    }
    const double fping = Median(fping_times);
    std::printf("fping_i1_ms %.3f\n", fping);
    std::printf("ratio pass_vs_fping_i1_300 %.3f\n", ours / fping);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    const int parsed = ParseOptions(argc, argv, options);
    if (parsed != 0) {
        return parsed == 2 ? 0 : 1;
    }
    if (quillark::IcmpEchoSocket::ProcessKind() == quillark::IcmpEchoSocket::Kind::kNone) {
        std::puts("no ICMP echo facility for this process; nothing measured");
        return 0;
    }
    // Workers take the row lock around their writes, as in the program.
    quillark::row_lock::Create();
    if (options.addresses.empty()) {
        return CompareWithFping();
    }
    RunPasses(options);
    return 0;
}
