#include "http/http_request.h"

#include "http/module_state.h"
#include "platform/http_last_error.h"
#include "platform/platform_cookie_store.h"
#include "regex/lite_pattern.h"
#include "text/gbk.h"

namespace quillark {
namespace {

constexpr std::string_view kHostPattern = "(http(s)?://)?([^/:]+)(:(\\d+))?";
constexpr std::string_view kPlatformSetCookiePattern = "Set-Cookie: ?([^=]+)=(.*)?";

bool NoComponent() {
    HttpLastError::Set("The request object holds no HTTP component");
    return false;
}

std::string WithHttpPrefix(std::string_view text) {
    if (gbk::AsciiLower(text.substr(0, 4)) == "http") {
        return std::string(text);
    }
    return "http://" + std::string(text);
}

// The text after `prefix` up to the next ";" or line end; empty when the
// prefix is absent or nothing follows it.
std::string ValueAfter(std::string_view headers, const std::string& prefix) {
    const long at = gbk::Find(headers, prefix);
    if (at < 0) {
        return {};
    }
    const size_t start = static_cast<size_t>(at - 1) + prefix.size();
    const size_t end = headers.find_first_of(";\r\n", start);
    return std::string(headers.substr(start, end == std::string_view::npos ? end : end - start));
}

}  // namespace

HttpRequest::HttpRequest() : http_(HttpComponent::Create()) {}

std::string HttpRequest::LastError() {
    return HttpLastError::Get();
}

long HttpRequest::Status() const {
    return http_ ? http_->Status() : (NoComponent(), 0);
}

std::string HttpRequest::StatusText() const {
    return http_ ? http_->StatusText() : (NoComponent(), std::string());
}

std::string HttpRequest::ResponseText() const {
    return http_ ? http_->ResponseText() : (NoComponent(), std::string());
}

std::string HttpRequest::ResponseBody() const {
    return http_ ? http_->ResponseBody() : (NoComponent(), std::string());
}

std::shared_ptr<std::istream> HttpRequest::ResponseStream() const {
    return http_ ? http_->ResponseStream() : (NoComponent(), nullptr);
}

HttpValue HttpRequest::Option(int index, const std::optional<HttpValue>& value) {
    if (!http_) {
        NoComponent();
        return {};
    }
    if (value && !http_->SetOption(index, *value)) {
        return {};
    }
    return http_->Option(index);
}

bool HttpRequest::SetProxy(int setting, std::string_view server, std::string_view bypass_list) {
    return http_ ? http_->SetProxy(setting, server, bypass_list) : NoComponent();
}

bool HttpRequest::SetCredentials(std::string_view user, std::string_view password, int flags) {
    return http_ ? http_->SetCredentials(user, password, flags) : NoComponent();
}

bool HttpRequest::Open(std::string& method, std::string& url, bool asynchronous) {
    if (method.empty()) {
        method = "GET";
    }
    url = WithHttpPrefix(url);
    url_ = url;
    host_ = HostFromUrl(url_);
    return http_ ? http_->Open(method, url_, asynchronous) : NoComponent();
}

bool HttpRequest::Open(std::string_view method, std::string_view url, bool asynchronous) {
    std::string method_text(method);
    std::string url_text(url);
    return Open(method_text, url_text, asynchronous);
}

bool HttpRequest::Open(std::string_view url) {
    return Open("GET", url, false);
}

bool HttpRequest::SetRequestHeader(std::string_view name, std::string_view value) {
    return http_ ? http_->SetRequestHeader(name, value) : NoComponent();
}

std::string HttpRequest::GetResponseHeader(std::string_view name) const {
    return http_ ? http_->GetResponseHeader(name) : (NoComponent(), std::string());
}

std::string HttpRequest::GetAllResponseHeaders() const {
    return http_ ? http_->GetAllResponseHeaders() : (NoComponent(), std::string());
}

bool HttpRequest::Send() {
    return SendWith(std::nullopt);
}

bool HttpRequest::Send(std::string_view body) {
    return SendWith(body);
}

bool HttpRequest::SendBytes() {
    return SendWith(std::nullopt);
}

bool HttpRequest::SendBytes(std::string_view body) {
    return SendWith(body);
}

bool HttpRequest::SendWith(std::optional<std::string_view> body) {
    if (!http_) {
        return NoComponent();
    }
    ApplyCookies();
    const bool sent = body ? http_->Send(*body) : http_->Send();
    // Capturing reads the response, which would overwrite the send's reason.
    const std::string reason = HttpLastError::Get();
    CaptureCookies();
    HttpLastError::Set(reason);
    return sent;
}

void HttpRequest::ApplyCookies() {
    switch (cookie_mode_) {
        case 1:
            jar_.ApplyToRequest(http_.get(), host_);
            break;
        case 2:
            if (std::shared_ptr<CookieJar> shared = SharedCookieJar()) {
                shared->ApplyToRequest(http_.get(), host_);
            }
            break;
        case 3:
            ApplyPlatformCookies(url_);
            break;
        default:
            break;
    }
}

void HttpRequest::CaptureCookies() {
    switch (cookie_mode_) {
        case 1:
            jar_.CaptureFromResponse(http_.get(), host_);
            break;
        case 2:
            if (std::shared_ptr<CookieJar> shared = SharedCookieJar()) {
                shared->CaptureFromResponse(http_.get(), host_);
            }
            break;
        case 3:
            CapturePlatformCookies(url_);
            break;
        default:
            break;
    }
}

void HttpRequest::ApplyPlatformCookies(const std::string& target) {
    const std::string cookies = PlatformCookieStore::Instance().GetCookies(WithHttpPrefix(target));
    if (!gbk::IsBlank(cookies)) {
        http_->SetRequestHeader("Cookie", cookies);
    }
}

void HttpRequest::CapturePlatformCookies(const std::string& target) {
    LitePattern pattern;
    pattern.Create(kPlatformSetCookiePattern, true, true, true);
    const int count = pattern.Execute(http_->GetAllResponseHeaders());
    const std::string url = WithHttpPrefix(target);
    for (int n = 1; n <= count; ++n) {
        PlatformCookieStore::Instance().SetCookie(url, pattern.SubMatchText(n, 1),
                                                  pattern.SubMatchText(n, 2));
    }
}

bool HttpRequest::WaitForResponse(long timeout_seconds) {
    return http_ ? http_->WaitForResponse(timeout_seconds) : NoComponent();
}

void HttpRequest::Abort() {
    if (http_) {
        http_->Abort();
    } else {
        NoComponent();
    }
}

bool HttpRequest::SetTimeouts(long resolve_ms, long connect_ms, long send_ms, long receive_ms) {
    return http_ ? http_->SetTimeouts(resolve_ms, connect_ms, send_ms, receive_ms) : NoComponent();
}

bool HttpRequest::SetClientCertificate(std::string_view certificate_file) {
    return http_ ? http_->SetClientCertificate(certificate_file) : NoComponent();
}

bool HttpRequest::SetAutoLogonPolicy(int policy) {
    return http_ ? http_->SetAutoLogonPolicy(policy) : NoComponent();
}

std::string HttpRequest::GetCookieValue(std::string_view name) const {
    const std::string headers = GetAllResponseHeaders();
    std::string value = ValueAfter(headers, "Set-Cookie: " + std::string(name) + "=");
    if (value.empty()) {
        value = ValueAfter(headers, "Set-Cookie:" + std::string(name) + "=");
    }
    return value;
}

std::string HttpRequest::GetSetCookieLines() const {
    std::string lines;
    for (const std::string& line : gbk::Split(GetAllResponseHeaders(), "\r\n")) {
        if (line.starts_with("Set-Cookie:")) {
            lines += line + "\r\n";
        }
    }
    return lines;
}

std::string HttpRequest::HostFromUrl(std::string_view url) {
    LitePattern pattern;
    pattern.Create(kHostPattern, /*ignore_case=*/true, /*multiline=*/true, /*global=*/false);
    if (pattern.Execute(url) < 1) {
        return {};
    }
    return pattern.SubMatchText(1, 3);
}

}  // namespace quillark
