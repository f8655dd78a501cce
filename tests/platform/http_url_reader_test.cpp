#include <gtest/gtest.h>

#include "platform/url_reader.h"
#include "support/loopback_http_server.h"

namespace quillark {
namespace {

TEST(UrlReader, ReturnsTheWholeBodyOrNothing) {
    testing::LoopbackHttpServer loopback;
    httplib::Server& server = loopback.server();
    const std::string binary("[{\"a\":1}]\x00\xFF", 11);
    server.Get("/catalogue.json", [&](const httplib::Request&, httplib::Response& response) {
        response.set_content(binary, "application/json");
    });
    server.Get("/moved", [](const httplib::Request&, httplib::Response& response) {
        response.set_redirect("/catalogue.json");
    });
    server.Get("/broken", [](const httplib::Request&, httplib::Response& response) {
        response.status = 500;
        response.set_content("oops", "text/plain");
    });
    loopback.Start();

    EXPECT_EQ(UrlReader::Read(loopback.Url("/catalogue.json")), binary);
    EXPECT_EQ(UrlReader::Read(loopback.Url("/moved")), binary);
    EXPECT_EQ(UrlReader::Read(loopback.Url("/broken")), std::nullopt);
    EXPECT_EQ(UrlReader::Read(loopback.Url("/absent")), std::nullopt);
    EXPECT_EQ(UrlReader::Read("not a url"), std::nullopt);
    EXPECT_EQ(UrlReader::Read("http://127.0.0.1:1/"), std::nullopt);
}

}  // namespace
}  // namespace quillark
