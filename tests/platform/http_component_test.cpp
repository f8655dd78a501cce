#include "platform/http_component.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>
#include <set>

#include "support/loopback_http_server.h"
#include "text/gbk_literal.h"

namespace quillark {
namespace {

using namespace literals;
using testing::LoopbackHttpServer;

// Holds handlers of a "never answers" route until the test lets them go.
class Gate {
  public:
    void Wait() {
        std::unique_lock lock(mutex_);
        opened_.wait(lock, [this] { return open_; });
    }
    void Open() {
        {
            std::lock_guard lock(mutex_);
            open_ = true;
        }
        opened_.notify_all();
    }

  private:
    std::mutex mutex_;
    std::condition_variable opened_;
    bool open_ = false;
};

class HttpComponentTest : public ::testing::Test {
  protected:
    HttpComponentTest() {
        httplib::Server& server = loopback_.server();
        server.Get("/echo", [](const httplib::Request& request, httplib::Response& response) {
            response.set_header("X-Reply", "yes");
            response.set_header("X-Seen-Test", request.get_header_value("X-Test"));
            response.set_header("X-Seen-Agent", request.get_header_value("User-Agent"));
            response.set_content("hello", "text/plain");
        });
        server.Post("/body", [](const httplib::Request& request, httplib::Response& response) {
            response.set_content(request.method + ":" + request.body + ":" +
                                     request.get_header_value("Content-Length"),
                                 "text/plain");
        });
        server.Get("/missing", [](const httplib::Request&, httplib::Response& response) {
            response.status = 404;
            response.set_content("missing", "text/plain");
        });
        server.Get("/old", [](const httplib::Request&, httplib::Response& response) {
            response.set_redirect("/echo");
        });
        server.Get("/chunked", [](const httplib::Request&, httplib::Response& response) {
            response.set_chunked_content_provider(
                "text/plain", [](size_t offset, httplib::DataSink& sink) {
                    if (offset >= 3000) {
                        sink.done();
                        return true;
                    }
                    const std::string piece(1000, static_cast<char>('a' + offset / 1000));
                    sink.write(piece.data(), piece.size());
                    return true;
                });
        });
        server.Get("/port", [](const httplib::Request& request, httplib::Response& response) {
            response.set_content(std::to_string(request.remote_port), "text/plain");
        });
        server.Get("/reset", [](const httplib::Request&, httplib::Response& response) {
            response.set_content_provider(
                100000, "text/plain", [](size_t offset, size_t, httplib::DataSink& sink) {
                    if (offset > 0) {
                        return false;  // the connection closes in the middle of the body
                    }
                    const std::string piece(1000, 'x');
                    sink.write(piece.data(), piece.size());
                    return true;
                });
        });
        server.Get("/silent", [this](const httplib::Request&, httplib::Response& response) {
            gate_.Wait();
            response.set_content("late", "text/plain");
        });
        server.Get("/huge", [](const httplib::Request& request, httplib::Response& response) {
            constexpr size_t total = HttpComponent::kMaxBodyBytes + 1;
            auto provide = [](size_t offset, httplib::DataSink& sink) {
                static const std::string block(1 << 16, 'z');
                if (offset >= total) {
                    sink.done();
                    return true;
                }
                sink.write(block.data(), std::min(block.size(), total - offset));
                return true;
            };
            if (request.has_param("chunked")) {
                response.set_chunked_content_provider("text/plain", provide);
            } else {
                response.set_content_provider(
                    total, "text/plain", [provide](size_t offset, size_t, httplib::DataSink& sink) {
                        return provide(offset, sink);
                    });
            }
        });
        server.Get("/charset", [](const httplib::Request& request, httplib::Response& response) {
            response.set_content(request.get_param_value("body"),
                                 request.get_param_value("type").c_str());
        });
        server.Get("/auth", [](const httplib::Request& request, httplib::Response& response) {
            if (request.get_header_value("Authorization") != "Basic dXNlcjpwYXNz") {
                response.status = 401;
                response.set_header("WWW-Authenticate", "Basic realm=\"q\"");
                return;
            }
            response.set_content("welcome", "text/plain");
        });
        // Reached as a proxy: the request line holds the whole URL.
        server.Get(
            R"(http://.*)", [](const httplib::Request& request, httplib::Response& response) {
                response.set_content("proxied " + request.get_header_value("Host"), "text/plain");
            });
        loopback_.Start();
    }
    ~HttpComponentTest() override { gate_.Open(); }

    std::shared_ptr<HttpComponent> Get(std::string_view path) {
        auto http = HttpComponent::Create();
        EXPECT_TRUE(http->Open("GET", loopback_.Url(path), false));
        EXPECT_TRUE(http->Send()) << HttpComponent::LastError();
        return http;
    }

    Gate gate_;  // outlives the server, whose handler threads wait on it
    LoopbackHttpServer loopback_;
};

TEST_F(HttpComponentTest, ReadsStatusHeadersAndBody) {
    auto http = HttpComponent::Create();
    ASSERT_TRUE(http->Open("GET", loopback_.Url("/echo"), false));
    ASSERT_TRUE(http->SetRequestHeader("X-Test", "first"));
    ASSERT_TRUE(http->SetRequestHeader("x-test", "second"));  // replaces, case aside
    ASSERT_TRUE(http->SetOption(kHttpOptionUserAgent, std::string("probe/1")));
    ASSERT_TRUE(http->Send()) << HttpComponent::LastError();
    EXPECT_EQ(http->Status(), 200);
    EXPECT_EQ(http->StatusText(), "OK");
    EXPECT_EQ(http->ResponseBody(), "hello");
    EXPECT_EQ(http->ResponseText(), "hello");
    EXPECT_EQ(http->GetResponseHeader("x-reply"), "yes");
    EXPECT_EQ(http->GetResponseHeader("X-Seen-Test"), "second");
    EXPECT_EQ(http->GetResponseHeader("X-Seen-Agent"), "probe/1");
    EXPECT_EQ(http->GetResponseHeader("X-Absent"), "");
    EXPECT_FALSE(HttpComponent::LastError().empty());

    const std::string headers = http->GetAllResponseHeaders();
    EXPECT_EQ(headers.find("HTTP/"), std::string::npos);
    EXPECT_NE(headers.find("X-Reply: yes\r\n"), std::string::npos);
    EXPECT_TRUE(headers.ends_with("\r\n"));
    EXPECT_FALSE(headers.ends_with("\r\n\r\n"));
    std::string streamed;
    *http->ResponseStream() >> streamed;
    EXPECT_EQ(streamed, "hello");
}

TEST_F(HttpComponentTest, ErrorStatusStillGivesTheBody) {
    auto http = Get("/missing");
    EXPECT_EQ(http->Status(), 404);
    EXPECT_EQ(http->StatusText(), "Not Found");
    EXPECT_EQ(http->ResponseText(), "missing");
}

TEST_F(HttpComponentTest, FollowsRedirectsUnlessTurnedOff) {
    auto http = Get("/old");
    EXPECT_EQ(http->Status(), 200);
    EXPECT_EQ(http->ResponseText(), "hello");
    EXPECT_EQ(std::get<std::string>(http->Option(kHttpOptionUrl)), loopback_.Url("/echo"));
    EXPECT_EQ(http->GetAllResponseHeaders().find("Location"), std::string::npos);

    ASSERT_TRUE(http->SetOption(kHttpOptionEnableRedirects, false));
    ASSERT_TRUE(http->Open("GET", loopback_.Url("/old"), false));
    ASSERT_TRUE(http->Send());
    EXPECT_EQ(http->Status(), 302);
    EXPECT_EQ(http->GetResponseHeader("Location"), "/echo");
}

TEST_F(HttpComponentTest, ReadsChunkedBodies) {
    auto http = Get("/chunked");
    EXPECT_EQ(http->ResponseBody(),
              std::string(1000, 'a') + std::string(1000, 'b') + std::string(1000, 'c'));
}

TEST_F(HttpComponentTest, KeepsItsConnectionBetweenRequests) {
    auto http = HttpComponent::Create();
    std::set<std::string> ports;
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(http->Open("GET", loopback_.Url("/port"), false));
        ASSERT_TRUE(http->Send());
        ports.insert(http->ResponseText());
    }
    EXPECT_EQ(ports.size(), 1u);
}

TEST_F(HttpComponentTest, SendsTextBodiesEvenWhenEmpty) {
    auto http = HttpComponent::Create();
    ASSERT_TRUE(http->Open("POST", loopback_.Url("/body"), false));
    ASSERT_TRUE(http->Send("a=1&b=\xC4\xE3"));
    EXPECT_EQ(http->ResponseBody(), "POST:a=1&b=\xC4\xE3:8");
    ASSERT_TRUE(http->Open("POST", loopback_.Url("/body"), false));
    ASSERT_TRUE(http->Send(""));
    EXPECT_EQ(http->ResponseBody(), "POST::0");
}

TEST_F(HttpComponentTest, DecodesResponseTextByCharset) {
    struct Case {
        std::string body, type, expected;
    } cases[] = {
        {"\xE6\xAD\xA3\xE5\xB8\xB8", "text/plain", "正常"_gbk},  // UTF-8 by default
        {"\xE6\xAD\xA3\xE5\xB8\xB8", "text/plain; charset=UTF-8", "正常"_gbk},
        {"\xD5\xFD\xB3\xA3", "text/html; charset=gb2312", "正常"_gbk},
        {"\xD5\xFD\xB3\xA3", "text/html; charset=\"GBK\"", "正常"_gbk},
        {"\xE9", "text/plain; charset=iso-8859-1", "\xA8\xA6"},  // é
        {"\xEF\xBB\xBF"
         "ok",
         "text/plain; charset=utf-8", "ok"},  // BOM dropped
        {"plain", "text/plain; charset=no-such-charset", "plain"},
    };
    auto http = HttpComponent::Create();
    for (const Case& c : cases) {
        httplib::Params params{{"body", c.body}, {"type", c.type}};
        ASSERT_TRUE(http->Open(
            "GET", loopback_.Url("/charset?" + httplib::detail::params_to_query_str(params)),
            false));
        ASSERT_TRUE(http->Send());
        EXPECT_EQ(http->ResponseText(), c.expected) << c.type;
        EXPECT_EQ(http->ResponseBody(), c.body) << c.type;
    }
}

TEST_F(HttpComponentTest, ResetInTheMiddleOfTheBodyFailsTheRequest) {
    auto http = HttpComponent::Create();
    ASSERT_TRUE(http->Open("GET", loopback_.Url("/reset"), false));
    EXPECT_FALSE(http->Send());
    EXPECT_FALSE(HttpComponent::LastError().empty());
    EXPECT_EQ(http->Status(), 0);
    EXPECT_EQ(http->ResponseBody(), "");
    EXPECT_FALSE(HttpComponent::LastError().empty());
    // The object goes on working.
    ASSERT_TRUE(http->Open("GET", loopback_.Url("/echo"), false));
    ASSERT_TRUE(http->Send());
    EXPECT_EQ(http->ResponseText(), "hello");
}

TEST_F(HttpComponentTest, SilentServerTimesOut) {
    auto http = HttpComponent::Create();
    ASSERT_TRUE(http->SetTimeouts(0, 2000, 500, 500));
    ASSERT_TRUE(http->Open("GET", loopback_.Url("/silent"), false));
    EXPECT_FALSE(http->Send());
    EXPECT_NE(HttpComponent::LastError().find("timed out"), std::string::npos)
        << HttpComponent::LastError();
    EXPECT_EQ(http->ResponseText(), "");
}

TEST_F(HttpComponentTest, AsynchronousSendWaitsAndAborts) {
    auto http = HttpComponent::Create();
    ASSERT_TRUE(http->Open("GET", loopback_.Url("/silent"), true));
    ASSERT_TRUE(http->Send());  // returns while the server still holds the answer
    EXPECT_EQ(http->Status(), 0);
    EXPECT_FALSE(http->WaitForResponse(1));
    gate_.Open();
    EXPECT_TRUE(http->WaitForResponse(0));
    EXPECT_EQ(http->Status(), 200);
    EXPECT_EQ(http->ResponseText(), "late");

    auto waiting = HttpComponent::Create();
    ASSERT_TRUE(waiting->Open("GET", loopback_.Url("/echo"), true));
    ASSERT_TRUE(waiting->Send());
    waiting->Abort();  // may land before or after the answer; either way nothing hangs
    ASSERT_TRUE(waiting->Open("GET", loopback_.Url("/echo"), false));
    ASSERT_TRUE(waiting->Send());
    EXPECT_EQ(waiting->ResponseText(), "hello");
}

TEST_F(HttpComponentTest, AbortEndsAnExchangeThatIsStillWaiting) {
    auto http = HttpComponent::Create();
    ASSERT_TRUE(http->Open("GET", loopback_.Url("/silent"), true));
    ASSERT_TRUE(http->Send());
    http->Abort();
    EXPECT_FALSE(http->WaitForResponse(0));
    EXPECT_EQ(http->Status(), 0);
    EXPECT_NE(HttpComponent::LastError().find("aborted"), std::string::npos);
}

TEST_F(HttpComponentTest, BodiesOverTheLimitFail) {
    for (const char* path : {"/huge", "/huge?chunked=1"}) {
        auto http = HttpComponent::Create();
        ASSERT_TRUE(http->Open("GET", loopback_.Url(path), false));
        EXPECT_FALSE(http->Send()) << path;
        EXPECT_FALSE(HttpComponent::LastError().empty());
        EXPECT_EQ(http->ResponseBody(), "");
    }
}

TEST_F(HttpComponentTest, SendsCredentialsWhenAsked) {
    auto http = HttpComponent::Create();
    ASSERT_TRUE(http->Open("GET", loopback_.Url("/auth"), false));
    ASSERT_TRUE(http->Send());
    EXPECT_EQ(http->Status(), 401);
    ASSERT_TRUE(http->Open("GET", loopback_.Url("/auth"), false));
    ASSERT_TRUE(http->SetCredentials("user", "pass", 0));
    ASSERT_TRUE(http->Send());
    EXPECT_EQ(http->Status(), 200);
    EXPECT_EQ(http->ResponseText(), "welcome");
}

TEST_F(HttpComponentTest, GoesThroughANamedProxy) {
    auto http = HttpComponent::Create();
    ASSERT_TRUE(http->SetProxy(kHttpProxyNamed, loopback_.HostPort(), ""));
    ASSERT_TRUE(http->Open("GET", "http://status.example.invalid/x", false));
    ASSERT_TRUE(http->Send()) << HttpComponent::LastError();
    EXPECT_EQ(http->ResponseText(), "proxied status.example.invalid");
}

TEST_F(HttpComponentTest, CallsOutOfOrderOrWithBadInputFail) {
    auto http = HttpComponent::Create();
    EXPECT_FALSE(http->Send());
    EXPECT_FALSE(HttpComponent::LastError().empty());
    EXPECT_EQ(http->Status(), 0);
    EXPECT_EQ(http->GetAllResponseHeaders(), "");
    EXPECT_FALSE(http->WaitForResponse(1));
    EXPECT_FALSE(http->SetRequestHeader("X", "y"));
    EXPECT_FALSE(http->Open("GET", "ftp://127.0.0.1/", false));
    EXPECT_FALSE(http->Open("GE T", loopback_.Url("/echo"), false));
    ASSERT_TRUE(http->Open("GET", loopback_.Url("/echo"), false));
    EXPECT_TRUE(HttpComponent::LastError().empty());
    EXPECT_FALSE(http->SetRequestHeader("X-Bad", "a\r\nInjected: yes"));
    EXPECT_FALSE(http->SetRequestHeader("Bad Name", "a"));
    EXPECT_EQ(http->Status(), 0);  // not sent yet
    EXPECT_FALSE(http->SetTimeouts(-5, 0, 0, 0));
    EXPECT_FALSE(http->SetProxy(7, "", ""));
    EXPECT_FALSE(http->SetAutoLogonPolicy(3));
    EXPECT_TRUE(http->SetAutoLogonPolicy(2));
    EXPECT_TRUE(std::holds_alternative<std::monostate>(http->Option(99)));
    EXPECT_FALSE(HttpComponent::LastError().empty());

    auto refused = HttpComponent::Create();
    LoopbackHttpServer closed;  // bound but never started: connect succeeds, nobody answers
    ASSERT_TRUE(refused->SetTimeouts(0, 1000, 300, 300));
    ASSERT_TRUE(refused->Open("GET", closed.Url("/"), false));
    EXPECT_FALSE(refused->Send());
}

}  // namespace
}  // namespace quillark
