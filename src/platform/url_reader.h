#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quillark {

// Reads a whole HTTP response body with one GET.
class UrlReader {
  public:
    // The body bytes; nothing when the exchange failed, the status was not
    // 2xx, or the body was over the request component's size limit.
    // Redirects are followed.
    static std::optional<std::string> Read(std::string_view url);
};

}  // namespace quillark
