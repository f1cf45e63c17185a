#include "core/settings/netnavi_setting.h"

#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <filesystem>

#include "core/ini/ini_file.h"
#include "core/settings/models.h"
#include "core/settings/password.h"
#include "support/sjis.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;
using lv::test::ReadFile;
using lv::test::TempDir;
using lv::test::WriteFile;

namespace {

CNetNaviSetting Filled(const std::string& appDir, const std::string& name, const std::string& password) {
    CNetNaviSetting s(appDir);
    EXPECT_TRUE(s.SetName(name));
    EXPECT_TRUE(s.SetModel("RD-XS57"));
    EXPECT_TRUE(s.SetHost("192.168.0.20"));
    EXPECT_TRUE(s.SetPort(8080));
    EXPECT_TRUE(s.SetAuth(1));
    EXPECT_TRUE(s.SetUser("admin-1"));
    EXPECT_TRUE(s.SetPassword(password));
    return s;
}

CNetNaviSetting Loaded(const std::string& appDir, const std::string& name) {
    CNetNaviSetting s(appDir);
    EXPECT_TRUE(s.SetName(name));
    EXPECT_TRUE(s.Load());
    return s;
}

// 22 characters of the base64 alphabet and "==".
bool IsProtectedValue(const std::string& v) {
    static const std::string alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    return v.size() == 24 && v.substr(22) == "==" && v.find_first_not_of(alphabet) == 22;
}

std::string PasswordValue(const std::string& iniPath) {
    return lv::ini::ReadString(iniPath, "NetNavi", "Password", "<none>");
}

}  // namespace

TEST(NetNaviSetters, RefuseBadValuesAndKeepTheOldOnes) {
    CNetNaviSetting s("/x/");
    ASSERT_TRUE(s.SetName("RD-X5"));
    for (const std::string& bad :
         std::vector<std::string>{"", "RD X5", "RD_X5", "RD.X5", "RD/X5", "..", SJ("録画機"), SJ("ｱｲｳ"), "RD\xB1"})
        EXPECT_FALSE(s.SetName(bad)) << bad;
    EXPECT_EQ(s.GetName(), "RD-X5");
    EXPECT_TRUE(s.SetName("a-9"));

    ASSERT_TRUE(s.SetHost("rd-x5.home.lan"));
    for (const std::string& bad : std::vector<std::string>{"", "rd x5", "rd_x5", "rd:80", SJ("ほすと"), "host\xFC"})
        EXPECT_FALSE(s.SetHost(bad)) << bad;
    EXPECT_EQ(s.GetHost(), "rd-x5.home.lan");
    EXPECT_TRUE(s.SetHost("192.168.0.1"));

    for (int good : {80, 2000, 5000, 10000}) EXPECT_TRUE(s.SetPort(good)) << good;
    for (int bad : {0, -80, 79, 81, 1999, 10001, 65535}) EXPECT_FALSE(s.SetPort(bad)) << bad;
    EXPECT_EQ(s.GetPort(), 10000);

    EXPECT_TRUE(s.SetAuth(0));
    EXPECT_TRUE(s.SetAuth(7));
    EXPECT_EQ(s.GetAuth(), 7);

    ASSERT_TRUE(s.SetUser("user-1"));
    ASSERT_TRUE(s.SetPassword("Pass-2"));
    for (const std::string& bad : std::vector<std::string>{"a.b", "a b", "a_b", SJ("ユーザー")}) {
        EXPECT_FALSE(s.SetUser(bad)) << bad;
        EXPECT_FALSE(s.SetPassword(bad)) << bad;
    }
    EXPECT_EQ(s.GetUser(), "user-1");
    EXPECT_EQ(s.GetPassword(), "Pass-2");
    EXPECT_TRUE(s.SetUser(""));
    EXPECT_TRUE(s.SetPassword(""));

    for (const auto& m : g_aModels) EXPECT_TRUE(s.SetModel(m.pszName)) << m.pszName;
    for (const std::string& bad : std::vector<std::string>{"", "rd-x6", "RD-X6 ", "RD-X7"})
        EXPECT_FALSE(s.SetModel(bad)) << bad;
    EXPECT_EQ(s.GetModel(), "RD-X6");
}

TEST(NetNaviSetters, ModelClassFollowsTheModelTable) {
    CNetNaviSetting s("/x/");
    EXPECT_EQ(s.GetModelClass(), 0);
    const std::pair<const char*, int> cases[] = {{"RD-XS40", 1}, {"RD-XS31", 1}, {"RD-XS41", 2},
                                                 {"RD-XV44", 2}, {"RD-Z1", 3},   {"RD-X6", 3}};
    for (auto [model, cls] : cases) {
        ASSERT_TRUE(s.SetModel(model));
        EXPECT_EQ(s.GetModelClass(), cls) << model;
    }
}

TEST(NetNaviPaths, NamedAndUnnamedProfiles) {
    CNetNaviSetting s("/opt/lv/");
    EXPECT_EQ(s.GetIniPath(), "/opt/lv/Librovista.ini");
    EXPECT_EQ(s.GetCacheFolder(), "/opt/lv/");
    EXPECT_EQ(s.GetLibraryPath(), "/opt/lv/Library.csv");
    EXPECT_EQ(s.GetDiscPath(), "/opt/lv/Disc.csv");
    ASSERT_TRUE(s.SetName("RD-1"));
    EXPECT_EQ(s.GetIniPath(), "/opt/lv/RD-1.ini");
    EXPECT_EQ(s.GetCacheFolder(), "/opt/lv/RD-1/");
    EXPECT_EQ(s.GetLibraryPath(), "/opt/lv/RD-1/Library.csv");
    EXPECT_EQ(s.GetDiscPath(), "/opt/lv/RD-1/Disc.csv");
}

TEST(NetNaviFile, SaveAndLoadRoundTripEveryFieldAndPasswordLength) {
    TempDir dir;
    for (const std::string& pw : std::vector<std::string>{"", "x", "abcdefghijklmno", "0123456789abcdef"}) {
        CNetNaviSetting saved = Filled(dir.dir(), "RD-" + std::to_string(pw.size()), pw);
        ASSERT_TRUE(saved.Save()) << pw;
        CNetNaviSetting back = Loaded(dir.dir(), saved.GetName());
        EXPECT_EQ(back.GetHost(), "192.168.0.20");
        EXPECT_EQ(back.GetPort(), 8080);
        EXPECT_EQ(back.GetAuth(), 1);
        EXPECT_EQ(back.GetUser(), "admin-1");
        EXPECT_EQ(back.GetPassword(), pw);
        EXPECT_EQ(back.GetModel(), "RD-XS57");
        EXPECT_EQ(back.GetModelClass(), 3);
    }
}

TEST(NetNaviFile, HoldsTheSixKeysInOrderWithAProtectedPasswordForItsOwnerOnly) {
    TempDir dir;
    CNetNaviSetting s = Filled(dir.dir(), "Living", "Secret-1");
    ASSERT_TRUE(s.Save());
    const std::string text = ReadFile(dir.file("Living.ini"));
    const std::string value = PasswordValue(dir.file("Living.ini"));
    EXPECT_TRUE(IsProtectedValue(value)) << value;
    EXPECT_EQ(text,
              "[NetNavi]\r\nHost=192.168.0.20\r\nPort=8080\r\nAuth=1\r\nUser=admin-1\r\n"
              "Password=" +
                  value + "\r\nModel=RD-XS57\r\n");
    EXPECT_EQ(text.find("Secret"), std::string::npos);
#ifndef _WIN32
    // Windows has no modes; the user's own folder keeps the file from others.
    struct stat st {};
    ASSERT_EQ(::stat(dir.file("Living.ini").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
#endif

    // Different passwords, different values; an empty one is still 24 characters.
    ASSERT_TRUE(s.SetPassword("Secret-2"));
    ASSERT_TRUE(s.Save());
    EXPECT_NE(PasswordValue(dir.file("Living.ini")), value);
    ASSERT_TRUE(s.SetPassword(""));
    ASSERT_TRUE(s.Save());
    const std::string empty = PasswordValue(dir.file("Living.ini"));
    EXPECT_TRUE(IsProtectedValue(empty)) << empty;
}

TEST(NetNaviFile, LoadTakesHandEditedValuesAsTheyAre) {
    TempDir dir;
    const std::string valid = *lv::settings::ProtectPassword("hidden");
    WriteFile(dir.file("A.ini"), "[NetNavi]\nHost=rd.local\nPort=81\nAuth=5\nModel=RD-Z1\nPassword=clear-text\n");
    WriteFile(dir.file("B.ini"), "[NetNavi]\nUser=bob\n");
    WriteFile(dir.file("C.ini"), "[NetNavi]\nPassword=" + valid.substr(0, 23) + "\n");    // 23 characters
    WriteFile(dir.file("D.ini"), "[NetNavi]\nPassword=" + valid.substr(0, 22) + "AB\n");  // 24, no "=="
    WriteFile(dir.file("E.ini"), "[NetNavi]\nPassword=" + valid + "\n");
    WriteFile(dir.file("F.ini"), "[NetNavi]\nPassword=!!!!!!!!!!!!!!!!!!!!!!==\nHost=\n");  // not base64

    CNetNaviSetting a = Loaded(dir.dir(), "A");
    EXPECT_EQ(a.GetHost(), "rd.local");
    EXPECT_EQ(a.GetPort(), 81);  // not checked: the transfer sees it as written
    EXPECT_EQ(a.GetAuth(), 5);
    EXPECT_EQ(a.GetModelClass(), 3);
    EXPECT_EQ(a.GetPassword(), "clear-text");

    CNetNaviSetting b = Loaded(dir.dir(), "B");
    EXPECT_EQ(b.GetPort(), 80);
    EXPECT_EQ(b.GetAuth(), 0);
    EXPECT_EQ(b.GetUser(), "bob");
    EXPECT_EQ(b.GetHost(), "");
    EXPECT_EQ(b.GetPassword(), "");

    EXPECT_EQ(Loaded(dir.dir(), "C").GetPassword(), valid.substr(0, 23));
    EXPECT_EQ(Loaded(dir.dir(), "D").GetPassword(), valid.substr(0, 22) + "AB");
    EXPECT_EQ(Loaded(dir.dir(), "E").GetPassword(), "hidden");

    // Undecodable or empty values leave what the profile had.
    CNetNaviSetting f(dir.dir());
    ASSERT_TRUE(f.SetName("F"));
    ASSERT_TRUE(f.SetPassword("before"));
    ASSERT_TRUE(f.SetHost("kept"));
    ASSERT_TRUE(f.Load());
    EXPECT_EQ(f.GetPassword(), "before");
    EXPECT_EQ(f.GetHost(), "kept");

    // No file at all: defaults, and still a success.
    CNetNaviSetting none = Loaded(dir.dir(), "Nobody");
    EXPECT_EQ(none.GetPort(), 80);
    EXPECT_EQ(none.GetModel(), "");
    EXPECT_FALSE(a.IsPortDefaulted() || none.IsPortDefaulted());

    // A port no connection can take is not cut to 16 bits: the default stands in.
    for (const char* port : {"71041", "0", "65536"}) {
        WriteFile(dir.file("P.ini"), std::string("[NetNavi]\nPort=") + port + "\n");
        EXPECT_TRUE(Loaded(dir.dir(), "P").IsPortDefaulted() && Loaded(dir.dir(), "P").GetPort() == 80) << port;
    }
}

TEST(NetNaviFile, LongValuesAreCutToTheBufferWithoutSplittingACharacter) {
    TempDir dir;
    std::string wide;
    for (int i = 0; i < 200; ++i) wide += SJ("あ");
    WriteFile(dir.file("L.ini"), "[NetNavi]\nHost=" + std::string(300, 'h') + "\nUser=" + wide + "\n");
    CNetNaviSetting l = Loaded(dir.dir(), "L");
    EXPECT_EQ(l.GetHost(), std::string(255, 'h'));
    EXPECT_EQ(l.GetUser(), wide.substr(0, 254));  // 127 whole characters
}

TEST(NetNaviFile, AnEmptyNameNeitherLoadsNorSaves) {
    TempDir dir;
    CNetNaviSetting s(dir.dir());
    ASSERT_TRUE(s.SetHost("h"));
    EXPECT_FALSE(s.Load());
    EXPECT_FALSE(s.Save());
    EXPECT_FALSE(s.Delete());
    EXPECT_TRUE(fs::is_empty(dir.path()));
}

TEST(NetNaviRename, MovesTheProfileAndTheCacheFolder) {
    TempDir dir;
    CNetNaviSetting s = Filled(dir.dir(), "Old", "pw");
    ASSERT_TRUE(s.Save());
    fs::create_directory(dir.file("Old"));
    WriteFile(dir.file("Old/Library.csv"), "lib");
    WriteFile(dir.file("Old/200512212100081.txt"), "desc");

    ASSERT_TRUE(s.Rename("New"));
    EXPECT_EQ(s.GetName(), "New");
    EXPECT_FALSE(fs::exists(dir.file("Old.ini")));
    EXPECT_FALSE(fs::exists(dir.file("Old")));
    EXPECT_EQ(ReadFile(dir.file("New/Library.csv")), "lib");
    EXPECT_EQ(ReadFile(dir.file("New/200512212100081.txt")), "desc");
    EXPECT_EQ(Loaded(dir.dir(), "New").GetPassword(), "pw");

    // A profile without a cache folder moves its file alone.
    CNetNaviSetting t = Filled(dir.dir(), "Solo", "");
    ASSERT_TRUE(t.Save());
    ASSERT_TRUE(t.Rename("Duo"));
    EXPECT_TRUE(fs::exists(dir.file("Duo.ini")));
    EXPECT_FALSE(fs::exists(dir.file("Duo")));
}

TEST(NetNaviRename, NewProfilesBadNamesAndOccupiedTargets) {
    TempDir dir;
    // Never saved: takes the name and touches nothing.
    CNetNaviSetting fresh(dir.dir());
    ASSERT_TRUE(fresh.Rename("Fresh"));
    EXPECT_EQ(fresh.GetName(), "Fresh");
    EXPECT_TRUE(fs::is_empty(dir.path()));

    CNetNaviSetting s = Filled(dir.dir(), "A", "pw");
    ASSERT_TRUE(s.Save());
    EXPECT_FALSE(s.Rename("B B"));
    EXPECT_FALSE(s.Rename(""));
    EXPECT_EQ(s.GetName(), "A");
    EXPECT_TRUE(fs::exists(dir.file("A.ini")));

    // Another recorder's file is never replaced by a move.
    WriteFile(dir.file("B.ini"), "[NetNavi]\r\nHost=b\r\n");
    EXPECT_FALSE(s.Rename("B"));
    EXPECT_NE(s.GetErrorText().find("B.ini"), std::string::npos) << s.GetErrorText();
    EXPECT_EQ(s.GetName(), "A");
    EXPECT_EQ(Loaded(dir.dir(), "B").GetHost(), "b");
    EXPECT_EQ(Loaded(dir.dir(), "A").GetHost(), "192.168.0.20");
}

TEST(NetNaviDelete, RemovesTheProfileAndTheCache) {
    TempDir dir;
    CNetNaviSetting s = Filled(dir.dir(), "Gone", "pw");
    ASSERT_TRUE(s.Save());
    fs::create_directory(dir.file("Gone"));
    WriteFile(dir.file("Gone/Library.csv"), "x");
    WriteFile(dir.file("Gone/Disc.csv"), "y");
    WriteFile(dir.file("Other.ini"), "keep");
    ASSERT_TRUE(s.Delete());
    EXPECT_EQ(s.GetErrorText(), "");
    EXPECT_FALSE(fs::exists(dir.file("Gone.ini")));
    EXPECT_FALSE(fs::exists(dir.file("Gone")));
    EXPECT_TRUE(fs::exists(dir.file("Other.ini")));
    // Nothing left to delete is no error.
    EXPECT_TRUE(s.Delete());
}

TEST(NetNaviDelete, ASubFolderInTheCacheFailsWithAnErrorTextAndKeepsTheProfile) {
    TempDir dir;
    CNetNaviSetting s = Filled(dir.dir(), "Busy", "pw");
    ASSERT_TRUE(s.Save());
    fs::create_directories(dir.file("Busy/sub"));
    WriteFile(dir.file("Busy/sub/inner.txt"), "inner");
    EXPECT_FALSE(s.Delete());
    EXPECT_NE(s.GetErrorText().find("sub"), std::string::npos) << s.GetErrorText();
    EXPECT_EQ(Loaded(dir.dir(), "Busy").GetHost(), s.GetHost());  // the profile goes last
    EXPECT_EQ(ReadFile(dir.file("Busy/sub/inner.txt")), "inner");
}

TEST(NetNaviDelete, ANameTakenUncheckedCannotReachOutsideTheFolder) {
    TempDir outer;
    fs::create_directory(outer.file("app"));
    WriteFile(outer.file("victim.ini"), "keep");
    fs::create_directory(outer.file("victim"));
    WriteFile(outer.file("victim/file"), "keep");
    CNetNaviSetting s(outer.dir() + "app/");
    ASSERT_TRUE(s.Rename("../victim"));  // a new profile takes any name
    EXPECT_FALSE(s.Delete());
    EXPECT_FALSE(s.Save());
    EXPECT_EQ(ReadFile(outer.file("victim.ini")), "keep");
    EXPECT_EQ(ReadFile(outer.file("victim/file")), "keep");
}
