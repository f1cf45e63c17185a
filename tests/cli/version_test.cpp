#include <gtest/gtest.h>

#include <filesystem>

#include "core/platform/path.h"
#include "support/run_cli.h"
#include "support/temp_dir.h"

using namespace lv::test;
using lv::platform::FsPath;

namespace {
const char kSeparator = static_cast<char>(std::filesystem::path::preferred_separator);
}  // namespace

// --version names the folder every command would use, and creates nothing in it.
TEST(CliVersion, PrintsTheVersionAndTheProgramFolder) {
    TempDir dir;
    CliResult r = RunCli({"--version"}, {"LIBROVISTA_HOME=" + dir.path().string()});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(Lines(r.out),
              (std::vector<std::string>{"librovista-cli " LV_VERSION_TEXT, "program folder: " + dir.dir()}));

    // --home wins, before or after --version.
    for (const auto& args : {std::vector<std::string>{"--home", dir.file("h"), "--version"},
                             std::vector<std::string>{"--version", "--home", dir.file("h")}}) {
        r = RunCli(args, {"LIBROVISTA_HOME=" + dir.path().string()});
        EXPECT_EQ(r.exitCode, 0);
        EXPECT_EQ(Lines(r.out).at(1), "program folder: " + dir.file("h") + kSeparator);
    }
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

// A folder named in Japanese arrives as typed: through the UTF-16 command
// line on Windows, as bytes elsewhere.
TEST(CliVersion, AJapaneseProgramFolderIsUsedAsTyped) {
    TempDir base;
    const std::string home = base.file("録画ライブラリ");
    std::filesystem::create_directory(FsPath(home));
    CliResult r = RunCli({"--home", home, "--version"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(Lines(r.out).at(1), "program folder: " + home + kSeparator);
    r = RunCli({"--home", home, "history", "add", "ニュース"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(std::filesystem::is_regular_file(FsPath(home + "/Input.dat")));
    EXPECT_EQ(RunCli({"--home", home, "history"}).out, "ニュース\n");
}
