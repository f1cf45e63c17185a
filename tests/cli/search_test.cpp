#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/run_cli.h"
#include "support/sjis.h"
#include "support/temp_dir.h"

using namespace lv::test;

namespace {

std::vector<std::string> Fields(const std::string& line) {
    std::vector<std::string> out;
    std::size_t start = 0;
    for (std::size_t tab; (tab = line.find('\t', start)) != std::string::npos; start = tab + 1)
        out.push_back(line.substr(start, tab - start));
    out.push_back(line.substr(start));
    return out;
}

// A program folder with three recorders of different model classes.
class Household {
public:
    Household() {
        Recorder("Living", "RD-XS41",
                 {{"HDD", "ＮＨＫスペシャル", "2005/12/01", "21:00", "0000800080"},
                  {"0001", "プロ野球ニュース", "2005/11/30", "23:00", "0000100081"},
                  {"0002", "サッカー中継", "2005/12/02", "19:00", "0000100082"},
                  {"HDD", "きょうの料理", "", "12:00", ""}},
                 {"0001", "0002"});
        Recorder("Bedroom", "RD-Z1",
                 {{"HDD", "nhk news", "2005/12/01", "07:00", "0000000064"},
                  {"0001", "ﾄﾞﾗﾏ特集", "2005/12/01", "22:00", "0000300064"},
                  {"HDD", "テレビ体操", "2005/12/03", "06:00", "0000200064"}},
                 {"0001"});
        Recorder("Study", "RD-XS40",
                 {{"0003", "ゴルフ中継", "2005/10/10", "14:00", "0000100083"},
                  {"HDD", "てれび絵本", "2005/12/01", "08:00", "0000700080"}},
                 {"0003"});
        WriteFile(m_dir.file("Default.lbv"), "Living\r\nBedroom\r\nStudy\r\n");
    }

    std::string Home() const { return m_dir.dir(); }
    std::string Cache(const std::string& rec) const { return m_dir.dir() + rec + "/"; }

    CliResult Run(std::vector<std::string> args) const {
        args.insert(args.begin(), {"--home", Home()});
        return RunCli(args);
    }
    // "recorder title" of every title line.
    std::vector<std::string> Rows(std::vector<std::string> args) const {
        CliResult r = Run(std::move(args));
        EXPECT_EQ(r.exitCode, 0) << r.err;
        std::vector<std::string> rows;
        for (const auto& line : Lines(r.out)) {
            auto f = Fields(line);
            rows.push_back(f[1] + " " + f[3]);
        }
        return rows;
    }

private:
    struct Title {
        const char* disc;
        const char* title;
        const char* date;
        const char* time;
        const char* genre;
    };

    void Recorder(const std::string& name, const std::string& model, std::vector<Title> titles,
                  std::vector<std::string> dvds) {
        WriteFile(m_dir.file(name + ".ini"),
                  "[NetNavi]\r\nHost=192.168.0.2\r\nPort=80\r\nAuth=0\r\nModel=" + model + "\r\n");
        std::filesystem::create_directories(Cache(name));
        std::string lib;
        for (const Title& t : titles)
            lib += std::string("\"") + t.disc + "\",\"" + SJ(t.title) + "\",\"" + t.date + "\",\"x\",\"" + t.time +
                   "\",\"081\",\"\",\"g\",\"1:00\",\"\",\"p.htm\",\"\",\"" + t.genre + "\"\r\n";
        WriteFile(Cache(name) + "Library.csv", lib);
        std::string disc =
            "\"No\",\"Name\",\"Free\",\"SP\",\"LP\",\"EP\",\"XP\",\"MN\"\r\n\"HDD_\",\"\",\"9:00\",\"1\",\"2\",\"3\","
            "\"4\",\"5\"\r\n";
        for (const auto& d : dvds)
            disc += "\"" + d + "\",\"" + name + " disc\",\"1:00\",\"1\",\"2\",\"3\",\"4\",\"5\"\r\n";
        WriteFile(Cache(name) + "Disc.csv", disc);
    }

    TempDir m_dir;
};

using Rows = std::vector<std::string>;

// What each criterion selects is the core's, and --text, --disc and
// --dvd-titles are in the golden searches; here the other options reach the
// condition and bad values are usage errors.
TEST(CliSearch, EachOptionReachesTheCondition) {
    Household h;
    EXPECT_EQ(h.Rows({"search", "--recorder", "Bedroom"}),
              (Rows{"Bedroom nhk news", "Bedroom ﾄﾞﾗﾏ特集", "Bedroom テレビ体操"}));
    EXPECT_EQ(h.Rows({"search", "--genre", "スポーツ全般"}),
              (Rows{"Living プロ野球ニュース", "Living サッカー中継", "Study ゴルフ中継"}));
    EXPECT_EQ(h.Rows({"search", "--from", "2005/12/01", "--to", "2005/12/01"}),
              (Rows{"Living ＮＨＫスペシャル", "Bedroom nhk news", "Bedroom ﾄﾞﾗﾏ特集", "Study てれび絵本"}));

    EXPECT_EQ(h.Run({"search", "--genre", "野球"}).exitCode, 2);
    EXPECT_EQ(h.Run({"search", "--from", "2005/1/1"}).exitCode, 2);
}

TEST(CliGenres, ListsEveryRowWithImageAndIndent) {
    auto r = RunCli({"genres"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    auto lines = Lines(r.out);
    // The rows themselves are the genre table's.
    ASSERT_EQ(lines.size(), 158u);
    EXPECT_EQ(lines[18], "0x10051\t17\t1\t02 野球");
}

// Which files each clean-up takes is the core's; here each kind is reached
// and its count reported.
TEST(CliClean, EachKindReportsItsCount) {
    Household h;
    WriteFile(h.Cache("Living") + "200512012100081.txt", "used");
    WriteFile(h.Cache("Living") + "200501012100081.txt", "unused");
    WriteFile(h.Cache("Living") + "memo.txt", "user's");

    auto unused = h.Run({"clean", "unused", "Living"});
    EXPECT_EQ(unused.exitCode, 0) << unused.err;
    EXPECT_EQ(unused.out, "2 個のキャッシュファイルを削除しました。\n");
    EXPECT_EQ(h.Run({"clean", "library", "Living"}).out, "2 個のキャッシュファイルを削除しました。\n");
    EXPECT_EQ(h.Run({"clean", "all", "Living"}).out, "1 個のキャッシュファイルを削除しました。\n");
    EXPECT_EQ(h.Run({"clean", "everything", "Living"}).exitCode, 2);
    EXPECT_EQ(h.Run({"clean", "all"}).exitCode, 2);
}

TEST(CliClean, AFileThatCannotBeDeletedFailsWithItsName) {
    Household h;
    const std::string locked = h.Cache("Study") + "200601012100081.txt";
    WriteFile(locked, "d");
    ASSERT_TRUE(MakeReadOnly(locked));
    auto r = h.Run({"clean", "all", "Study"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find(locked + " を削除できません。"), std::string::npos) << r.err;
    EXPECT_EQ(r.out, "");
}

// The order and the file are the core's; here a keyword reaches the file and
// what the file could not hold is refused.
TEST(CliHistory, AddsKeywordsNewestFirst) {
    Household h;
    EXPECT_EQ(h.Run({"history", "add", "ab"}).exitCode, 0);
    EXPECT_EQ(h.Run({"history", "add", "ニュース"}).exitCode, 0);
    EXPECT_EQ(h.Run({"history"}).out, "ニュース\nab\n");
    EXPECT_EQ(h.Run({"history", "add", ""}).exitCode, 2);
    // A keyword with a line break would come back as two entries.
    EXPECT_EQ(h.Run({"history", "add", "x\ny"}).exitCode, 2);
    EXPECT_EQ(h.Run({"history", "add", "x\r"}).exitCode, 2);
    EXPECT_EQ(h.Run({"history"}).out, "ニュース\nab\n");
    EXPECT_EQ(h.Run({"history", "remove", "x"}).exitCode, 2);
}

}  // namespace
