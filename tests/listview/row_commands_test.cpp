#include "listview/row_commands.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

#include "listview/row_lock.h"

namespace quillark {
namespace {

class FakeLauncher : public ProcessLauncher {
  public:
    std::set<std::string> programs;
    std::map<std::string, std::string> environment;
    std::vector<std::vector<std::string>> started;
    bool startResult = true;

    bool Start(const std::vector<std::string>& argv) override {
        started.push_back(argv);
        return startResult;
    }
    std::string FindProgram(const std::string& name) const override {
        if (name.find('/') != std::string::npos) {
            return programs.count(name) ? name : std::string();
        }
        return programs.count(name) ? "/usr/bin/" + name : std::string();
    }
    std::string GetEnvironment(const std::string& name) const override {
        auto found = environment.find(name);
        return found == environment.end() ? std::string() : found->second;
    }
};

TEST(RowCommands, CommandLinesAreBuiltAsThePartSays) {
    EXPECT_EQ(ContinuousPingCommandLine("hn1.lol.example"), "ping hn1.lol.example -t");
    EXPECT_EQ(ContinuousPingCommandLine(""), "ping  -t");
    EXPECT_EQ(TraceRouteCommandLine("hn1.lol.example"), "tracert hn1.lol.example");
    EXPECT_EQ(TraceRouteCommandLine(""), "tracert ");
    EXPECT_EQ(BrowserCommand(), "xdg-open");
}

TEST(RowCommands, PingRunsContinuouslyInTheFirstTerminalFound) {
    FakeLauncher launcher;
    launcher.programs = {"ping", "xterm", "konsole"};
    ASSERT_TRUE(RunCommandLine(ContinuousPingCommandLine("hn1.lol.example"), launcher));
    ASSERT_EQ(launcher.started.size(), 1u);
    EXPECT_EQ(launcher.started[0], (std::vector<std::string>{"/usr/bin/konsole", "-e",
                                                             "/usr/bin/ping", "hn1.lol.example"}));
}

TEST(RowCommands, TerminalChoiceAndItsArguments) {
    struct Case {
        std::set<std::string> programs;
        std::string terminalVariable;
        std::vector<std::string> prefix;
    } cases[] = {
        {{"xterm", "gnome-terminal", "my-term"}, "my-term", {"/usr/bin/my-term", "-e"}},
        {{"xterm", "gnome-terminal"}, "absent-term", {"/usr/bin/gnome-terminal", "--"}},
        {{"xterm", "x-terminal-emulator"}, "", {"/usr/bin/x-terminal-emulator", "-e"}},
        {{"xterm", "xfce4-terminal"}, "", {"/usr/bin/xfce4-terminal", "-x"}},
        {{"xterm"}, "", {"/usr/bin/xterm", "-e"}},
    };
    for (const Case& c : cases) {
        FakeLauncher launcher;
        launcher.programs = c.programs;
        launcher.programs.insert("traceroute");
        if (!c.terminalVariable.empty()) {
            launcher.environment["TERMINAL"] = c.terminalVariable;
        }
        std::vector<std::string> expected = c.prefix;
        expected.push_back("/usr/bin/traceroute");
        expected.push_back("10.0.0.1");
        EXPECT_EQ(CommandLineArgv(TraceRouteCommandLine("10.0.0.1"), launcher), expected);
    }
}

TEST(RowCommands, RouteTraceFallsBackToTracepathThenMtr) {
    FakeLauncher launcher;
    launcher.programs = {"xterm", "mtr", "tracepath"};
    EXPECT_EQ(CommandLineArgv("tracert a.example", launcher)[2], "/usr/bin/tracepath");
    launcher.programs = {"xterm", "mtr"};
    EXPECT_EQ(CommandLineArgv("tracert a.example", launcher)[2], "/usr/bin/mtr");
    launcher.programs = {"xterm"};
    EXPECT_TRUE(CommandLineArgv("tracert a.example", launcher).empty());
    launcher.programs = {"traceroute"};  // no terminal
    EXPECT_FALSE(RunCommandLine("tracert a.example", launcher));
    EXPECT_TRUE(launcher.started.empty());
}

TEST(RowCommands, HostileOrEmptyHostsStartNothing) {
    FakeLauncher launcher;
    launcher.programs = {"ping", "traceroute", "xterm", "xdg-open"};
    const char* hosts[] = {
        "",
        "-f",
        "--help",
        "a.example; rm -rf ~",
        "a.example -c 1",
        "$(reboot)",
        "a.example\n",
        "`id`",
        "a|b",
        "\xB2\xE2\xCA\xD4",  // GBK text
        "a.example -t",
    };
    for (const char* host : hosts) {
        EXPECT_FALSE(RunCommandLine(ContinuousPingCommandLine(host), launcher)) << host;
        EXPECT_FALSE(RunCommandLine(TraceRouteCommandLine(host), launcher)) << host;
    }
    EXPECT_FALSE(RunCommandLine("ping", launcher));
    EXPECT_FALSE(RunCommandLine("rm -rf /", launcher));
    EXPECT_FALSE(RunCommandLine("xdg-open -x", launcher));
    EXPECT_FALSE(RunCommandLine("xdg-open file:///etc/passwd", launcher));
    EXPECT_FALSE(RunCommandLine("xdg-open http://a b", launcher));
    EXPECT_TRUE(launcher.started.empty());
}

TEST(RowCommands, PlainHostNames) {
    EXPECT_TRUE(IsPlainHostName("hn1-lol.example.com"));
    EXPECT_TRUE(IsPlainHostName("101.226.76.10"));
    EXPECT_FALSE(IsPlainHostName("-a"));
    EXPECT_FALSE(IsPlainHostName("a_b"));
    EXPECT_FALSE(IsPlainHostName(std::string(254, 'a')));
}

TEST(RowCommands, BrowserOpensPlainWebAddresses) {
    FakeLauncher launcher;
    launcher.programs = {"xdg-open"};
    const std::string commandLine = BrowserCommand() + " " + std::string(kUpdatePageAddress);
    ASSERT_TRUE(RunCommandLine(commandLine, launcher));
    EXPECT_EQ(launcher.started[0],
              (std::vector<std::string>{"/usr/bin/xdg-open", std::string(kUpdatePageAddress)}));
    launcher.startResult = false;
    EXPECT_FALSE(RunCommandLine(commandLine, launcher));
    launcher.programs.clear();
    EXPECT_TRUE(CommandLineArgv(commandLine, launcher).empty());
}

TEST(PosixProcessLauncher, StartsWithoutAShellAndFindsPrograms) {
    PosixProcessLauncher launcher;
    EXPECT_FALSE(launcher.FindProgram("sh").empty());
    EXPECT_TRUE(launcher.FindProgram("no-such-program-quillark").empty());
    EXPECT_FALSE(launcher.Start({"no-such-program-quillark"}));
    EXPECT_FALSE(launcher.Start({}));
    // "true" with a shell metacharacter argument: no shell, so nothing is expanded.
    EXPECT_TRUE(launcher.Start({"true", "; false"}));
}

TEST(RowLock, EnterAndLeaveDoNothingWhileItDoesNotExist) {
    row_lock::Delete();
    EXPECT_FALSE(row_lock::Exists());
    row_lock::Enter();
    row_lock::Leave();
    row_lock::Create();
    EXPECT_TRUE(row_lock::Exists());
    row_lock::Enter();
    row_lock::Enter();  // recursive, like a critical section
    row_lock::Delete();
    row_lock::Leave();
    row_lock::Leave();
    row_lock::Create();
    std::thread other([] { row_lock::Guard guard; });
    other.join();
    row_lock::Delete();
}

}  // namespace
}  // namespace quillark
