#include <gtest/gtest.h>

#include "support/run_cli.h"
#include "support/sjis.h"
#include "support/temp_dir.h"

using namespace lv::test;

TEST(CliParse, PrintsRecordLinesForTheGivenModel) {
    TempDir dir;
    WriteFile(dir.file("Disc.csv"), SJ("\"No\",\"名\",\"残\",\"標準\",\"長時間\",\"M3\",\"M4\",\"M5\"\r\n"
                                       "\"HDD_\",\"\",\"1:00\",\"1\",\"2\",\"3\",\"4\",\"5\"\r\n"
                                       "\"0001\",\"旅の記録\",\"0:30\",\"1\",\"2\",\"3\",\"4\",\"5\"\r\n"));
    WriteFile(dir.file("Library.csv"),
              SJ("\"0001\",\"ソニー\",\"2005/12/21\",\"水\",\"21:00\",\"081\",\"\",\"ドラマ\",\"01:00\",\"\","
                 "\"p.htm\",\"\",\"0000300081\"\r\n"));
    // The flags of each model class are the parser's and the lines' layout is
    // the golden listings'; here --model, --name and both files reach the parser.
    for (const char* model : {"RD-XS41", ""}) {
        auto r = RunCli({"parse", "--model", model, "--name", "Living", "--disc", dir.file("Disc.csv"), "--library",
                         dir.file("Library.csv")});
        ASSERT_EQ(r.exitCode, 0) << r.err;
        auto lines = Lines(r.out);
        ASSERT_EQ(lines.size(), 4u) << model;
        EXPECT_EQ(lines[0], "L\tLiving\t標準\t長時間\tM3\tM4\tM5");
        EXPECT_EQ(
            lines[2].rfind(std::string("D\t") + (model == std::string("RD-XS41") ? "55" : "7") + "\tLiving\t0001\t", 0),
            0u)
            << lines[2];
        EXPECT_EQ(lines[3].rfind("T\tLiving\t0001\t", 0), 0u) << lines[3];
    }
}

TEST(CliParse, MissingFilesAreNoErrorButBadUsageIs) {
    TempDir dir;
    auto none = RunCli({"parse", "--disc", dir.file("no.csv"), "--library", dir.file("no2.csv")});
    EXPECT_EQ(none.exitCode, 0);
    EXPECT_EQ(none.out, "");
    auto noLabels = RunCli({"parse"});
    EXPECT_EQ(noLabels.exitCode, 0);
    EXPECT_EQ(noLabels.out, "");
    EXPECT_EQ(RunCli({"parse", "--model"}).exitCode, 2);
    EXPECT_EQ(RunCli({"parse", "extra"}).exitCode, 2);
    EXPECT_EQ(RunCli({"frobnicate"}).exitCode, 2);
    auto noCommand = RunCli({});
    EXPECT_EQ(noCommand.exitCode, 2);
    EXPECT_NE(noCommand.err.find("usage:"), std::string::npos);
}
