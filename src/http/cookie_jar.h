#pragma once

#include <string>
#include <string_view>

#include "http/section_store.h"

namespace quillark {

class HttpComponent;

// Cookies filed under the host name of a request, by cookie name.
//
// There is no domain or path matching, expiry or attribute handling: the
// cookies of a response belong to exactly its host, and a request gets exactly
// its host's cookies. Hosts and names compare byte for byte. The jar has no
// lock of its own; its store's lock makes each single change atomic, so one
// jar can serve request objects on several threads.
//
// Cookies are read from Set-Cookie header lines: the header name (letter case
// aside), an optional space, the name up to "=", and the value up to the next
// "=", ";" or line end. Attributes after the value are never read.
class CookieJar {
  public:
    // Runs "Set-Cookie: name=value; " through the same reading as captured
    // headers, so a value is cut at its first "=" or ";". True when the text
    // held a cookie, even one with an empty name that is not stored.
    bool SetCookie(std::string_view host, std::string_view name, std::string_view value);
    std::string GetCookie(std::string_view host, std::string_view name) const;
    // True when the text held at least one Set-Cookie.
    bool CaptureSetCookies(std::string_view host, std::string_view headers);
    // "a=1; b=2; " for the host's cookies in order of first storage, leaving
    // out blank values; empty text when nothing is left.
    std::string BuildCookieHeader(std::string_view host) const;
    // Stores every name=value pair of a text such as a Cookie header value;
    // a pair after "; " keeps the space in front of its name. The number of
    // pairs found.
    int ImportPairs(std::string_view host, std::string_view pairs);
    bool ClearHost(std::string_view host);
    // Removes every cookie; host names stay listed in the store.
    void ClearAll();

    // Captures the Set-Cookie headers of the component's last response.
    bool CaptureFromResponse(const HttpComponent* http, std::string_view host);
    // Sets the Cookie request header; true when one was set.
    bool ApplyToRequest(HttpComponent* http, std::string_view host) const;

    bool SaveToFile(const std::string& path) const { return store_.SaveFile(path); }
    bool LoadFromFile(const std::string& path) { return store_.LoadFile(path); }
    // Consumes the text, as SectionStore::LoadLines does.
    bool LoadFromText(std::string& text) { return store_.LoadLines(text); }

    const SectionStore& store() const { return store_; }

  private:
    SectionStore store_;
};

}  // namespace quillark
