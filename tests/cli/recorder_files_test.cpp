// A recorder's profile that the transfers cannot take as written, through
// the command-line tool against the emulator.
#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <filesystem>

#include "support/emulator.h"
#include "support/run_cli.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;
using namespace lv::test;

namespace {

class ProfileFiles : public ::testing::Test {
protected:
    TempDir home;
    std::unique_ptr<lv::rdsim::RdSim> sim = StartEmulator({.strModel = "RD-XS41"}, PortRange::Profile);

    CliResult Cli(std::vector<std::string> args) {
        args.insert(args.begin(), {"--home", home.dir()});
        return RunCli(args);
    }
    void SetUp() override {
        ASSERT_TRUE(sim);
        ASSERT_EQ(Cli({"recorder", "add", "R1", "--model", "RD-XS41", "--host", "127.0.0.1", "--port",
                       std::to_string(sim->Port())})
                      .exitCode,
                  0);
    }
};

}  // namespace

// Instead of a host they never read, the transfers name the file (a FIFO is
// the core's case). Without its model the recorder shows no titles: --all
// still connects.
TEST_F(ProfileFiles, AProfileThatIsNoFileIsNamedByFetchAndDescribe) {
    fs::remove(home.file("R1.ini"));
    fs::create_directory(home.file("R1.ini"));
    for (const auto& args : {std::vector<std::string>{"fetch", "R1"}, {"describe", "R1", "--all"}}) {
        CliResult r = Cli(args);
        EXPECT_EQ(r.exitCode, 1) << args[0];
        EXPECT_NE(r.err.find("R1.ini: not a regular file"), std::string::npos) << r.err;
    }
}

// A hand-edited port past 16 bits is not cut to one that happens to answer.
TEST_F(ProfileFiles, AHandEditedPortOutOfRangeFallsBackToTheDefaultWithAWarning) {
    const std::string port = std::to_string(sim->Port());
    std::string ini = ReadFile(home.file("R1.ini"));
    ini.replace(ini.find("Port=" + port), 5 + port.size(), "Port=" + std::to_string(sim->Port() + 65536));
    WriteFile(home.file("R1.ini"), ini);
    CliResult r = Cli({"fetch", "R1"});
    EXPECT_NE(r.err.find("ﾎﾟｰﾄ番号が無効です。既定のﾎﾟｰﾄ番号 80 を使います。"), std::string::npos) << r.err;
    EXPECT_TRUE(sim->Requests().empty());
}

// Nor is a list of the cache put in the place of a FIFO (a folder on Windows).
TEST_F(ProfileFiles, ACacheListThatIsNoFileIsNamedAndKept) {
    ServeSample(*sim, 3);
    fs::create_directory(home.file("R1"));
#ifdef _WIN32
    fs::create_directory(home.file("R1/Library.csv"));
#else
    ASSERT_EQ(::mkfifo(home.file("R1/Library.csv").c_str(), 0600), 0);
#endif
    CliResult r = Cli({"fetch", "R1"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("Library.csv: not a regular file"), std::string::npos) << r.err;
    EXPECT_FALSE(fs::is_regular_file(home.file("R1/Library.csv")));
}
