// A recorder's files that a fetch cannot take as they are, through the
// command-line tool against the emulator.
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

TEST(RecorderFiles, AreNamedWhenTheyAreNoFileAndAPortIsNeverCutTo16Bits) {
    TempDir home;
    auto sim = StartEmulator({.strModel = "RD-XS41"}, PortRange::Profile);
    ASSERT_TRUE(sim);
    ServeSample(*sim, 3);
    const auto cli = [&](std::vector<std::string> args) {
        args.insert(args.begin(), {"--home", home.dir()});
        return RunCli(args);
    };
    const std::string port = std::to_string(sim->Port());
    ASSERT_EQ(cli({"recorder", "add", "R1", "--model", "RD-XS41", "--host", "127.0.0.1", "--port", port}).exitCode, 0);
    const std::string ini = ReadFile(home.file("R1.ini"));

    // A list of the cache is not put in the place of a FIFO (a folder on Windows).
    const auto makeNoFile = [&](const char* name) {
#ifdef _WIN32
        return fs::create_directory(home.file(name));
#else
        return ::mkfifo(home.file(name).c_str(), 0600) == 0;
#endif
    };
    fs::create_directory(home.file("R1"));
    ASSERT_TRUE(makeNoFile("R1/Library.csv"));
    CliResult r = cli({"fetch", "R1"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("Library.csv: not a regular file"), std::string::npos) << r.err;
    EXPECT_FALSE(fs::is_regular_file(home.file("R1/Library.csv")));

    // Nor is the news file's: the library comes, the news are told as not saved.
    fs::remove(home.file("R1/Library.csv"));
    ASSERT_TRUE(makeNoFile("R1/NewTitles.csv"));
    r = cli({"fetch", "R1"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.err.find("新着情報を保存できませんでした。 NewTitles.csv: not a regular file"), std::string::npos)
        << r.err;
    EXPECT_TRUE(fs::exists(home.file("R1/NewTitles.csv")));
    EXPECT_FALSE(fs::is_regular_file(home.file("R1/NewTitles.csv")));
    sim->ClearRequests();

    // A profile that is no file is named instead of a host never read (a
    // FIFO is the core's case); without a model there are no titles, and
    // --all still connects.
    fs::remove(home.file("R1.ini"));
    fs::create_directory(home.file("R1.ini"));
    for (const auto& args : {std::vector<std::string>{"fetch", "R1"}, {"describe", "R1", "--all"}}) {
        r = cli(args);
        EXPECT_EQ(r.exitCode, 1) << args[0];
        EXPECT_NE(r.err.find("R1.ini: not a regular file"), std::string::npos) << r.err;
    }
    EXPECT_TRUE(sim->Requests().empty());

    // A hand-edited port past 16 bits is not cut to one that happens to answer.
    fs::remove(home.file("R1.ini"));
    WriteFile(home.file("R1.ini"), ini.substr(0, ini.find("Port=")) + "Port=" + std::to_string(sim->Port() + 65536) +
                                       ini.substr(ini.find('\r', ini.find("Port="))));
    r = cli({"fetch", "R1"});
    EXPECT_NE(r.err.find("ﾎﾟｰﾄ番号が無効です。既定のﾎﾟｰﾄ番号 80 を使います。"), std::string::npos) << r.err;
    EXPECT_TRUE(sim->Requests().empty());
}
