#include "http/cookie_jar.h"

#include "platform/http_component.h"
#include "regex/lite_pattern.h"
#include "text/gbk.h"

namespace quillark {
namespace {

// A name or value never runs past the end of its header line: left to run on
// to the next "=" or ";", it would swallow the following headers and carry
// line breaks into the Cookie header built from it.
constexpr std::string_view kSetCookiePattern = "Set-Cookie: ?([^=;\\r\\n]*)=([^=;\\r\\n]*);?";
constexpr std::string_view kPairPattern = "([^=;]+)=([^=;]+)";

}  // namespace

bool CookieJar::SetCookie(std::string_view host, std::string_view name, std::string_view value) {
    const std::string text = "Set-Cookie: " + std::string(name) + "=" + std::string(value) + "; ";
    return CaptureSetCookies(host, text);
}

std::string CookieJar::GetCookie(std::string_view host, std::string_view name) const {
    return store_.GetValue(host, name);
}

bool CookieJar::CaptureSetCookies(std::string_view host, std::string_view headers) {
    if (headers.empty()) {
        return false;
    }
    LitePattern pattern;
    pattern.Create(kSetCookiePattern, /*ignore_case=*/true, /*multiline=*/false, /*global=*/true);
    const int count = pattern.Execute(headers);
    for (int n = 1; n <= count; ++n) {
        store_.SetValue(host, pattern.SubMatchText(n, 1), pattern.SubMatchText(n, 2));
    }
    return count > 0;
}

std::string CookieJar::BuildCookieHeader(std::string_view host) const {
    std::vector<std::string> names;
    store_.GetKeys(host, names);
    std::string header;
    for (const std::string& name : names) {
        const std::string value = store_.GetValue(host, name);
        if (!gbk::IsBlank(value)) {
            header += name + "=" + value + "; ";
        }
    }
    return gbk::IsBlank(header) ? std::string() : header;
}

int CookieJar::ImportPairs(std::string_view host, std::string_view pairs) {
    LitePattern pattern;
    pattern.Create(kPairPattern, true, true, true);
    const int count = pattern.Execute(pairs);
    for (int n = 1; n <= count; ++n) {
        SetCookie(host, pattern.SubMatchText(n, 1), pattern.SubMatchText(n, 2));
    }
    return count;
}

bool CookieJar::ClearHost(std::string_view host) {
    return store_.Remove(host);
}

void CookieJar::ClearAll() {
    store_.Clear();
}

bool CookieJar::CaptureFromResponse(const HttpComponent* http, std::string_view host) {
    if (http == nullptr) {
        return false;
    }
    return CaptureSetCookies(host, http->GetAllResponseHeaders());
}

bool CookieJar::ApplyToRequest(HttpComponent* http, std::string_view host) const {
    if (http == nullptr) {
        return false;
    }
    const std::string header = BuildCookieHeader(host);
    if (gbk::IsBlank(header)) {
        return false;
    }
    return http->SetRequestHeader("Cookie", header);
}

}  // namespace quillark
