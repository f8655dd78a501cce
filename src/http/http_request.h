#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "http/cookie_jar.h"
#include "platform/http_component.h"

namespace quillark {

// The program's HTTP client: a thin object over one HttpComponent that adds a
// default method, an "http://" prefix for URLs without a scheme, the host of
// the last opened URL, and optional cookie handling around each send.
//
// Cookie modes: 0 none (the default); 1 the object's own jar, keyed by host;
// 2 the module-wide SharedCookieJar, keyed by host; 3 the process-wide
// PlatformCookieStore, keyed by URL with the usual domain and path rules; any
// other value none.
//
// Failures show as empty results (empty text, 0, false) and a reason from
// LastError on the same thread. An object is used by one thread.
class HttpRequest {
  public:
    HttpRequest();
    // A copy shares the component and gets its own copy of the jar.
    HttpRequest(const HttpRequest& other) = default;
    HttpRequest& operator=(const HttpRequest& other) = default;

    void SetCookieMode(int mode) { cookie_mode_ = mode; }
    int CookieMode() const { return cookie_mode_; }
    // Drops the component; every later call on it fails.
    void ClearObject() { http_.reset(); }
    static std::string LastError();
    bool IsCreated() const { return http_ != nullptr; }
    std::shared_ptr<HttpComponent> AutomationObject() const { return http_; }

    long Status() const;
    std::string StatusText() const;
    std::string ResponseText() const;
    std::string ResponseBody() const;
    std::shared_ptr<std::istream> ResponseStream() const;
    // Writes the value when one is given, then reads the option back.
    HttpValue Option(int index, const std::optional<HttpValue>& value = std::nullopt);
    bool SetProxy(int setting = kHttpProxyDirect, std::string_view server = {},
                  std::string_view bypass_list = {});
    bool SetCredentials(std::string_view user, std::string_view password, int flags = 0);

    // An empty method means GET; a URL that does not begin with "http" (letter
    // case aside) gets "http://" in front. Both are written back into the
    // caller's variables. Host and URL are kept even when opening fails.
    bool Open(std::string& method, std::string& url, bool asynchronous = false);
    bool Open(std::string_view method, std::string_view url, bool asynchronous = false);
    bool Open(std::string_view url);
    bool SetRequestHeader(std::string_view name, std::string_view value);
    std::string GetResponseHeader(std::string_view name) const;
    std::string GetAllResponseHeaders() const;
    bool Send();
    bool Send(std::string_view body);
    bool SendBytes();
    bool SendBytes(std::string_view body);
    bool WaitForResponse(long timeout_seconds = 0);
    void Abort();
    bool SetTimeouts(long resolve_ms, long connect_ms, long send_ms, long receive_ms);
    bool SetClientCertificate(std::string_view certificate_file);
    bool SetAutoLogonPolicy(int policy);

    // The value of cookie `name` in the last response's "Set-Cookie: name=" or
    // "Set-Cookie:name=" header (exact letter case), up to ";" or the line end.
    std::string GetCookieValue(std::string_view name) const;
    // Every "Set-Cookie:" header line of the last response, each ended by CR LF.
    std::string GetSetCookieLines() const;

    // The host part of a URL: what follows an optional scheme, up to the first
    // "/" or ":".
    static std::string HostFromUrl(std::string_view url);

    const std::string& Host() const { return host_; }
    const std::string& Url() const { return url_; }
    CookieJar& Jar() { return jar_; }

  private:
    bool SendWith(std::optional<std::string_view> body);
    void ApplyCookies();
    void CaptureCookies();
    void ApplyPlatformCookies(const std::string& target);
    void CapturePlatformCookies(const std::string& target);

    std::shared_ptr<HttpComponent> http_;
    CookieJar jar_;
    int cookie_mode_ = 0;
    std::string host_;
    std::string url_;
};

}  // namespace quillark
