#include "http/cookie_jar.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/http_component.h"
#include "support/loopback_http_server.h"

namespace quillark {
namespace {

std::vector<std::string> Keys(const CookieJar& jar, std::string_view host) {
    std::vector<std::string> keys;
    jar.store().GetKeys(host, keys);
    return keys;
}

TEST(CookieJar, CapturesEverySpellingOfSetCookie) {
    CookieJar jar;
    EXPECT_TRUE(jar.CaptureSetCookies("h",
                                      "Set-Cookie: a=1; Path=/\r\n"
                                      "set-cookie: b=2;\r\n"
                                      "SET-COOKIE:c=3\r\n"
                                      "X-Other: d=4\r\n"));
    EXPECT_EQ(Keys(jar, "h"), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(jar.GetCookie("h", "a"), "1");
    EXPECT_EQ(jar.GetCookie("h", "b"), "2");
    EXPECT_EQ(jar.GetCookie("h", "c"), "3");
    EXPECT_FALSE(jar.CaptureSetCookies("h", ""));
    EXPECT_FALSE(jar.CaptureSetCookies("h", "Content-Type: text/plain\r\n"));
}

TEST(CookieJar, NameAndValueStopAtTheEndOfTheirLine) {
    CookieJar jar;
    EXPECT_TRUE(jar.CaptureSetCookies("h",
                                      "Set-Cookie: sid=abc\r\n"
                                      "Content-Type: text/html; charset=utf-8\r\n"
                                      "Set-Cookie: flag\r\n"
                                      "X-Next: k=v\r\n"));
    EXPECT_EQ(jar.GetCookie("h", "sid"), "abc");
    EXPECT_EQ(Keys(jar, "h"), (std::vector<std::string>{"sid"}));
    EXPECT_EQ(jar.BuildCookieHeader("h"), "sid=abc; ");
}

TEST(CookieJar, SetCookieGoesThroughTheSameReading) {
    struct Case {
        std::string name, value;
        bool result;
        std::string stored_name, stored_value;
    } cases[] = {
        {"x", "y=z", true, "x", "y"},    // value cut at "="
        {"n=v", "w", true, "n", "v"},    // name split at "="
        {"a;b", "1", false, "", ""},     // ";" in the name: no match
        {"", "1", true, "", ""},         // empty name: a match that stores nothing
        {"ok", "1;2", true, "ok", "1"},  // value cut at ";"
    };
    for (const Case& c : cases) {
        CookieJar jar;
        EXPECT_EQ(jar.SetCookie("h", c.name, c.value), c.result) << c.name;
        if (c.stored_name.empty()) {
            EXPECT_EQ(jar.store().KeyCount(), 0) << c.name;
        } else {
            EXPECT_EQ(jar.GetCookie("h", c.stored_name), c.stored_value) << c.name;
        }
    }
}

TEST(CookieJar, BuildsHeaderPerHostInStorageOrderSkippingBlankValues) {
    CookieJar jar;
    jar.SetCookie("h", "a", "1");
    jar.SetCookie("h", "blank", " ");
    jar.SetCookie("h", "b", "2");
    jar.SetCookie("h", "a", "3");  // keeps its place
    EXPECT_EQ(jar.BuildCookieHeader("h"), "a=3; b=2; ");
    EXPECT_EQ(jar.BuildCookieHeader("H"), "");  // other letter case, other host
    EXPECT_EQ(jar.BuildCookieHeader("other"), "");

    CookieJar blanks;
    blanks.SetCookie("h", "only", " ");
    EXPECT_EQ(blanks.BuildCookieHeader("h"), "");
}

TEST(CookieJar, ImportPairsKeepsTheSpaceAfterSemicolons) {
    CookieJar jar;
    EXPECT_EQ(jar.ImportPairs("h", "a=1; b=2"), 2);
    EXPECT_EQ(Keys(jar, "h"), (std::vector<std::string>{"a", " b"}));
    EXPECT_EQ(jar.GetCookie("h", " b"), "2");
    EXPECT_EQ(jar.ImportPairs("h", "no pairs"), 0);
}

TEST(CookieJar, ClearHostAndClearAll) {
    CookieJar jar;
    jar.SetCookie("h", "a", "1");
    jar.SetCookie("g", "a", "1");
    EXPECT_FALSE(jar.ClearHost("  "));
    EXPECT_TRUE(jar.ClearHost("h"));
    EXPECT_EQ(jar.GetCookie("h", "a"), "");
    EXPECT_EQ(jar.GetCookie("g", "a"), "1");
    jar.ClearAll();
    EXPECT_EQ(jar.BuildCookieHeader("g"), "");
    EXPECT_EQ(jar.store().SectionCount(), 1);  // the host name stays listed
}

TEST(CookieJar, SavesAndLoadsItsCookies) {
    const std::string path =
        (std::filesystem::temp_directory_path() / "quillark_cookie_jar_test.ini").string();
    CookieJar jar;
    jar.SetCookie("a.example", "sid", "1");
    jar.SetCookie("b.example", "k", "v");
    ASSERT_TRUE(jar.SaveToFile(path));
    CookieJar loaded;
    ASSERT_TRUE(loaded.LoadFromFile(path));
    EXPECT_EQ(loaded.BuildCookieHeader("a.example"), "sid=1; ");
    EXPECT_EQ(loaded.GetCookie("b.example", "k"), "v");
    std::filesystem::remove(path);

    std::string text = "[h]\r\nx=1\r\n";
    EXPECT_TRUE(loaded.LoadFromText(text));
    EXPECT_TRUE(text.empty());
    EXPECT_EQ(loaded.GetCookie("h", "x"), "1");
}

TEST(CookieJar, WorksThroughARealResponse) {
    testing::LoopbackHttpServer loopback;
    loopback.server().Get("/", [](const httplib::Request& request, httplib::Response& response) {
        response.set_header("Set-Cookie", "sid=42; Path=/; HttpOnly");
        response.set_content(request.get_header_value("Cookie"), "text/plain");
    });
    loopback.Start();

    CookieJar jar;
    EXPECT_FALSE(jar.CaptureFromResponse(nullptr, "h"));
    EXPECT_FALSE(jar.ApplyToRequest(nullptr, "h"));

    auto http = HttpComponent::Create();
    ASSERT_TRUE(http->Open("GET", loopback.Url("/"), false));
    EXPECT_FALSE(jar.ApplyToRequest(http.get(), "h"));  // nothing to send yet
    ASSERT_TRUE(http->Send());
    EXPECT_TRUE(jar.CaptureFromResponse(http.get(), "h"));
    EXPECT_EQ(jar.GetCookie("h", "sid"), "42");

    ASSERT_TRUE(http->Open("GET", loopback.Url("/"), false));
    EXPECT_TRUE(jar.ApplyToRequest(http.get(), "h"));
    ASSERT_TRUE(http->Send());
    EXPECT_EQ(http->ResponseText(), "sid=42;");  // the server trims the trailing space
}

}  // namespace
}  // namespace quillark
