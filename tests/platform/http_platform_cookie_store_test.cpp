#include <gtest/gtest.h>

#include <thread>

#include "platform/platform_cookie_store.h"

namespace quillark {
namespace {

class PlatformCookieStoreTest : public ::testing::Test {
  protected:
    PlatformCookieStoreTest() { store_.Clear(); }
    ~PlatformCookieStoreTest() override { store_.Clear(); }
    PlatformCookieStore& store_ = PlatformCookieStore::Instance();
};

TEST_F(PlatformCookieStoreTest, HostOnlyCookiesGoBackToTheirHostAlone) {
    EXPECT_TRUE(store_.SetCookie("http://www.example.com/a/b", "sid", "1; HttpOnly"));
    EXPECT_EQ(store_.GetCookies("http://www.example.com/a/c"), "sid=1");
    EXPECT_EQ(store_.GetCookies("http://WWW.Example.com/a"), "sid=1");
    EXPECT_EQ(store_.GetCookies("http://www.example.com/"), "");  // default path is /a
    EXPECT_EQ(store_.GetCookies("http://sub.www.example.com/a/"), "");
    EXPECT_EQ(store_.GetCookies("http://example.com/a/"), "");
}

TEST_F(PlatformCookieStoreTest, DomainAndPathAttributes) {
    EXPECT_TRUE(store_.SetCookie("http://www.example.com/", "d", "1; Domain=.Example.com; Path=/"));
    EXPECT_TRUE(store_.SetCookie("http://www.example.com/", "p", "2; Path=/docs"));
    EXPECT_FALSE(store_.SetCookie("http://www.example.com/", "x", "3; Domain=other.org"));
    EXPECT_FALSE(store_.SetCookie("http://example.com/", "x", "3; Domain=www.example.com"));
    EXPECT_EQ(store_.GetCookies("http://a.b.example.com/"), "d=1");
    EXPECT_EQ(store_.GetCookies("http://www.example.com/docs/x"), "p=2; d=1");  // longer path first
    EXPECT_EQ(store_.GetCookies("http://www.example.com/docsx"), "d=1");
    EXPECT_EQ(store_.GetCookies("http://notexample.com/"), "");
}

TEST_F(PlatformCookieStoreTest, SecureExpiryAndReplacement) {
    EXPECT_TRUE(store_.SetCookie("https://h.example/", "s", "1; Secure; Path=/"));
    EXPECT_EQ(store_.GetCookies("http://h.example/"), "");
    EXPECT_EQ(store_.GetCookies("https://h.example/"), "s=1");

    EXPECT_TRUE(store_.SetCookie("http://h.example/", "a", "1; Path=/"));
    EXPECT_TRUE(store_.SetCookie("http://h.example/", "b", "2; Path=/"));
    EXPECT_TRUE(store_.SetCookie("http://h.example/", "a", "3; Path=/"));  // keeps its place
    EXPECT_EQ(store_.GetCookies("http://h.example/"), "a=3; b=2");
    EXPECT_TRUE(store_.SetCookie("http://h.example/", "a", "x; Path=/; Max-Age=0"));
    EXPECT_TRUE(store_.SetCookie("http://h.example/", "b",
                                 "x; Path=/; Expires=Thu, 01 Jan 1970 00:00:01 GMT"));
    EXPECT_TRUE(store_.SetCookie("http://h.example/", "c",
                                 "4; Path=/; Expires=Fri, 01 Jan 2100 00:00:00 GMT"));
    EXPECT_EQ(store_.GetCookies("http://h.example/"), "c=4");
}

TEST_F(PlatformCookieStoreTest, RefusesWhatCannotBeACookie) {
    EXPECT_FALSE(store_.SetCookie("not a url", "a", "1"));
    EXPECT_FALSE(store_.SetCookie("ftp://h.example/", "a", "1"));
    EXPECT_FALSE(store_.SetCookie("http://h.example/", " ", "1"));
    EXPECT_FALSE(store_.SetCookie("http://h.example/", "a\r\nX-Injected", "1"));
    EXPECT_FALSE(store_.SetCookie("http://h.example/", "a", "1\r\nX-Injected: 2"));
    EXPECT_EQ(store_.GetCookies("http://h.example/"), "");
    EXPECT_EQ(store_.GetCookies("garbage"), "");
}

TEST_F(PlatformCookieStoreTest, KeepsAtMostTheLimitDroppingTheOldest) {
    for (size_t i = 0; i <= PlatformCookieStore::kMaxCookies; ++i) {
        store_.SetCookie("http://h.example/", "c" + std::to_string(i), "v; Path=/");
    }
    const std::string all = store_.GetCookies("http://h.example/");
    EXPECT_EQ(all.find("c0="), std::string::npos);
    EXPECT_NE(all.find("c1="), std::string::npos);
}

TEST_F(PlatformCookieStoreTest, ThreadsShareTheStore) {
    std::vector<std::thread> threads;
    for (int t = 0; t < 8; ++t) {
        threads.emplace_back([this, t] {
            for (int i = 0; i < 50; ++i) {
                store_.SetCookie("http://h.example/", "t" + std::to_string(t),
                                 std::to_string(i) + "; Path=/");
                store_.GetCookies("http://h.example/");
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    const std::string all = store_.GetCookies("http://h.example/");
    for (int t = 0; t < 8; ++t) {
        EXPECT_NE(all.find("t" + std::to_string(t) + "=49"), std::string::npos) << all;
    }
}

}  // namespace
}  // namespace quillark
