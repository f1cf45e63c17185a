// A recorder's profile that the transfers cannot take as written, through
// the command-line tool against the emulator.
#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <filesystem>
#include <functional>

#include "support/emulator.h"
#include "support/run_cli.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;
using namespace lv::test;

namespace {

// A recorder "R1" whose library has been fetched once.
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
        ServeSample(*sim, 3);
        CliResult r = Cli({"recorder", "add", "R1", "--model", "RD-XS41", "--host", "127.0.0.1", "--port",
                           std::to_string(sim->Port())});
        ASSERT_EQ(r.exitCode, 0) << r.err;
        r = Cli({"fetch", "R1"});
        ASSERT_EQ(r.exitCode, 0) << r.err;
        sim->ClearRequests();
    }
};

}  // namespace

// The transfers name the file instead of trying a host they never read.
// Without its model the recorder shows no titles: --all still connects.
TEST_F(ProfileFiles, AProfileThatIsNoFileIsNamedByFetchAndDescribe) {
    std::vector<std::function<void()>> places{[&] { fs::create_directory(home.file("R1.ini")); }};
#ifndef _WIN32
    places.push_back([&] { ASSERT_EQ(::mkfifo(home.file("R1.ini").c_str(), 0600), 0); });
#endif
    for (const auto& place : places) {
        fs::remove(home.file("R1.ini"));
        place();
        for (const auto& args : {std::vector<std::string>{"fetch", "R1"}, {"describe", "R1", "--all"}}) {
            CliResult r = Cli(args);
            EXPECT_EQ(r.exitCode, 1) << args[0];
            EXPECT_NE(r.err.find("R1.ini: not a regular file"), std::string::npos) << r.err;
        }
    }
    EXPECT_TRUE(sim->Requests().empty());
}

// A hand-edited port past 16 bits is not cut to one that happens to answer:
// the default port is tried, and the user is told; typed, it is refused.
TEST_F(ProfileFiles, AHandEditedPortOutOfRangeFallsBackToTheDefaultWithAWarning) {
    const std::string port = std::to_string(sim->Port()), wrapped = std::to_string(sim->Port() + 65536);
    std::string ini = ReadFile(home.file("R1.ini"));
    ini.replace(ini.find("Port=" + port), 5 + port.size(), "Port=" + wrapped);
    WriteFile(home.file("R1.ini"), ini);
    CliResult r = Cli({"fetch", "R1"});
    EXPECT_NE(r.err.find("ﾎﾟｰﾄ番号が無効です。既定のﾎﾟｰﾄ番号 80 を使います。"), std::string::npos) << r.err;
    EXPECT_TRUE(sim->Requests().empty());

    r = Cli({"recorder", "set", "R1", "--port", wrapped});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("ﾎﾟｰﾄ番号が無効です。"), std::string::npos) << r.err;
}
