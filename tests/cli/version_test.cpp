#include <gtest/gtest.h>

#include <filesystem>

#include "support/run_cli.h"
#include "support/temp_dir.h"

using namespace lv::test;

// --version names the folder every command would use, and creates nothing in it.
TEST(CliVersion, PrintsTheVersionAndTheProgramFolder) {
    const char kSeparator = static_cast<char>(std::filesystem::path::preferred_separator);
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
