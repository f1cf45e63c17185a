// What killed saves and transfers leave behind goes with the next save of the
// same file, with the recorder's deletion and with the cache clean-ups; only
// files of the program's own temporary names.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <set>
#include <string>

#include "core/ini/atomic_file.h"
#include "core/settings/netnavi_setting.h"
#include "core/shell/cache_cleanup.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;
using lv::test::ReadFile;
using lv::test::TempDir;
using lv::test::WriteFile;

namespace {

class StaleTemps : public ::testing::Test {
protected:
    TempDir home;

    // A file as a killed process left it an hour ago.
    void Leave(const std::string& name) {
        WriteFile(home.file(name), "left behind");
        fs::last_write_time(home.file(name), fs::file_time_type::clock::now() - std::chrono::hours(1));
    }
    std::set<std::string> Entries(const std::string& sub = {}) const {
        std::set<std::string> names;
        for (const auto& e : fs::directory_iterator(sub.empty() ? home.path() : home.path() / sub))
            names.insert(e.path().filename().string());
        return names;
    }
    void AddRecorder(const std::string& name) {
        CNetNaviSetting s(home.dir());
        ASSERT_TRUE(s.SetName(name) && s.SetModel("RD-X5") && s.SetHost("rd") && s.Save());
        fs::create_directory(home.file(name));
    }
};

}  // namespace

TEST_F(StaleTemps, ASaveRemovesTheLeftoversOfItsOwnFileOnly) {
    WriteFile(home.file("Default.lbv"), "old");
    // Upper case is not ours; it differs from the others in more than case,
    // which Windows' file names do not tell apart.
    for (const char* name : {"Default.lbv.~a1b2c3", "Default.lbv.~zzzzzz", "Input.dat.~a1b2c3", "Default.lbv.~a1b2c",
                             "Default.lbv.~A9B8C7", "Default.lbv.~a1b2c3d", "Default.lbv.bak"})
        Leave(name);
    ASSERT_TRUE(lv::WriteFileAtomic(home.file("Default.lbv"), "new"));
    EXPECT_EQ(ReadFile(home.file("Default.lbv")), "new");
    EXPECT_EQ(Entries(), (std::set<std::string>{"Default.lbv", "Input.dat.~a1b2c3", "Default.lbv.~a1b2c",
                                                "Default.lbv.~A9B8C7", "Default.lbv.~a1b2c3d", "Default.lbv.bak"}));

    // A temporary file written since the save began belongs to a save still running.
    WriteFile(home.file("Default.lbv.~fresh1"), "being written");
    fs::last_write_time(home.file("Default.lbv.~fresh1"), fs::file_time_type::clock::now() + std::chrono::hours(1));
    ASSERT_TRUE(lv::WriteFileAtomic(home.file("Default.lbv"), "newer"));
    EXPECT_TRUE(fs::exists(home.file("Default.lbv.~fresh1")));
}

TEST_F(StaleTemps, DeletingARecorderTakesItsProfilesCopiesAlong) {
    AddRecorder("R1");
    AddRecorder("R10");
    Leave("R1.ini.~k1ll3d");
    Leave("R10.ini.~k1ll3d");
    Leave("R1/~RDx9y8z7");
    CNetNaviSetting s(home.dir());
    ASSERT_TRUE(s.SetName("R1"));
    ASSERT_TRUE(s.Delete());
    EXPECT_EQ(Entries(), (std::set<std::string>{"R10", "R10.ini", "R10.ini.~k1ll3d"}));
}

TEST_F(StaleTemps, TheCleanUpsTakeTransferLeftoversAlongUncounted) {
    AddRecorder("R1");
    WriteFile(home.file("R1/Library.csv"), "x");
    WriteFile(home.file("R1/a.txt"), "x");
    Leave("R1/~RDx9y8z7");
    Leave("R1/~RDnotours");
    EXPECT_EQ(DeleteLibraryCache(home.dir(), "R1").nCount, 1);
    EXPECT_EQ(Entries("R1"), (std::set<std::string>{"a.txt", "~RDnotours"}));

    Leave("R1/~RDq1w2e3");
    EXPECT_EQ(DeleteAllDescriptions(home.dir(), "R1").nCount, 1);
    EXPECT_EQ(Entries("R1"), std::set<std::string>{"~RDnotours"});
}
