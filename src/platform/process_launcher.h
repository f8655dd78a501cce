#pragma once

// Starting programs: argv-based, never through a shell. The row commands of
// use this; tests inject a recording launcher.

#include <string>
#include <vector>

namespace quillark {

class ProcessLauncher {
  public:
    virtual ~ProcessLauncher() = default;
    // Starts argv[0] with the arguments argv[1...]: no shell, the program's
    // environment and current directory, no descriptors but 0-2 inherited,
    // not waited for. False when the program cannot be started.
    virtual bool Start(const std::vector<std::string>& argv) = 0;
    // The path of an executable program: `name` itself when it contains a
    // slash, else the first match in PATH; empty when there is none.
    virtual std::string FindProgram(const std::string& name) const = 0;
    // An environment variable, empty when unset.
    virtual std::string GetEnvironment(const std::string& name) const = 0;
};

// posix_spawn; each started child is reaped by a detached thread.
class PosixProcessLauncher : public ProcessLauncher {
  public:
    bool Start(const std::vector<std::string>& argv) override;
    std::string FindProgram(const std::string& name) const override;
    std::string GetEnvironment(const std::string& name) const override;
};

}  // namespace quillark
