#include "core/library/description_path.h"

#include <gtest/gtest.h>

#include "core/settings/netnavi_setting.h"
#include "support/sjis.h"

namespace {

TEST(DescriptionPath, IsTheRecordersCacheFolderAndTheTitlesFileName) {
    const std::string appDir = "/opt/lv/";
    EXPECT_EQ(DescriptionPath(appDir, "RD-1", "200512212100081.txt"), "/opt/lv/RD-1/200512212100081.txt");
    // The same folder as the profile's, without reading it.
    CNetNaviSetting setting(appDir);
    ASSERT_TRUE(setting.SetName("Living"));
    EXPECT_EQ(DescriptionPath(appDir, "Living", "a.txt"), setting.GetCacheFolder() + "a.txt");
    EXPECT_EQ(DescriptionPath(setting.GetCacheFolder(), "a.txt"), "/opt/lv/Living/a.txt");
    // A name no profile can have has no cache folder.
    EXPECT_EQ(DescriptionPath(appDir, "", "a.txt"), std::nullopt);
    EXPECT_EQ(DescriptionPath(appDir, "../x", "a.txt"), std::nullopt);
}

TEST(DescriptionPath, AFileNameFromTheRecorderStaysInTheCacheFolder) {
    EXPECT_EQ(DescriptionFileName("../../etc/passwd"), "....etcpasswd");
    EXPECT_EQ(DescriptionFileName("a\\b:c.txt"), "abc.txt");
    EXPECT_EQ(DescriptionFileName(".."), "");
    EXPECT_EQ(DescriptionFileName("."), "");
    // A trail byte that looks like a backslash belongs to its character.
    const std::string table = SJ("表.txt");
    EXPECT_EQ(DescriptionFileName(table), table);
    EXPECT_EQ(DescriptionPath("/c/RD/", "x/y.txt"), "/c/RD/xy.txt");
}

}  // namespace
