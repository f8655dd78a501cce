#include "platform/url_reader.h"

#include "platform/http_component.h"

namespace quillark {

std::optional<std::string> UrlReader::Read(std::string_view url) {
    std::shared_ptr<HttpComponent> http = HttpComponent::Create();
    if (!http || !http->Open("GET", url, false) || !http->Send()) {
        return std::nullopt;
    }
    const long status = http->Status();
    if (status < 200 || status > 299) {
        return std::nullopt;
    }
    return http->ResponseBody();
}

}  // namespace quillark
