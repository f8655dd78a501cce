#pragma once

// A real HTTP server on 127.0.0.1 for tests, on a port the system picks.
// Register handlers on server() before Start().

#include <arpa/inet.h>
#include <httplib.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <string_view>
#include <thread>

namespace quillark::testing {

class LoopbackHttpServer {
  public:
    LoopbackHttpServer() : port_(server_.bind_to_any_port("127.0.0.1")) {}
    ~LoopbackHttpServer() {
        server_.stop();
        if (thread_.joinable()) {
            thread_.join();
        }
    }

    httplib::Server& server() { return server_; }
    // The socket already listens; connections made before the loop runs wait in its backlog.
    // Returns once the loop runs: stop() before that point would be lost and
    // leave the loop (and the destructor's join) waiting for ever.
    void Start() {
        thread_ = std::thread([this] { server_.listen_after_bind(); });
        while (!server_.is_running()) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
    int port() const { return port_; }
    std::string HostPort() const { return "127.0.0.1:" + std::to_string(port_); }
    std::string Url(std::string_view path) const {
        return "http://" + HostPort() + std::string(path);
    }

  private:
    httplib::Server server_;
    int port_;
    std::thread thread_;
};

// Answers every connection with the same raw bytes and closes it, for
// responses an ordinary server library will not write (such as a header name
// with no space after its colon).
class RawHttpResponder {
  public:
    explicit RawHttpResponder(std::string response);
    ~RawHttpResponder();
    std::string Url(std::string_view path) const {
        return "http://127.0.0.1:" + std::to_string(port_) + std::string(path);
    }

  private:
    std::string response_;
    int listener_ = -1;
    int port_ = 0;
    std::thread thread_;
};

inline RawHttpResponder::RawHttpResponder(std::string response) : response_(std::move(response)) {
    listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof(address));
    socklen_t length = sizeof(address);
    ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
    port_ = ntohs(address.sin_port);
    ::listen(listener_, 8);
    thread_ = std::thread([this] {
        while (true) {
            const int client = ::accept(listener_, nullptr, nullptr);
            if (client < 0) {
                return;
            }
            std::string request;
            char buffer[4096];
            while (request.find("\r\n\r\n") == std::string::npos) {
                const ssize_t got = ::recv(client, buffer, sizeof(buffer), 0);
                if (got <= 0) {
                    break;
                }
                request.append(buffer, static_cast<size_t>(got));
            }
            ::send(client, response_.data(), response_.size(), MSG_NOSIGNAL);
            ::shutdown(client, SHUT_RDWR);
            ::close(client);
        }
    });
}

inline RawHttpResponder::~RawHttpResponder() {
    ::shutdown(listener_, SHUT_RDWR);  // wakes the blocked accept
    thread_.join();
    ::close(listener_);
}

}  // namespace quillark::testing
