#include "core/text/base64.h"

#include <gtest/gtest.h>

namespace lv::text {
namespace {

TEST(Base64, EncodesAndDecodesEveryTailLength) {
    // RFC 4648's own examples, which cover groups of one, two and three bytes.
    const std::pair<const char*, const char*> cases[] = {{"", ""},
                                                         {"f", "Zg=="},
                                                         {"fo", "Zm8="},
                                                         {"foo", "Zm9v"},
                                                         {"foob", "Zm9vYg=="},
                                                         {"fooba", "Zm9vYmE="},
                                                         {"foobar", "Zm9vYmFy"}};
    for (const auto& [plain, encoded] : cases) {
        EXPECT_EQ(Base64Encode(plain), encoded);
        EXPECT_EQ(Base64Decode(encoded), plain);
    }
    const std::string bytes("\x00\xff\x80\x7f\xfe", 5);
    EXPECT_EQ(Base64Decode(Base64Encode(bytes)), bytes);
}

TEST(Base64, RefusesWhatIsNotWholeGroups) {
    for (const char* bad : {"Zg=", "Zg", "Zm9v ", " Zm9v", "Zm=v", "Z===", "Zg==Zg==", "Zm9*", "Zm\n9v"})
        EXPECT_FALSE(Base64Decode(bad)) << bad;
}

}  // namespace
}  // namespace lv::text
