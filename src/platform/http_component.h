#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <istream>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <variant>
#include <vector>

namespace quillark {

// A value read from or written to an option: nothing, a flag, a number or text.
using HttpValue = std::variant<std::monostate, bool, std::int64_t, std::string>;

// Option indices understood by HttpComponent::Option.
enum HttpOption : int {
    kHttpOptionUserAgent = 0,              // text
    kHttpOptionUrl = 1,                    // text, read only: the URL after redirects
    kHttpOptionSslErrorIgnoreFlags = 4,    // number; non-zero skips certificate checks
    kHttpOptionEnableRedirects = 6,        // flag, default true
    kHttpOptionHttpsToHttpRedirects = 12,  // flag, default false
    kHttpOptionMaxRedirects = 14,          // number, default 10
    kHttpOptionEnableHttp11 = 17,          // flag, default true; false speaks HTTP/1.0
};

// Proxy settings of SetProxy.
enum HttpProxySetting : int {
    kHttpProxyDefault = 0,    // the environment's proxy variables
    kHttpProxyPreconfig = 1,  // the same
    kHttpProxyDirect = 2,     // no proxy (the initial setting)
    kHttpProxyNamed = 3,      // the given proxy server and bypass list
};

// One HTTP request automaton over libcurl: Open a method and URL, set headers,
// Send, then read the response. One object keeps its connections between
// exchanges, so consecutive requests to one server reuse the connection.
//
// Every call reports failure through its result (false, 0, empty text) and
// HttpLastError on the calling thread. With the asynchronous flag of Open,
// Send returns at once and the exchange runs on a thread of the object's own;
// WaitForResponse and Abort then work. Otherwise Send returns when the
// exchange is over. An object is used by one thread at a time.
//
// Limits that keep a hostile server from exhausting memory: a response body
// above kMaxBodyBytes, or headers above kMaxHeaderBytes, fail the exchange.
class HttpComponent {
  public:
    static constexpr size_t kMaxBodyBytes = size_t{64} << 20;
    static constexpr size_t kMaxHeaderBytes = size_t{1} << 20;

    // Nullptr when libcurl cannot make a handle.
    static std::shared_ptr<HttpComponent> Create();
    ~HttpComponent();
    HttpComponent(const HttpComponent&) = delete;
    HttpComponent& operator=(const HttpComponent&) = delete;

    // Starts a new exchange; aborts one still running. Request headers and
    // credentials of the previous exchange are dropped; timeouts, proxy,
    // options and certificate stay.
    bool Open(std::string_view method, std::string_view url, bool asynchronous);
    // Replaces an earlier header of the same name (letter case aside).
    bool SetRequestHeader(std::string_view name, std::string_view value);
    // Without a body, or with a body sent as the given bytes (even when empty).
    bool Send();
    bool Send(std::string_view body);
    // True when the response has arrived; false on failure or when
    // `timeout_seconds` (0 waits indefinitely) pass first.
    bool WaitForResponse(long timeout_seconds);
    // Ends a running exchange; its response members then fail.
    void Abort();

    long Status() const;
    std::string StatusText() const;
    // The body decoded by the charset of Content-Type (UTF-8 when none is
    // given or it is unknown), as GBK text.
    std::string ResponseText() const;
    std::string ResponseBody() const;
    // A stream over a copy of the body; nullptr on failure.
    std::shared_ptr<std::istream> ResponseStream() const;
    // The value of the first header of that name (letter case aside).
    std::string GetResponseHeader(std::string_view name) const;
    // The header lines as received, each ended by CR LF; no status line.
    std::string GetAllResponseHeaders() const;

    // Milliseconds; 0 (or -1) is unlimited. Connect bounds setting up the
    // connection (name resolution included when resolve is unlimited); send
    // and receive bound the silence while sending the request and while
    // waiting for or receiving the response.
    bool SetTimeouts(long resolve_ms, long connect_ms, long send_ms, long receive_ms);
    bool SetProxy(int setting, std::string_view server, std::string_view bypass_list);
    // Flags 0: the server's credentials; 1: the proxy's.
    bool SetCredentials(std::string_view user, std::string_view password, int flags);
    HttpValue Option(int index) const;
    bool SetOption(int index, const HttpValue& value);
    // A PEM file holding the client certificate (and its key) for TLS.
    bool SetClientCertificate(std::string_view certificate_file);
    // Accepted for 0 to 2; no credentials are ever sent automatically.
    bool SetAutoLogonPolicy(int policy);
    int AutoLogonPolicy() const { return auto_logon_policy_; }

    static std::string LastError();

  private:
    enum class Phase { kIdle, kOpened, kRunning, kDone, kFailed };
    struct Handles;

    HttpComponent();

    bool StartSend(std::optional<std::string_view> body);
    bool ConfigureTransfer();
    void RunTransfer();
    void FinishTransfer(bool succeeded, std::string failure);
    bool ResponseReady() const;
    void JoinWorker();
    std::string HeaderValue(std::string_view name) const;

    static size_t OnHeader(char* data, size_t size, size_t count, void* self);
    static size_t OnBody(char* data, size_t size, size_t count, void* self);
    static int OnProgress(void* self, std::int64_t, std::int64_t, std::int64_t,
                          std::int64_t up_now);
    static int OnConnected(void* self, char*, char*, int, int);

    std::unique_ptr<Handles> handles_;

    // Settings that outlive one exchange.
    long connect_timeout_ms_ = 60000;
    long resolve_timeout_ms_ = 0;
    long send_timeout_ms_ = 30000;
    long receive_timeout_ms_ = 30000;
    int proxy_setting_ = kHttpProxyDirect;
    std::string proxy_server_;
    std::string proxy_bypass_;
    std::string user_agent_;
    std::int64_t ssl_ignore_flags_ = 0;
    bool follow_redirects_ = true;
    bool https_to_http_redirects_ = false;
    std::int64_t max_redirects_ = 10;
    bool http11_ = true;
    std::string client_certificate_;
    int auto_logon_policy_ = 0;

    // The exchange being prepared.
    std::string method_;
    std::string url_;
    bool asynchronous_ = false;
    std::vector<std::string> request_headers_;
    std::string user_;
    std::string password_;
    std::string proxy_user_;
    std::string proxy_password_;
    std::optional<std::string> request_body_;

    // The exchange in flight and its response. The transfer writes these; the
    // caller reads them only after seeing kDone under mutex_.
    mutable std::mutex mutex_;
    std::condition_variable finished_;
    Phase phase_ = Phase::kIdle;
    std::thread worker_;
    std::atomic<bool> abort_requested_{false};
    std::string failure_;
    long status_ = 0;
    std::string status_text_;
    std::string headers_;
    bool headers_complete_ = false;
    std::string body_;
    std::string effective_url_;
    std::string transfer_failure_;
    std::chrono::steady_clock::time_point last_activity_;
    bool connected_ = false;
    std::int64_t uploaded_ = 0;
};

}  // namespace quillark
