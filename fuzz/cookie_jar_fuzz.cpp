// Random text through the jar's three readers: capture, pair import and
// loading. Whatever is stored must be a non-blank host and name, and the
// Cookie header built from it never carries a line break.
#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "http/cookie_jar.h"
#include "text/gbk.h"

namespace {

void CheckHost(const quillark::CookieJar& jar, const std::string& host, bool from_headers) {
    std::vector<std::string> names;
    jar.store().GetKeys(host, names);
    for (const std::string& name : names) {
        if (quillark::gbk::IsBlank(name)) {
            std::abort();
        }
    }
    const std::string header = jar.BuildCookieHeader(host);
    if (from_headers && header.find_first_of("\r\n") != std::string::npos) {
        std::abort();
    }
    if (!header.empty() && !header.ends_with("; ")) {
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    quillark::CookieJar jar;

    const bool captured = jar.CaptureSetCookies("captured", input);
    if (captured &&
        quillark::gbk::Find(input, "cookie", 1, quillark::gbk::Case::kIgnoreAscii) < 0) {
        std::abort();
    }
    CheckHost(jar, "captured", true);

    const int pairs = jar.ImportPairs("imported", input);
    if (pairs < 0 || static_cast<size_t>(pairs) > size) {
        std::abort();
    }
    CheckHost(jar, "imported", false);

    std::string text(input);
    jar.LoadFromText(text);
    if (!text.empty()) {
        std::abort();
    }
    std::vector<std::string> hosts;
    jar.store().GetSections(hosts);
    for (const std::string& host : hosts) {
        if (quillark::gbk::IsBlank(host)) {
            std::abort();
        }
    }
    return 0;
}
