#include "catalogue/server_list_loader.h"

#include <gtest/gtest.h>

#include "platform/text_codec.h"

namespace quillark {
namespace {

std::string Gbk(const char* utf8) {
    return TextCodec::Utf8ToGbk(utf8);
}

TEST(DisplayName, PrefixTwoDigitsAndTheRegionSuffix) {
    struct Case {
        const char* old_name;
        const char* expected;
    } cases[] = {
        {"甲乙一", "甲乙01区 "}, {"甲乙十一", "甲乙11区 "},
        {"甲乙", "甲乙00区 "},   {"甲乙一百零五", "甲乙05区 "},
        {"甲乙十", "甲乙10区 "}, {"甲乙十九", "甲乙19区 "},
        {"甲", "甲00区 "},       {"", "00区 "},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ServerListLoader::DisplayName(Gbk(c.old_name)), Gbk(c.expected)) << c.old_name;
    }
}

}  // namespace
}  // namespace quillark
