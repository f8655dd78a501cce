#include "platform/http_component.h"

#include <curl/curl.h>

#include <algorithm>
#include <sstream>

#include "platform/http_last_error.h"
#include "platform/http_text.h"
#include "platform/text_codec.h"

namespace quillark {
namespace {

using Clock = std::chrono::steady_clock;

constexpr std::string_view kUserAgent = "Mozilla/4.0 (compatible; Quillark)";
constexpr int kLongestPollMs = 1000;

char LowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return LowerAscii(x) == LowerAscii(y);
           });
}

bool IsToken(std::string_view text) {
    return !text.empty() && std::none_of(text.begin(), text.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte <= 0x20 || byte >= 0x7F || c == ':' || c == '(' || c == ')' || c == ',' ||
               c == ';' || c == '"' || c == '/' || c == '[' || c == ']' || c == '{' || c == '}';
    });
}

// The scheme of a URL libcurl accepts, lower-cased; empty when it is not one.
std::string SchemeOf(const std::string& url) {
    CURLU* parsed = curl_url();
    std::string scheme;
    char* part = nullptr;
    if (parsed != nullptr && curl_url_set(parsed, CURLUPART_URL, url.c_str(), 0) == CURLUE_OK &&
        curl_url_get(parsed, CURLUPART_SCHEME, &part, 0) == CURLUE_OK) {
        for (const char* c = part; *c != '\0'; ++c) {
            scheme += LowerAscii(*c);
        }
    }
    curl_free(part);
    curl_url_cleanup(parsed);
    return scheme;
}

// The charset parameter of a Content-Type value, lower-cased; empty when none.
std::string CharsetOf(std::string_view content_type) {
    std::string lowered;
    for (char c : content_type) {
        lowered += LowerAscii(c);
    }
    const size_t at = lowered.find("charset=");
    if (at == std::string::npos) {
        return {};
    }
    std::string_view value = std::string_view(lowered).substr(at + 8);
    value = value.substr(0, value.find(';'));
    value = http_text::TrimBlank(value);
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
        value = value.substr(1, value.size() - 2);
    }
    return std::string(value);
}

// Servers that say gb2312 mean the wider code page that contains it.
const char* ConverterNameFor(const std::string& charset) {
    if (charset == "gb2312" || charset == "gbk" || charset == "x-gbk" || charset == "cp936" ||
        charset == "gb_2312-80" || charset == "windows-936") {
        return "windows-936-2000";
    }
    return charset.c_str();
}

std::string DecodeBody(const std::string& body, const std::string& charset) {
    std::string_view bytes = body;
    const bool utf8 = charset.empty() || charset == "utf-8" || charset == "utf8";
    if (utf8 && bytes.starts_with("\xEF\xBB\xBF")) {
        bytes.remove_prefix(3);
    }
    std::u16string decoded;
    if (utf8 || !TextCodec::DecodeCharset(bytes, ConverterNameFor(charset), decoded)) {
        return TextCodec::Utf8ToGbk(bytes);
    }
    return TextCodec::Utf16ToGbk(decoded);
}

// Proxy bypass lists are written with semicolons; libcurl wants commas.
std::string NoProxyList(std::string_view bypass_list) {
    std::string list;
    for (char c : bypass_list) {
        list += (c == ';' || c == ' ') ? ',' : c;
    }
    return list;
}

void EnsureCurlInitialised() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

}  // namespace

struct HttpComponent::Handles {
    CURL* easy = nullptr;
    CURLM* multi = nullptr;
    curl_slist* headers = nullptr;
    char error[CURL_ERROR_SIZE] = {};

    ~Handles() {
        curl_slist_free_all(headers);
        if (easy != nullptr) {
            curl_easy_cleanup(easy);
        }
        if (multi != nullptr) {
            curl_multi_cleanup(multi);
        }
    }
};

std::shared_ptr<HttpComponent> HttpComponent::Create() {
    EnsureCurlInitialised();
    std::shared_ptr<HttpComponent> component(new HttpComponent());
    if (component->handles_->easy == nullptr || component->handles_->multi == nullptr) {
        HttpLastError::Set("libcurl could not make a transfer handle");
        return nullptr;
    }
    return component;
}

HttpComponent::HttpComponent() : handles_(std::make_unique<Handles>()) {
    handles_->easy = curl_easy_init();
    handles_->multi = curl_multi_init();
}

HttpComponent::~HttpComponent() {
    Abort();
}

bool HttpComponent::Open(std::string_view method, std::string_view url, bool asynchronous) {
    Abort();
    JoinWorker();
    {
        std::lock_guard lock(mutex_);
        phase_ = Phase::kIdle;
        failure_.clear();
    }
    request_headers_.clear();
    user_.clear();
    password_.clear();
    proxy_user_.clear();
    proxy_password_.clear();
    if (!IsToken(method)) {
        HttpLastError::Set("Invalid method: " + std::string(method));
        return false;
    }
    const std::string url_text(url);
    const std::string scheme = SchemeOf(url_text);
    if (scheme != "http" && scheme != "https") {
        HttpLastError::Set("The URL is invalid or its scheme is not http or https: " + url_text);
        return false;
    }
    method_ = method;
    url_ = url_text;
    asynchronous_ = asynchronous;
    {
        std::lock_guard lock(mutex_);
        phase_ = Phase::kOpened;
    }
    HttpLastError::Clear();
    return true;
}

bool HttpComponent::SetRequestHeader(std::string_view name, std::string_view value) {
    {
        std::lock_guard lock(mutex_);
        if (phase_ != Phase::kOpened) {
            HttpLastError::Set("SetRequestHeader needs an Open that has not been sent yet");
            return false;
        }
    }
    if (!IsToken(name) || http_text::HasControlCharacter(value)) {
        HttpLastError::Set("Invalid request header: " + std::string(name));
        return false;
    }
    std::erase_if(request_headers_, [&](const std::string& header) {
        return EqualsIgnoringCase(std::string_view(header).substr(0, name.size()), name) &&
               header.size() > name.size() &&
               (header[name.size()] == ':' || header[name.size()] == ';');
    });
    // "Name;" is libcurl's spelling of a header sent with an empty value.
    request_headers_.push_back(value.empty() ? std::string(name) + ";"
                                             : std::string(name) + ": " + std::string(value));
    HttpLastError::Clear();
    return true;
}

bool HttpComponent::Send() {
    return StartSend(std::nullopt);
}

bool HttpComponent::Send(std::string_view body) {
    return StartSend(body);
}

bool HttpComponent::StartSend(std::optional<std::string_view> body) {
    {
        std::lock_guard lock(mutex_);
        if (phase_ != Phase::kOpened) {
            HttpLastError::Set("Send needs a successful Open first");
            return false;
        }
    }
    request_body_ = body ? std::optional<std::string>(std::string(*body)) : std::nullopt;
    if (!ConfigureTransfer()) {
        HttpLastError::Set("libcurl refused the request settings");
        return false;
    }
    abort_requested_ = false;
    {
        std::lock_guard lock(mutex_);
        phase_ = Phase::kRunning;
    }
    if (asynchronous_) {
        worker_ = std::thread([this] { RunTransfer(); });
        HttpLastError::Clear();
        return true;
    }
    RunTransfer();
    return ResponseReady();
}

bool HttpComponent::ConfigureTransfer() {
    CURL* easy = handles_->easy;
    // A reset keeps the live connections, so the next exchange can reuse them.
    curl_easy_reset(easy);
    curl_slist_free_all(handles_->headers);
    handles_->headers = nullptr;
    for (const std::string& header : request_headers_) {
        handles_->headers = curl_slist_append(handles_->headers, header.c_str());
    }
    // No "Expect: 100-continue" round trip before a body.
    handles_->headers = curl_slist_append(handles_->headers, "Expect:");

    const bool https = url_.size() >= 5 && EqualsIgnoringCase(url_.substr(0, 5), "https");
    const long connect_ms = (resolve_timeout_ms_ > 0 && connect_timeout_ms_ > 0)
                                ? resolve_timeout_ms_ + connect_timeout_ms_
                                : connect_timeout_ms_;
    const std::string agent = user_agent_.empty() ? std::string(kUserAgent) : user_agent_;

    bool ok = true;
    auto set = [&](CURLoption option, auto value) {
        ok = ok && curl_easy_setopt(easy, option, value) == CURLE_OK;
    };
    set(CURLOPT_URL, url_.c_str());
    set(CURLOPT_NOSIGNAL, 1L);
    set(CURLOPT_ERRORBUFFER, handles_->error);
    set(CURLOPT_PROTOCOLS_STR, "http,https");
    set(CURLOPT_REDIR_PROTOCOLS_STR, (https && !https_to_http_redirects_) ? "https" : "http,https");
    set(CURLOPT_FOLLOWLOCATION, follow_redirects_ ? 1L : 0L);
    set(CURLOPT_MAXREDIRS, static_cast<long>(max_redirects_));
    set(CURLOPT_HTTP_VERSION, http11_ ? CURL_HTTP_VERSION_1_1 : CURL_HTTP_VERSION_1_0);
    set(CURLOPT_SUPPRESS_CONNECT_HEADERS, 1L);
    set(CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(kMaxBodyBytes));
    set(CURLOPT_CONNECTTIMEOUT_MS, connect_ms);
    set(CURLOPT_USERAGENT, agent.c_str());
    set(CURLOPT_HTTPHEADER, handles_->headers);
    set(CURLOPT_HEADERFUNCTION, &HttpComponent::OnHeader);
    set(CURLOPT_HEADERDATA, this);
    set(CURLOPT_WRITEFUNCTION, &HttpComponent::OnBody);
    set(CURLOPT_WRITEDATA, this);
    set(CURLOPT_NOPROGRESS, 0L);
    set(CURLOPT_XFERINFOFUNCTION, &HttpComponent::OnProgress);
    set(CURLOPT_XFERINFODATA, this);
    set(CURLOPT_PREREQFUNCTION, &HttpComponent::OnConnected);
    set(CURLOPT_PREREQDATA, this);

    if (request_body_) {
        set(CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(request_body_->size()));
        set(CURLOPT_POSTFIELDS, request_body_->data());
        if (method_ != "POST") {
            set(CURLOPT_CUSTOMREQUEST, method_.c_str());
        }
    } else if (method_ == "GET") {
        set(CURLOPT_HTTPGET, 1L);
    } else if (method_ == "HEAD") {
        set(CURLOPT_NOBODY, 1L);
    } else {
        set(CURLOPT_CUSTOMREQUEST, method_.c_str());
    }

    if (proxy_setting_ == kHttpProxyDirect) {
        set(CURLOPT_PROXY, "");
    } else if (proxy_setting_ == kHttpProxyNamed) {
        set(CURLOPT_PROXY, proxy_server_.c_str());
        set(CURLOPT_NOPROXY, NoProxyList(proxy_bypass_).c_str());
    }
    if (!user_.empty()) {
        set(CURLOPT_USERNAME, user_.c_str());
        set(CURLOPT_PASSWORD, password_.c_str());
        set(CURLOPT_HTTPAUTH, CURLAUTH_ANY);
    }
    if (!proxy_user_.empty()) {
        set(CURLOPT_PROXYUSERNAME, proxy_user_.c_str());
        set(CURLOPT_PROXYPASSWORD, proxy_password_.c_str());
        set(CURLOPT_PROXYAUTH, CURLAUTH_ANY);
    }
    if (!client_certificate_.empty()) {
        set(CURLOPT_SSLCERT, client_certificate_.c_str());
    }
    if (ssl_ignore_flags_ != 0) {
        set(CURLOPT_SSL_VERIFYPEER, 0L);
        set(CURLOPT_SSL_VERIFYHOST, 0L);
    }
    return ok;
}

void HttpComponent::RunTransfer() {
    status_ = 0;
    status_text_.clear();
    headers_.clear();
    headers_complete_ = false;
    body_.clear();
    effective_url_.clear();
    transfer_failure_.clear();
    handles_->error[0] = '\0';
    connected_ = false;
    uploaded_ = 0;
    last_activity_ = Clock::now();

    CURL* easy = handles_->easy;
    CURLM* multi = handles_->multi;
    curl_multi_add_handle(multi, easy);
    bool finished = false;
    CURLcode result = CURLE_OK;
    std::string failure;
    while (true) {
        int running = 0;
        if (curl_multi_perform(multi, &running) != CURLM_OK) {
            failure = "libcurl's transfer engine failed";
            break;
        }
        int queued = 0;
        while (CURLMsg* message = curl_multi_info_read(multi, &queued)) {
            if (message->msg == CURLMSG_DONE) {
                finished = true;
                result = message->data.result;
            }
        }
        if (finished) {
            break;
        }
        if (abort_requested_) {
            failure = "The request was aborted";
            break;
        }
        int wait_ms = kLongestPollMs;
        const bool sending =
            request_body_ && uploaded_ < static_cast<std::int64_t>(request_body_->size());
        const long idle_limit_ms = sending ? send_timeout_ms_ : receive_timeout_ms_;
        if (connected_ && idle_limit_ms > 0) {
            const auto idle =
                std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - last_activity_)
                    .count();
            if (idle >= idle_limit_ms) {
                failure = std::string("The operation timed out: nothing ") +
                          (sending ? "sent" : "received") + " for " +
                          std::to_string(idle_limit_ms) + " ms";
                break;
            }
            wait_ms = static_cast<int>(std::min<long>(wait_ms, idle_limit_ms - idle));
        }
        curl_multi_poll(multi, nullptr, 0, wait_ms, nullptr);
    }
    curl_multi_remove_handle(multi, easy);

    if (finished && result == CURLE_OK) {
        long code = 0;
        curl_easy_getinfo(easy, CURLINFO_RESPONSE_CODE, &code);
        status_ = code;
        char* url = nullptr;
        if (curl_easy_getinfo(easy, CURLINFO_EFFECTIVE_URL, &url) == CURLE_OK && url != nullptr) {
            effective_url_ = url;
        }
        FinishTransfer(true, {});
        return;
    }
    if (failure.empty()) {
        failure = !transfer_failure_.empty()   ? transfer_failure_
                  : handles_->error[0] != '\0' ? std::string(handles_->error)
                                               : std::string(curl_easy_strerror(result));
    }
    FinishTransfer(false, std::move(failure));
}

void HttpComponent::FinishTransfer(bool succeeded, std::string failure) {
    {
        std::lock_guard lock(mutex_);
        phase_ = succeeded ? Phase::kDone : Phase::kFailed;
        failure_ = std::move(failure);
    }
    finished_.notify_all();
}

bool HttpComponent::WaitForResponse(long timeout_seconds) {
    {
        std::unique_lock lock(mutex_);
        if (phase_ == Phase::kIdle || phase_ == Phase::kOpened) {
            HttpLastError::Set("WaitForResponse needs a Send first");
            return false;
        }
        auto over = [this] { return phase_ != Phase::kRunning; };
        if (timeout_seconds <= 0) {
            finished_.wait(lock, over);
        } else if (!finished_.wait_for(lock, std::chrono::seconds(timeout_seconds), over)) {
            HttpLastError::Set("No response within " + std::to_string(timeout_seconds) + " s");
            return false;
        }
    }
    JoinWorker();
    return ResponseReady();
}

void HttpComponent::Abort() {
    if (worker_.joinable()) {
        abort_requested_ = true;
        curl_multi_wakeup(handles_->multi);
        worker_.join();
    }
    HttpLastError::Clear();
}

void HttpComponent::JoinWorker() {
    if (worker_.joinable()) {
        worker_.join();
    }
}

bool HttpComponent::ResponseReady() const {
    std::lock_guard lock(mutex_);
    switch (phase_) {
        case Phase::kDone:
            HttpLastError::Clear();
            return true;
        case Phase::kFailed:
            HttpLastError::Set(failure_);
            return false;
        case Phase::kRunning:
            HttpLastError::Set("The response has not arrived yet");
            return false;
        default:
            HttpLastError::Set("No response: Send has not been called");
            return false;
    }
}

long HttpComponent::Status() const {
    return ResponseReady() ? status_ : 0;
}

std::string HttpComponent::StatusText() const {
    return ResponseReady() ? status_text_ : std::string();
}

std::string HttpComponent::ResponseText() const {
    if (!ResponseReady()) {
        return {};
    }
    return DecodeBody(body_, CharsetOf(HeaderValue("Content-Type")));
}

std::string HttpComponent::ResponseBody() const {
    return ResponseReady() ? body_ : std::string();
}

std::shared_ptr<std::istream> HttpComponent::ResponseStream() const {
    if (!ResponseReady()) {
        return nullptr;
    }
    return std::make_shared<std::istringstream>(body_);
}

std::string HttpComponent::GetResponseHeader(std::string_view name) const {
    if (!ResponseReady()) {
        return {};
    }
    std::string value = HeaderValue(name);
    if (value.empty()) {
        HttpLastError::Set("The response has no header " + std::string(name));
    }
    return value;
}

std::string HttpComponent::GetAllResponseHeaders() const {
    return ResponseReady() ? headers_ : std::string();
}

std::string HttpComponent::HeaderValue(std::string_view name) const {
    std::string_view rest = headers_;
    while (!rest.empty()) {
        const size_t end = rest.find("\r\n");
        const std::string_view line = rest.substr(0, end);
        rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 2);
        const size_t colon = line.find(':');
        if (colon != std::string_view::npos &&
            EqualsIgnoringCase(http_text::TrimBlank(line.substr(0, colon)), name)) {
            return std::string(http_text::TrimBlank(line.substr(colon + 1)));
        }
    }
    return {};
}

bool HttpComponent::SetTimeouts(long resolve_ms, long connect_ms, long send_ms, long receive_ms) {
    for (long value : {resolve_ms, connect_ms, send_ms, receive_ms}) {
        if (value < -1) {
            HttpLastError::Set("A time-out must be -1, 0 or a positive number of milliseconds");
            return false;
        }
    }
    auto unlimited_as_zero = [](long value) { return value < 0 ? 0L : value; };
    resolve_timeout_ms_ = unlimited_as_zero(resolve_ms);
    connect_timeout_ms_ = unlimited_as_zero(connect_ms);
    send_timeout_ms_ = unlimited_as_zero(send_ms);
    receive_timeout_ms_ = unlimited_as_zero(receive_ms);
    HttpLastError::Clear();
    return true;
}

bool HttpComponent::SetProxy(int setting, std::string_view server, std::string_view bypass_list) {
    if (setting < kHttpProxyDefault || setting > kHttpProxyNamed ||
        http_text::HasControlCharacter(server) || http_text::HasControlCharacter(bypass_list)) {
        HttpLastError::Set("Invalid proxy setting");
        return false;
    }
    proxy_setting_ = setting;
    proxy_server_ = server;
    proxy_bypass_ = bypass_list;
    HttpLastError::Clear();
    return true;
}

bool HttpComponent::SetCredentials(std::string_view user, std::string_view password, int flags) {
    bool opened = false;
    {
        std::lock_guard lock(mutex_);
        opened = phase_ == Phase::kOpened;
    }
    if ((flags != 0 && flags != 1) || !opened) {
        HttpLastError::Set("SetCredentials needs an Open and flags 0 (server) or 1 (proxy)");
        return false;
    }
    (flags == 0 ? user_ : proxy_user_) = user;
    (flags == 0 ? password_ : proxy_password_) = password;
    HttpLastError::Clear();
    return true;
}

HttpValue HttpComponent::Option(int index) const {
    HttpLastError::Clear();
    switch (index) {
        case kHttpOptionUserAgent:
            return user_agent_.empty() ? std::string(kUserAgent) : user_agent_;
        case kHttpOptionUrl: {
            std::lock_guard lock(mutex_);
            return (phase_ == Phase::kDone && !effective_url_.empty()) ? effective_url_ : url_;
        }
        case kHttpOptionSslErrorIgnoreFlags:
            return ssl_ignore_flags_;
        case kHttpOptionEnableRedirects:
            return follow_redirects_;
        case kHttpOptionHttpsToHttpRedirects:
            return https_to_http_redirects_;
        case kHttpOptionMaxRedirects:
            return max_redirects_;
        case kHttpOptionEnableHttp11:
            return http11_;
        default:
            HttpLastError::Set("Unsupported option " + std::to_string(index));
            return {};
    }
}

bool HttpComponent::SetOption(int index, const HttpValue& value) {
    const auto* text = std::get_if<std::string>(&value);
    std::optional<std::int64_t> number;
    if (const auto* integer = std::get_if<std::int64_t>(&value)) {
        number = *integer;
    } else if (const auto* flag = std::get_if<bool>(&value)) {
        number = *flag ? 1 : 0;
    }
    bool accepted = true;
    if (index == kHttpOptionUserAgent && text != nullptr &&
        !http_text::HasControlCharacter(*text)) {
        user_agent_ = *text;
    } else if (index == kHttpOptionSslErrorIgnoreFlags && number) {
        ssl_ignore_flags_ = *number;
    } else if (index == kHttpOptionEnableRedirects && number) {
        follow_redirects_ = *number != 0;
    } else if (index == kHttpOptionHttpsToHttpRedirects && number) {
        https_to_http_redirects_ = *number != 0;
    } else if (index == kHttpOptionMaxRedirects && number && *number >= 0) {
        max_redirects_ = *number;
    } else if (index == kHttpOptionEnableHttp11 && number) {
        http11_ = *number != 0;
    } else {
        accepted = false;
    }
    if (!accepted) {
        HttpLastError::Set("Option " + std::to_string(index) + " cannot take that value");
        return false;
    }
    HttpLastError::Clear();
    return true;
}

bool HttpComponent::SetClientCertificate(std::string_view certificate_file) {
    if (http_text::HasControlCharacter(certificate_file)) {
        HttpLastError::Set("Invalid certificate file name");
        return false;
    }
    client_certificate_ = certificate_file;
    HttpLastError::Clear();
    return true;
}

bool HttpComponent::SetAutoLogonPolicy(int policy) {
    if (policy < 0 || policy > 2) {
        HttpLastError::Set("The auto-logon policy must be 0, 1 or 2");
        return false;
    }
    auto_logon_policy_ = policy;
    HttpLastError::Clear();
    return true;
}

std::string HttpComponent::LastError() {
    return HttpLastError::Get();
}

size_t HttpComponent::OnHeader(char* data, size_t size, size_t count, void* self_pointer) {
    auto* self = static_cast<HttpComponent*>(self_pointer);
    const size_t length = size * count;
    self->last_activity_ = Clock::now();
    std::string_view line(data, length);
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) {
        line.remove_suffix(1);
    }
    if (line.starts_with("HTTP/")) {
        // A new response (after a redirect or an interim 1xx): start over.
        self->headers_.clear();
        self->body_.clear();
        self->headers_complete_ = false;
        const size_t code = line.find(' ');
        const size_t reason = code == std::string_view::npos ? code : line.find(' ', code + 1);
        self->status_text_ =
            reason == std::string_view::npos ? std::string() : std::string(line.substr(reason + 1));
        return length;
    }
    if (line.empty()) {
        self->headers_complete_ = true;
        return length;
    }
    if (self->headers_complete_) {
        return length;  // trailers of a chunked body are not response headers
    }
    if (self->headers_.size() + line.size() + 2 > kMaxHeaderBytes) {
        self->transfer_failure_ = "The response headers are larger than 1 MiB";
        return 0;
    }
    self->headers_.append(line).append("\r\n");
    return length;
}

size_t HttpComponent::OnBody(char* data, size_t size, size_t count, void* self_pointer) {
    auto* self = static_cast<HttpComponent*>(self_pointer);
    const size_t length = size * count;
    self->last_activity_ = Clock::now();
    if (self->body_.size() + length > kMaxBodyBytes) {
        self->transfer_failure_ = "The response body is larger than 64 MiB";
        return 0;
    }
    self->body_.append(data, length);
    return length;
}

int HttpComponent::OnProgress(void* self_pointer, std::int64_t, std::int64_t, std::int64_t,
                              std::int64_t up_now) {
    auto* self = static_cast<HttpComponent*>(self_pointer);
    if (up_now > self->uploaded_) {
        self->uploaded_ = up_now;
        self->last_activity_ = Clock::now();
    }
    return 0;
}

int HttpComponent::OnConnected(void* self_pointer, char*, char*, int, int) {
    auto* self = static_cast<HttpComponent*>(self_pointer);
    self->connected_ = true;
    self->last_activity_ = Clock::now();
    return CURL_PREREQFUNC_OK;
}

}  // namespace quillark
