#pragma once

// Row commands: the command lines, built exactly as the design
// says, and RunCommandLine, which on this platform starts them without a
// shell: the console tools in a terminal emulator, the browser through the
// desktop's default (xdg-open).
//
// RunCommandLine understands only the command lines this program builds
// ("ping " + host + " -t", "tracert " + host, BrowserCommand() + " " +
// address). A host that is not a plain host name, an address that is not a
// plain web address, and any other command line start nothing: text from the
// network can never pass options or commands to a local program.

#include <string>
#include <string_view>
#include <vector>

#include "platform/process_launcher.h"

namespace quillark {

// The address of the update page (the maker's site).
inline constexpr std::string_view kUpdatePageAddress = "https://quillark.example/get";
// The donation line's link target.
inline constexpr std::string_view kDonationAddress = "https://quillark.example/donate";

std::string ContinuousPingCommandLine(std::string_view host);  // "ping " + host + " -t"
std::string TraceRouteCommandLine(std::string_view host);      // "tracert " + host
// The default web browser's command line: "xdg-open".
std::string BrowserCommand();

// Letters, digits, dots and hyphens; not empty; not beginning with "-".
bool IsPlainHostName(std::string_view host);
// "http://" or "https://" followed by visible ASCII only (no blanks, no controls).
bool IsPlainWebAddress(std::string_view address);

// The argv that `commandLine` starts with on this platform; empty when it is
// refused or a program it needs is missing.
std::vector<std::string> CommandLineArgv(std::string_view commandLine,
                                         const ProcessLauncher& launcher);

// Starts the command line (argv from CommandLineArgv). False when it is
// refused or cannot be started; the callers ignore the result.
bool RunCommandLine(std::string_view commandLine, ProcessLauncher& launcher);

}  // namespace quillark
