#include "core/library/description_path.h"

#include <gtest/gtest.h>

#include "core/library/records.h"
#include "core/settings/netnavi_setting.h"
#include "core/text/cp932.h"
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

// "/" and ":" never survive; "\\" only as the second byte of a valid
// double-byte character of the name itself.
void ExpectSafeName(const std::string& name) {
    for (std::size_t i = 0; i < name.size();) {
        const auto c = static_cast<unsigned char>(name[i]);
        if (lv::text::IsLeadByte(c)) {
            ASSERT_LT(i + 1, name.size()) << name;
            ASSERT_TRUE(lv::text::IsTrailByte(static_cast<unsigned char>(name[i + 1]))) << name;
            i += 2;
        } else {
            EXPECT_TRUE(c != '/' && c != ':' && c != '\\') << name;
            ++i;
        }
    }
}

TEST(DescriptionPath, TheRecordAndTheTransferCleanTheNameByOneRule) {
    const std::string table = SJ("表");  // 95 5C
    const std::string cases[][3] = {
        {"2005/12/21", "21:00", "081"},
        // A lead byte before "/" is no character: neither stays.
        {"2005/12\x81/21", "21:00", "081"},
        {"2005\x81:", "\x81\\", "\x80\\"},
        // A lead byte left alone would pair with what follows once "/" is gone.
        {"\x81/" + table, "\x81", ":\\"},
        {"\x81", "\\00", table + "\x81"},
        {"..", "/", SJ("ソ") + "\\..\\x"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c[0] + "|" + c[1] + "|" + c[2]);
        CRDTitleInfo t;
        TITLEINFO v{};
        v.apszField[TF_DATE] = c[0].c_str();
        v.apszField[TF_TIME] = c[1].c_str();
        v.apszField[TF_CHANNEL] = c[2].c_str();
        t.SetInfo(v);
        const std::string name(t.Field(TF_TEXTFILE));
        ExpectSafeName(name);
        EXPECT_EQ(MakeTextFileName(c[0], c[1], c[2]), name);
        EXPECT_EQ(DescriptionFileName(name), name);
    }
    EXPECT_EQ(MakeTextFileName("2005/12\x81/21", "21:00", "081"),
              "2005122121"
              "00081.txt");
    EXPECT_EQ(MakeTextFileName("\x81/" + table, "", ""), table + ".txt");
    EXPECT_EQ(DescriptionFileName("a\x81/b\x81\\c.txt"), "ab\x81\\c.txt");
}

}  // namespace
