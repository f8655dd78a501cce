#include "platform/process_launcher.h"

#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <thread>

extern char** environ;

namespace quillark {
namespace {

bool IsExecutableFile(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
           access(path.c_str(), X_OK) == 0;
}

}  // namespace

bool PosixProcessLauncher::Start(const std::vector<std::string>& argv) {
    if (argv.empty() || argv[0].empty()) {
        return false;
    }
    const std::string program = FindProgram(argv[0]);
    if (program.empty()) {
        return false;
    }
    std::vector<char*> arguments;
    arguments.reserve(argv.size() + 1);
    for (const std::string& argument : argv) {
        arguments.push_back(const_cast<char*>(argument.c_str()));
    }
    arguments.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    // No handle inheritance: only standard input, output and error pass on.
    posix_spawn_file_actions_addclosefrom_np(&actions, 3);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    // A process group of its own, so the terminal's Ctrl+C never reaches us.
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attributes, 0);

    pid_t child = 0;
    const int error =
        posix_spawn(&child, program.c_str(), &actions, &attributes, arguments.data(), environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    if (error != 0) {
        return false;
    }
    std::thread([child] {
        int status = 0;
        while (waitpid(child, &status, 0) == -1 && errno == EINTR) {
        }
    }).detach();
    return true;
}

std::string PosixProcessLauncher::FindProgram(const std::string& name) const {
    if (name.empty()) {
        return {};
    }
    if (name.find('/') != std::string::npos) {
        return IsExecutableFile(name) ? name : std::string();
    }
    const char* path = std::getenv("PATH");
    std::string directories = path != nullptr ? path : "/usr/local/bin:/usr/bin:/bin";
    size_t start = 0;
    while (start <= directories.size()) {
        size_t end = directories.find(':', start);
        if (end == std::string::npos) {
            end = directories.size();
        }
        std::string directory = directories.substr(start, end - start);
        if (directory.empty()) {
            directory = ".";
        }
        const std::string candidate = directory + "/" + name;
        if (IsExecutableFile(candidate)) {
            return candidate;
        }
        start = end + 1;
    }
    return {};
}

std::string PosixProcessLauncher::GetEnvironment(const std::string& name) const {
    const char* value = std::getenv(name.c_str());
    return value != nullptr ? value : std::string();
}

}  // namespace quillark
