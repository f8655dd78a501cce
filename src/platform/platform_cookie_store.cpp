#include "platform/platform_cookie_store.h"

#include <curl/curl.h>

#include <algorithm>
#include <charconv>

#include "platform/http_text.h"

namespace quillark {
namespace {

using SystemClock = std::chrono::system_clock;

struct CookieTarget {
    bool secure = false;
    std::string host;
    std::string path;
};

std::string Lower(std::string_view text) {
    std::string lowered(text);
    for (char& c : lowered) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return lowered;
}

std::optional<CookieTarget> ParseTarget(std::string_view url) {
    CURLU* parsed = curl_url();
    std::optional<CookieTarget> target;
    char* scheme = nullptr;
    char* host = nullptr;
    char* path = nullptr;
    const std::string text(url);
    if (parsed != nullptr && curl_url_set(parsed, CURLUPART_URL, text.c_str(), 0) == CURLUE_OK &&
        curl_url_get(parsed, CURLUPART_SCHEME, &scheme, 0) == CURLUE_OK &&
        curl_url_get(parsed, CURLUPART_HOST, &host, 0) == CURLUE_OK &&
        curl_url_get(parsed, CURLUPART_PATH, &path, 0) == CURLUE_OK) {
        const std::string lowered_scheme = Lower(scheme);
        if (lowered_scheme == "http" || lowered_scheme == "https") {
            target = CookieTarget{lowered_scheme == "https", Lower(host), path};
            if (target->path.empty() || target->path.front() != '/') {
                target->path = "/";
            }
        }
    }
    curl_free(scheme);
    curl_free(host);
    curl_free(path);
    curl_url_cleanup(parsed);
    return target;
}

bool IsIpAddress(std::string_view host) {
    return host.find(':') != std::string_view::npos ||
           std::all_of(host.begin(), host.end(),
                       [](char c) { return c == '.' || (c >= '0' && c <= '9'); });
}

bool DomainMatches(std::string_view host, std::string_view domain) {
    if (host == domain) {
        return true;
    }
    return !IsIpAddress(host) && host.size() > domain.size() + 1 && host.ends_with(domain) &&
           host[host.size() - domain.size() - 1] == '.';
}

bool PathMatches(std::string_view request_path, std::string_view cookie_path) {
    if (!request_path.starts_with(cookie_path)) {
        return false;
    }
    return request_path.size() == cookie_path.size() || cookie_path.ends_with('/') ||
           request_path[cookie_path.size()] == '/';
}

// The directory of the request path: where a cookie without Path applies.
std::string DefaultPath(std::string_view request_path) {
    const size_t last_slash = request_path.rfind('/');
    if (last_slash == std::string_view::npos || last_slash == 0) {
        return "/";
    }
    return std::string(request_path.substr(0, last_slash));
}

std::optional<long long> ParseSeconds(std::string_view text) {
    long long seconds = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), seconds);
    if (error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return seconds;
}

}  // namespace

PlatformCookieStore& PlatformCookieStore::Instance() {
    static PlatformCookieStore store;
    return store;
}

std::string PlatformCookieStore::GetCookies(std::string_view url) {
    const std::optional<CookieTarget> target = ParseTarget(url);
    if (!target) {
        return {};
    }
    std::vector<const Cookie*> matching;
    std::lock_guard lock(mutex_);
    DropExpired(SystemClock::now());
    for (const Cookie& cookie : cookies_) {
        const bool domain_ok = cookie.host_only ? target->host == cookie.domain
                                                : DomainMatches(target->host, cookie.domain);
        if (domain_ok && PathMatches(target->path, cookie.path) &&
            (!cookie.secure || target->secure)) {
            matching.push_back(&cookie);
        }
    }
    std::stable_sort(matching.begin(), matching.end(), [](const Cookie* a, const Cookie* b) {
        if (a->path.size() != b->path.size()) {
            return a->path.size() > b->path.size();
        }
        return a->created < b->created;
    });
    std::string header;
    for (const Cookie* cookie : matching) {
        if (!header.empty()) {
            header += "; ";
        }
        header += cookie->name + "=" + cookie->value;
    }
    return header;
}

bool PlatformCookieStore::SetCookie(std::string_view url, std::string_view name,
                                    std::string_view data) {
    const std::optional<CookieTarget> target = ParseTarget(url);
    name = http_text::TrimBlank(name);
    if (!target || name.empty() || http_text::HasControlCharacter(name) ||
        http_text::HasControlCharacter(data) ||
        name.find_first_of(";=") != std::string_view::npos) {
        return false;
    }
    const auto now = SystemClock::now();
    Cookie cookie;
    cookie.name = name;
    cookie.domain = target->host;
    cookie.path = DefaultPath(target->path);

    std::string_view rest = data;
    const size_t first_semicolon = rest.find(';');
    cookie.value = http_text::TrimBlank(rest.substr(0, first_semicolon));
    rest.remove_prefix(first_semicolon == std::string_view::npos ? rest.size()
                                                                 : first_semicolon + 1);
    std::optional<SystemClock::time_point> max_age_expiry;
    while (!rest.empty()) {
        const size_t end = rest.find(';');
        const std::string_view attribute = rest.substr(0, end);
        rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
        const size_t equals = attribute.find('=');
        const std::string key = Lower(http_text::TrimBlank(attribute.substr(0, equals)));
        const std::string_view value = equals == std::string_view::npos
                                           ? std::string_view()
                                           : http_text::TrimBlank(attribute.substr(equals + 1));
        if (key == "domain" && !value.empty()) {
            std::string domain = Lower(value);
            if (domain.front() == '.') {
                domain.erase(0, 1);
            }
            if (domain.empty() || !DomainMatches(target->host, domain)) {
                return false;  // a host may not set cookies for another domain
            }
            cookie.domain = domain;
            // An address has no subdomains: its cookie goes to it alone.
            cookie.host_only = IsIpAddress(domain);
        } else if (key == "path" && value.starts_with('/')) {
            cookie.path = value;
        } else if (key == "secure") {
            cookie.secure = true;
        } else if (key == "max-age") {
            if (const std::optional<long long> seconds = ParseSeconds(value)) {
                max_age_expiry = *seconds <= 0 ? SystemClock::time_point::min()
                                               : now + std::chrono::seconds(std::min<long long>(
                                                           *seconds, 400LL * 24 * 3600));
            }
        } else if (key == "expires" && !cookie.expires) {
            const std::string date(value);
            const time_t when = curl_getdate(date.c_str(), nullptr);
            if (when != -1) {
                cookie.expires = SystemClock::from_time_t(when);
            }
        }
    }
    if (max_age_expiry) {
        cookie.expires = max_age_expiry;
    }

    std::lock_guard lock(mutex_);
    auto same = std::find_if(cookies_.begin(), cookies_.end(), [&](const Cookie& stored) {
        return stored.name == cookie.name && stored.domain == cookie.domain &&
               stored.path == cookie.path;
    });
    const bool expired = cookie.expires && *cookie.expires <= now;
    if (same != cookies_.end()) {
        if (expired) {
            cookies_.erase(same);
        } else {
            cookie.created = same->created;
            *same = std::move(cookie);
        }
        return true;
    }
    if (expired) {
        return true;
    }
    cookie.created = next_serial_++;
    cookies_.push_back(std::move(cookie));
    if (cookies_.size() > kMaxCookies) {
        cookies_.erase(cookies_.begin());
    }
    return true;
}

void PlatformCookieStore::Clear() {
    std::lock_guard lock(mutex_);
    cookies_.clear();
}

void PlatformCookieStore::DropExpired(SystemClock::time_point now) {
    std::erase_if(cookies_,
                  [now](const Cookie& cookie) { return cookie.expires && *cookie.expires <= now; });
}

}  // namespace quillark
