#pragma once

// Runs the program's executables from end-to-end tests: a command with its
// standard output captured, and the fixture server in the background.

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

extern char** environ;

namespace quillark::testing {

struct ChildResult {
    int exit_code = -1;
    std::string output;
};

// Starts `args` with `extra_env` ("NAME=value") added to the environment;
// `out_fd` receives the read end of its standard output.
inline pid_t SpawnWithPipe(const std::vector<std::string>& args,
                           const std::vector<std::string>& extra_env, int& out_fd) {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) {
        return -1;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
    std::vector<std::string> env_storage;
    for (char** e = environ; *e != nullptr; ++e) {
        env_storage.emplace_back(*e);
    }
    env_storage.insert(env_storage.end(), extra_env.begin(), extra_env.end());
    std::vector<char*> env;
    for (std::string& e : env_storage) {
        env.push_back(e.data());
    }
    env.push_back(nullptr);
    std::vector<std::string> arg_storage = args;
    std::vector<char*> argv;
    for (std::string& a : arg_storage) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);
    pid_t pid = -1;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), env.data()) != 0) {
        pid = -1;
    }
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    if (pid == -1) {
        close(fds[0]);
        return -1;
    }
    out_fd = fds[0];
    return pid;
}

inline ChildResult RunChild(const std::vector<std::string>& args,
                            const std::vector<std::string>& extra_env = {}) {
    ChildResult result;
    int out_fd = -1;
    pid_t pid = SpawnWithPipe(args, extra_env, out_fd);
    if (pid == -1) {
        return result;
    }
    char buffer[4096];
    ssize_t n;
    while ((n = read(out_fd, buffer, sizeof buffer)) > 0) {
        result.output.append(buffer, static_cast<size_t>(n));
    }
    close(out_fd);
    int status = 0;
    waitpid(pid, &status, 0);
    result.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

// The fixture server over one data folder, on a port of its choosing.
class FixtureServer {
  public:
    explicit FixtureServer(const std::string& data_dir) {
        pid_ = SpawnWithPipe(
            {QUILLARK_FIXTURE_SERVER, "--data", data_dir, "--port", "0", "--seconds", "300"}, {},
            out_fd_);
        if (pid_ == -1) {
            return;
        }
        std::string line;
        char c;
        while (read(out_fd_, &c, 1) == 1 && c != '\n') {
            line += c;
        }
        if (line.rfind("listening ", 0) == 0) {
            base_url_ = "http://127.0.0.1:" + line.substr(10);
        }
    }
    ~FixtureServer() {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
            close(out_fd_);
        }
    }
    FixtureServer(const FixtureServer&) = delete;
    FixtureServer& operator=(const FixtureServer&) = delete;

    // "http://127.0.0.1:PORT", empty when the server did not start.
    const std::string& BaseUrl() const { return base_url_; }

  private:
    pid_t pid_ = -1;
    int out_fd_ = -1;
    std::string base_url_;
};

}  // namespace quillark::testing
