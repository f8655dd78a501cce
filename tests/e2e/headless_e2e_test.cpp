// The whole program against the fixture server: the headless front end's TSV
// of a crafted catalogue, with real HTTP and real echoes to loopback hosts.
#include <gtest/gtest.h>

#include <regex>
#include <sstream>

#include "child_process.h"
#include "platform/icmp_echo_socket.h"

namespace quillark {
namespace {

using testing::FixtureServer;
using testing::RunChild;

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

TEST(HeadlessEndToEnd, OncePrintsTheSortedColouredListOfTheFirstPass) {
    if (IcmpEchoSocket::ProcessKind() == IcmpEchoSocket::Kind::kNone) {
        GTEST_SKIP() << "no ICMP echoes for this process (run as root or widen ping_group_range)";
    }
    FixtureServer server(QUILLARK_TEST_DATA "/e2e");
    ASSERT_FALSE(server.BaseUrl().empty());
    testing::ChildResult run =
        RunChild({QUILLARK_BINARY, "--headless", "--once", "--format", "tsv"},
                 {"QUILLARK_ENDPOINTS=" + server.BaseUrl()});
    ASSERT_EQ(run.exit_code, 0) << run.output;

    // Latencies vary; everything else is exact. Sorted by display name.
    const std::vector<std::string> expected = {
        "0\t#000000\t电信01区 \t艾欧尼亚\t127.0.0.3\t127.0.0.3\tLATENCY\t正常\t中国华东 - "
        "浙江省杭州市西湖区电信",
        "0\t#FF8000\t电信02区 \t祖安\t127.0.0.2\t127.0.0.2\tLATENCY\t拥挤\t中国 - 天津市天津市联通",
        "0\t#808080\t电信19区 \t均衡教派\t127.0.0.4\t127.0.0.4\tLATENCY\t停机\t中国 - ",
        "1\t#FF0000\t网通10区 \t德玛西亚\tno-such-host.invalid\t\t...\t满载\t获取地理位置失败!",
    };
    const std::vector<std::string> lines = Lines(run.output);
    ASSERT_EQ(lines.size(), expected.size()) << run.output;
    const std::regex latency("\t[0-9]+ms\t");
    for (size_t i = 0; i < lines.size(); ++i) {
        EXPECT_EQ(std::regex_replace(lines[i], latency, "\tLATENCY\t"), expected[i]);
    }
}

TEST(HeadlessEndToEnd, UnreachableServicesGiveAnEmptyList) {
    // Nothing listens on port 9 of loopback: no catalogue, no rows, exit 0.
    testing::ChildResult run =
        RunChild({QUILLARK_BINARY, "--headless", "--once", "--format", "json"},
                 {"QUILLARK_ENDPOINTS=http://127.0.0.1:9"});
    EXPECT_EQ(run.exit_code, 0);
    EXPECT_EQ(run.output, "[]\n");
}

TEST(HeadlessEndToEnd, AnswersHelpAndRejectsBadArguments) {
    testing::ChildResult help = RunChild({QUILLARK_BINARY, "--help"});
    EXPECT_EQ(help.exit_code, 0);
    EXPECT_NE(help.output.find("--headless"), std::string::npos);
    testing::ChildResult bad = RunChild({QUILLARK_BINARY, "--headless", "--format", "xml"});
    EXPECT_EQ(bad.exit_code, 2);
}

}  // namespace
}  // namespace quillark
