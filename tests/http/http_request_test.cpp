#include "http/http_request.h"

#include <gtest/gtest.h>

#include <thread>

#include "http/module_state.h"
#include "platform/platform_cookie_store.h"
#include "support/loopback_http_server.h"

namespace quillark {
namespace {

using testing::LoopbackHttpServer;
using testing::RawHttpResponder;

TEST(HttpRequestHost, CutsTheHostOutOfUrls) {
    struct Case {
        std::string url, host;
    } cases[] = {
        {"example.com/x", "example.com"},
        {"HTTP://Example.com:8080/p?q=1", "Example.com"},
        {"https://h.cn", "h.cn"},
        {"h:99/a", "h"},
        {"http://127.0.0.1:8000", "127.0.0.1"},
        {"", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(HttpRequest::HostFromUrl(c.url), c.host) << c.url;
    }
}

TEST(HttpRequestOpen, AddsDefaultsAndWritesThemBack) {
    struct Case {
        std::string url, sent, host;
    } cases[] = {
        {"example.invalid/a", "http://example.invalid/a", "example.invalid"},
        {"HTTP://example.invalid:81/", "HTTP://example.invalid:81/", "example.invalid"},
        {"https://example.invalid/", "https://example.invalid/", "example.invalid"},
        {"ftp://example.invalid/", "http://ftp://example.invalid/", "ftp"},
    };
    for (const Case& c : cases) {
        HttpRequest request;
        std::string method;
        std::string url = c.url;
        request.Open(method, url);  // kept even where the component refuses the URL
        EXPECT_EQ(method, "GET");
        EXPECT_EQ(url, c.sent);
        EXPECT_EQ(request.Url(), c.sent);
        EXPECT_EQ(request.Host(), c.host);
    }
}

class HttpRequestTest : public ::testing::Test {
  protected:
    HttpRequestTest() {
        httplib::Server& server = loopback_.server();
        server.Get("/set", [](const httplib::Request& request, httplib::Response& response) {
            response.set_header("Set-Cookie", "a=1; Path=/");
            response.set_header("set-cookie", "b=2;");
            response.set_content(request.get_header_value("Cookie"), "text/plain");
        });
        server.Get("/echo", [](const httplib::Request& request, httplib::Response& response) {
            response.set_content(request.method + "|" + request.get_header_value("Cookie"),
                                 "text/plain");
        });
        server.Post("/echo", [](const httplib::Request& request, httplib::Response& response) {
            response.set_content(request.method + "|" + request.body, "text/plain");
        });
        server.Get(R"(/scoped/(\w+))",
                   [](const httplib::Request& request, httplib::Response& response) {
                       response.set_header("Set-Cookie", "sid=abc; Path=/scoped");
                       response.set_header("Set-Cookie", "far=x; Path=/elsewhere");
                       response.set_header("Set-Cookie", "gone=1; Max-Age=0");
                       response.set_content(request.get_header_value("Cookie"), "text/plain");
                   });
        server.Get("/thread", [](const httplib::Request& request, httplib::Response& response) {
            const std::string n = request.get_param_value("n");
            response.set_header("Set-Cookie", "t" + n + "=v" + n + "; Path=/");
            response.set_content(request.get_header_value("Cookie"), "text/plain");
        });
        loopback_.Start();
    }

    LoopbackHttpServer loopback_;
};

TEST_F(HttpRequestTest, SendsWithAndWithoutBody) {
    HttpRequest request;
    ASSERT_TRUE(request.Open(loopback_.Url("/echo")));
    ASSERT_TRUE(request.Send());
    EXPECT_EQ(request.Status(), 200);
    EXPECT_EQ(request.ResponseText(), "GET|");

    ASSERT_TRUE(request.Open("POST", loopback_.Url("/echo")));
    ASSERT_TRUE(request.Send("x=1"));
    EXPECT_EQ(request.ResponseText(), "POST|x=1");

    ASSERT_TRUE(request.Open("POST", loopback_.Url("/echo")));
    ASSERT_TRUE(request.SendBytes(std::string("\x00\xFF", 2)));
    EXPECT_EQ(request.ResponseBody(), std::string("POST|\x00\xFF", 7));
}

TEST_F(HttpRequestTest, ModeZeroNeitherSendsNorStoresCookies) {
    HttpRequest request;
    request.Jar().SetCookie("127.0.0.1", "own", "1");
    ASSERT_TRUE(request.Open(loopback_.Url("/set")));
    ASSERT_TRUE(request.Send());
    EXPECT_EQ(request.ResponseText(), "");
    EXPECT_EQ(request.Jar().GetCookie("127.0.0.1", "a"), "");
}

TEST_F(HttpRequestTest, ModeOneUsesTheObjectsOwnJarByHost) {
    HttpRequest request;
    request.SetCookieMode(1);
    ASSERT_TRUE(request.Open(loopback_.Url("/set")));
    ASSERT_TRUE(request.Send());
    EXPECT_EQ(request.Jar().GetCookie("127.0.0.1", "a"), "1");
    EXPECT_EQ(request.Jar().GetCookie("127.0.0.1", "b"), "2");

    ASSERT_TRUE(request.Open(loopback_.Url("/echo")));
    ASSERT_TRUE(request.Send());
    EXPECT_EQ(request.ResponseText(), "GET|a=1; b=2;");

    // A copy has its own jar and shares the component.
    HttpRequest copy(request);
    EXPECT_EQ(copy.AutomationObject(), request.AutomationObject());
    copy.Jar().ClearAll();
    EXPECT_EQ(request.Jar().GetCookie("127.0.0.1", "a"), "1");
}

TEST_F(HttpRequestTest, ModeTwoUsesTheSharedJar) {
    ModuleStartup();
    {
        HttpRequest first;
        first.SetCookieMode(2);
        ASSERT_TRUE(first.Open(loopback_.Url("/set")));
        ASSERT_TRUE(first.Send());
        HttpRequest second;
        second.SetCookieMode(2);
        ASSERT_TRUE(second.Open(loopback_.Url("/echo")));
        ASSERT_TRUE(second.Send());
        EXPECT_EQ(second.ResponseText(), "GET|a=1; b=2;");
        EXPECT_EQ(first.Jar().GetCookie("127.0.0.1", "a"), "");
    }
    ModuleShutdown();

    // Without the module-level state, mode 2 has no jar and sends nothing.
    HttpRequest late;
    late.SetCookieMode(2);
    ASSERT_TRUE(late.Open(loopback_.Url("/echo")));
    ASSERT_TRUE(late.Send());
    EXPECT_EQ(late.ResponseText(), "GET|");
}

TEST_F(HttpRequestTest, ModeThreeUsesTheProcessStoreWithPathRules) {
    PlatformCookieStore::Instance().Clear();
    HttpRequest request;
    request.SetCookieMode(3);
    ASSERT_TRUE(request.Open(loopback_.Url("/scoped/one")));
    ASSERT_TRUE(request.Send());
    EXPECT_EQ(request.ResponseText(), "");
    ASSERT_TRUE(request.Open(loopback_.Url("/scoped/two")));
    ASSERT_TRUE(request.Send());
    EXPECT_EQ(request.ResponseText(), "sid=abc");
    ASSERT_TRUE(request.Open(loopback_.Url("/echo")));
    ASSERT_TRUE(request.SendBytes());
    EXPECT_EQ(request.ResponseText(), "GET|");  // /echo is outside /scoped
    PlatformCookieStore::Instance().Clear();
}

TEST_F(HttpRequestTest, SharedJarServesEightThreadsAtOnce) {
    ModuleStartup();
    constexpr int kThreads = 8;
    constexpr int kRounds = 5;
    std::vector<std::thread> threads;
    std::atomic<int> failures{0};
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            HttpRequest request;
            request.SetCookieMode(2);
            for (int round = 0; round < kRounds; ++round) {
                if (!request.Open(loopback_.Url("/thread?n=" + std::to_string(t))) ||
                    !request.Send() || request.Status() != 200) {
                    ++failures;
                }
                // From the second round on, this thread's own cookie comes back.
                const std::string mine = "t" + std::to_string(t) + "=v" + std::to_string(t);
                if (round > 0 && request.ResponseText().find(mine) == std::string::npos) {
                    ++failures;
                }
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(failures, 0);
    std::shared_ptr<CookieJar> jar = SharedCookieJar();
    ASSERT_NE(jar, nullptr);
    EXPECT_EQ(jar->store().KeyCount("127.0.0.1"), kThreads);
    for (int t = 0; t < kThreads; ++t) {
        EXPECT_EQ(jar->GetCookie("127.0.0.1", "t" + std::to_string(t)), "v" + std::to_string(t));
    }
    ModuleShutdown();
}

TEST(HttpRequestCookieHeaders, ReadsValuesAndLinesOfTheLastResponse) {
    RawHttpResponder raw(
        "HTTP/1.1 200 OK\r\n"
        "Set-Cookie: a=1; Path=/\r\n"
        "Set-Cookie:b=2\r\n"
        "set-cookie: c=3;\r\n"
        "Content-Length: 0\r\n"
        "Connection: close\r\n\r\n");
    HttpRequest request;
    request.SetCookieMode(1);
    ASSERT_TRUE(request.Open(raw.Url("/")));
    ASSERT_TRUE(request.Send()) << HttpRequest::LastError();
    EXPECT_EQ(request.GetCookieValue("a"), "1");
    EXPECT_EQ(request.GetCookieValue("b"), "2");
    EXPECT_EQ(request.GetCookieValue("c"), "");  // header name in other letter case
    EXPECT_EQ(request.GetCookieValue("missing"), "");
    EXPECT_EQ(request.GetSetCookieLines(), "Set-Cookie: a=1; Path=/\r\nSet-Cookie:b=2\r\n");
    // The jar's reading ignores letter case and the missing space.
    EXPECT_EQ(request.Jar().BuildCookieHeader("127.0.0.1"), "a=1; b=2; c=3; ");
}

TEST(HttpRequestFailures, EmptyResultsAndAReason) {
    HttpRequest request;
    EXPECT_TRUE(request.IsCreated());
    EXPECT_FALSE(request.Send());
    EXPECT_FALSE(HttpRequest::LastError().empty());
    EXPECT_EQ(request.Status(), 0);
    EXPECT_EQ(request.GetSetCookieLines(), "");
    EXPECT_EQ(request.GetCookieValue("a"), "");

    request.ClearObject();
    EXPECT_FALSE(request.IsCreated());
    EXPECT_FALSE(request.Open("http://127.0.0.1:1/"));
    EXPECT_EQ(request.Host(), "127.0.0.1");  // stored although opening failed
    EXPECT_EQ(request.ResponseText(), "");
    EXPECT_TRUE(std::holds_alternative<std::monostate>(request.Option(kHttpOptionUserAgent)));
    EXPECT_FALSE(HttpRequest::LastError().empty());

    HttpRequest options;
    EXPECT_EQ(std::get<std::string>(options.Option(kHttpOptionUserAgent, std::string("ua/2"))),
              "ua/2");
    EXPECT_EQ(std::get<bool>(options.Option(kHttpOptionEnableRedirects)), true);
}

}  // namespace
}  // namespace quillark
