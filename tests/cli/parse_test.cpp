#include <gtest/gtest.h>

#include <algorithm>

#include "support/run_cli.h"
#include "support/sjis.h"
#include "support/temp_dir.h"

using namespace lv::test;

namespace {

int Columns(const std::string& line) { return static_cast<int>(std::count(line.begin(), line.end(), '\t')) + 1; }

}  // namespace

TEST(CliParse, PrintsRecordLinesForTheGivenModel) {
    TempDir dir;
    WriteFile(dir.file("Disc.csv"), SJ("\"No\",\"名\",\"残\",\"標準\",\"長時間\",\"M3\",\"M4\",\"M5\"\r\n"
                                       "\"HDD_\",\"\",\"1:00\",\"1\",\"2\",\"3\",\"4\",\"5\"\r\n"
                                       "\"0001\",\"旅\tの記録\",\"0:30\",\"1\",\"2\",\"3\",\"4\",\"5\"\r\n"));
    WriteFile(dir.file("Library.csv"),
              SJ("\"0001\",\"ソ\\ニー\",\"2005/12/21\",\"水\",\"21:00\",\"081\",\"\",\"ドラマ\",\"01:00\",\"\","
                 "\"p.htm\",\"\",\"0000300081\"\r\n"));
    // The flags of each model class are the parser's; here --model reaches it.
    for (const char* model : {"RD-XS41", ""}) {
        auto r = RunCli({"parse", "--model", model, "--name", "Living", "--disc", dir.file("Disc.csv"), "--library",
                         dir.file("Library.csv")});
        ASSERT_EQ(r.exitCode, 0) << r.err;
        auto lines = Lines(r.out);
        ASSERT_EQ(lines.size(), 4u) << model;
        EXPECT_EQ(lines[0], "L\tLiving\t標準\t長時間\tM3\tM4\tM5");
        EXPECT_EQ(Columns(lines[1]), 11);
        EXPECT_EQ(Columns(lines[3]), 18);
        EXPECT_EQ(lines[2].rfind(std::string("D\t") + (model == std::string("RD-XS41") ? "55" : "7") +
                                     "\tLiving\t0001\t00:30\t旅\\tの記録\t",
                                 0),
                  0u)
            << lines[2];
        EXPECT_EQ(lines[3].rfind("T\tLiving\t0001\tソ\\\\ニー\tドラマ\t2005/12/21\t水\t21:00\t081\t01:00\t", 0), 0u)
            << lines[3];
        EXPECT_NE(lines[3].find("\tp.htm\t200512212100081.txt\t196689"), std::string::npos);
    }
}

TEST(CliParse, Cp932OutputKeepsTheStoredBytes) {
    TempDir dir;
    WriteFile(dir.file("Library.csv"),
              SJ("\"HDD\",\"ソフト\",\"d\"\n") + "\"HDD\",\"bad\x81\"\n\"HDD\",\"odd\x81\tx\"\n");
    auto raw = RunCli({"--cp932", "parse", "--library", dir.file("Library.csv")});
    ASSERT_EQ(raw.exitCode, 0);
    auto lines = Lines(raw.out);
    ASSERT_EQ(lines.size(), 3u);
    // A stray lead byte before a tab does not make the tab part of a character.
    EXPECT_EQ(Columns(lines[2]), 18) << lines[2];
    EXPECT_NE(lines[2].find("\todd\x81\\tx\t"), std::string::npos) << lines[2];
    // The trail byte of "ソ" is a backslash and is not escaped.
    EXPECT_EQ(lines[0].substr(0, 16), "T\tRD\tHDD\t" + SJ("ソフト").substr(0, 6) + "\t");
    auto utf8 = RunCli({"parse", "--library", dir.file("Library.csv")});
    EXPECT_NE(Lines(utf8.out)[1].find("bad\xEF\xBF\xBD\t"), std::string::npos);
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
