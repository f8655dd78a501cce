#pragma once

#include <chrono>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillark {

// The process-wide cookie store that request objects in cookie mode 3 share.
//
// Cookies follow the usual browser rules: a cookie without a Domain attribute
// goes back only to the host that set it, one with Domain to that domain and
// its subdomains; Path limits the paths it is sent to; Secure ones go only
// over https; Expires and Max-Age end it. Thread-safe.
class PlatformCookieStore {
  public:
    static constexpr size_t kMaxCookies = 3000;

    static PlatformCookieStore& Instance();

    // "name=value; name2=value2" for the cookies that go to the URL (longer
    // paths first, then older first); empty when none.
    std::string GetCookies(std::string_view url);
    // Stores a cookie set by a response from `url`. `data` is the value
    // followed by its attributes, as after the "=" of a Set-Cookie header.
    // False when the URL, the name or the attributes rule it out.
    bool SetCookie(std::string_view url, std::string_view name, std::string_view data);
    void Clear();

  private:
    struct Cookie {
        std::string name;
        std::string value;
        std::string domain;
        std::string path;
        bool host_only = true;
        bool secure = false;
        std::optional<std::chrono::system_clock::time_point> expires;
        std::uint64_t created = 0;
    };
    void DropExpired(std::chrono::system_clock::time_point now);

    std::mutex mutex_;
    std::vector<Cookie> cookies_;
    std::uint64_t next_serial_ = 0;
};

}  // namespace quillark
