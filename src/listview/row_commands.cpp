#include "listview/row_commands.h"

namespace quillark {
namespace {

constexpr std::string_view kPingPrefix = "ping ";
constexpr std::string_view kPingSuffix = " -t";
constexpr std::string_view kTracePrefix = "tracert ";

bool IsAsciiLetterOrDigit(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

std::string BaseName(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The terminal emulator and the arguments that make it run a program.
std::vector<std::string> TerminalPrefix(const ProcessLauncher& launcher) {
    std::vector<std::string> candidates;
    const std::string preferred = launcher.GetEnvironment("TERMINAL");
    if (!preferred.empty()) {
        candidates.push_back(preferred);
    }
    for (const char* name :
         {"x-terminal-emulator", "gnome-terminal", "konsole", "xfce4-terminal", "xterm"}) {
        candidates.emplace_back(name);
    }
    for (const std::string& candidate : candidates) {
        const std::string path = launcher.FindProgram(candidate);
        if (path.empty()) {
            continue;
        }
        const std::string name = BaseName(path);
        if (name == "gnome-terminal") {
            return {path, "--"};
        }
        if (name == "xfce4-terminal") {
            return {path, "-x"};
        }
        return {path, "-e"};  // x-terminal-emulator (Debian policy), konsole, xterm, $TERMINAL
    }
    return {};
}

std::vector<std::string> InTerminal(const ProcessLauncher& launcher, const std::string& tool,
                                    std::string_view host) {
    std::vector<std::string> argv = TerminalPrefix(launcher);
    if (argv.empty() || tool.empty()) {
        return {};
    }
    argv.push_back(tool);
    argv.emplace_back(host);
    return argv;
}

}  // namespace

std::string ContinuousPingCommandLine(std::string_view host) {
    return std::string(kPingPrefix) + std::string(host) + std::string(kPingSuffix);
}

std::string TraceRouteCommandLine(std::string_view host) {
    return std::string(kTracePrefix) + std::string(host);
}

std::string BrowserCommand() {
    return "xdg-open";
}

bool IsPlainHostName(std::string_view host) {
    if (host.empty() || host.size() > 253 || host.front() == '-') {
        return false;
    }
    for (char c : host) {
        if (!IsAsciiLetterOrDigit(c) && c != '.' && c != '-') {
            return false;
        }
    }
    return true;
}

bool IsPlainWebAddress(std::string_view address) {
    if (!(address.starts_with("http://") || address.starts_with("https://")) ||
        address.size() > 2048) {
        return false;
    }
    for (char c : address) {
        if (c <= 0x20 || c >= 0x7F) {
            return false;
        }
    }
    return true;
}

std::vector<std::string> CommandLineArgv(std::string_view commandLine,
                                         const ProcessLauncher& launcher) {
    if (commandLine.starts_with(kPingPrefix) && commandLine.ends_with(kPingSuffix) &&
        commandLine.size() >= kPingPrefix.size() + kPingSuffix.size()) {
        const std::string_view host = commandLine.substr(
            kPingPrefix.size(), commandLine.size() - kPingPrefix.size() - kPingSuffix.size());
        if (!IsPlainHostName(host)) {
            return {};
        }
        // Linux ping repeats until it is stopped; its -t would set the TTL.
        return InTerminal(launcher, launcher.FindProgram("ping"), host);
    }
    if (commandLine.starts_with(kTracePrefix)) {
        const std::string_view host = commandLine.substr(kTracePrefix.size());
        if (!IsPlainHostName(host)) {
            return {};
        }
        for (const char* tool : {"traceroute", "tracepath", "mtr"}) {
            const std::string path = launcher.FindProgram(tool);
            if (!path.empty()) {
                return InTerminal(launcher, path, host);
            }
        }
        return {};
    }
    const std::string browserPrefix = BrowserCommand() + " ";
    if (commandLine.starts_with(browserPrefix)) {
        const std::string_view address = commandLine.substr(browserPrefix.size());
        const std::string browser = launcher.FindProgram(BrowserCommand());
        if (!IsPlainWebAddress(address) || browser.empty()) {
            return {};
        }
        return {browser, std::string(address)};
    }
    return {};
}

bool RunCommandLine(std::string_view commandLine, ProcessLauncher& launcher) {
    const std::vector<std::string> argv = CommandLineArgv(commandLine, launcher);
    return !argv.empty() && launcher.Start(argv);
}

}  // namespace quillark
