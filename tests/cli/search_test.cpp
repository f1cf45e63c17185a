#include <gtest/gtest.h>
#include <sys/stat.h>

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
    // "recorder title" of every title line, "D recorder disc" of every disc line.
    std::vector<std::string> Rows(std::vector<std::string> args) const {
        CliResult r = Run(std::move(args));
        EXPECT_EQ(r.exitCode, 0) << r.err;
        std::vector<std::string> rows;
        for (const auto& line : Lines(r.out)) {
            auto f = Fields(line);
            rows.push_back(f[0] == "T" ? f[1] + " " + f[3] : f[0] + " " + f[2] + " " + f[3]);
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

TEST(CliSearch, QuickSearchSpansEveryRecorderInDocumentOrder) {
    Household h;
    EXPECT_EQ(h.Rows({"search", "--dvd-titles", "--text", "NHK"}),
              (Rows{"Living ＮＨＫスペシャル", "Bedroom nhk news"}));
    EXPECT_EQ(h.Rows({"search", "--dvd-titles", "--text", "ﾃﾚﾋﾞ"}), (Rows{"Bedroom テレビ体操"}));
    EXPECT_EQ(h.Rows({"search", "--dvd-titles", "--text", "中継"}), (Rows{"Living サッカー中継", "Study ゴルフ中継"}));
    EXPECT_EQ(h.Rows({"search", "--dvd-titles", "--text", ""}).size(), 9u);
    EXPECT_EQ(h.Rows({"search"}).size(), 9u);
}

TEST(CliSearch, RecorderAndDiscCriteria) {
    Household h;
    EXPECT_EQ(h.Rows({"search", "--recorder", "Bedroom"}),
              (Rows{"Bedroom nhk news", "Bedroom ﾄﾞﾗﾏ特集", "Bedroom テレビ体操"}));
    EXPECT_EQ(h.Rows({"search", "--recorder", "Living", "--disc", "HDD"}),
              (Rows{"Living ＮＨＫスペシャル", "Living きょうの料理"}));
    // The tree's DVD node lists discs; the condition search lists the DVDs' titles.
    EXPECT_EQ(h.Rows({"search", "--recorder", "Living", "--disc", "DVD"}), (Rows{"D Living 0001", "D Living 0002"}));
    EXPECT_EQ(h.Rows({"search", "--disc", "DVD", "--dvd-titles"}),
              (Rows{"Living プロ野球ニュース", "Living サッカー中継", "Bedroom ﾄﾞﾗﾏ特集", "Study ゴルフ中継"}));
    EXPECT_EQ(h.Rows({"search", "--disc", "0001"}), (Rows{"Living プロ野球ニュース", "Bedroom ﾄﾞﾗﾏ特集"}));
    EXPECT_TRUE(h.Rows({"search", "--recorder", "Kitchen"}).empty());
}

// The forms of a genre are the core's; here a name and a code reach the search.
TEST(CliSearch, GenreByNameOrCode) {
    Household h;
    const Rows sports{"Living プロ野球ニュース", "Living サッカー中継", "Study ゴルフ中継"};
    EXPECT_EQ(h.Rows({"search", "--genre", "スポーツ全般"}), sports);
    EXPECT_EQ(h.Rows({"search", "--genre", "0x10051"}), (Rows{"Living プロ野球ニュース"}));
    EXPECT_EQ(h.Run({"search", "--genre", "野球"}).exitCode, 2);
}

TEST(CliSearch, DateRangeIsInclusive) {
    Household h;
    EXPECT_EQ(h.Rows({"search", "--from", "2005/12/01", "--to", "2005/12/01"}),
              (Rows{"Living ＮＨＫスペシャル", "Bedroom nhk news", "Bedroom ﾄﾞﾗﾏ特集", "Study てれび絵本"}));
    EXPECT_EQ(h.Rows({"search", "--to", "2005/11/30"}),
              (Rows{"Living プロ野球ニュース", "Living きょうの料理", "Study ゴルフ中継"}));
    EXPECT_EQ(h.Run({"search", "--from", "2005/1/1"}).exitCode, 2);
    EXPECT_EQ(h.Run({"search", "--to"}).exitCode, 2);
}

TEST(CliSearch, CriteriaCombine) {
    Household h;
    EXPECT_EQ(h.Rows({"search", "--dvd-titles", "--recorder", "Living", "--disc", "DVD", "--genre", "0x10040", "--text",
                      "中継"}),
              (Rows{"Living サッカー中継"}));
    EXPECT_EQ(h.Rows({"search", "--dvd-titles", "--disc", "HDD", "--from", "2005/12/01", "--text", "nhk"}),
              (Rows{"Living ＮＨＫスペシャル", "Bedroom nhk news"}));
    EXPECT_EQ(h.Rows({"search", "--from", "2005/12/02", "--text", "ﾆｭｰｽ"}), Rows{});
    // Every field of a title line is printed.
    auto r = h.Run({"search", "--recorder", "Study", "--genre", "0x10053"});
    ASSERT_EQ(Lines(r.out).size(), 1u);
    EXPECT_EQ(Fields(Lines(r.out)[0]).size(), 18u);
    EXPECT_EQ(Fields(Lines(r.out)[0]).back(), std::to_string(0x10053));
}

TEST(CliGenres, ListsEveryRowWithImageAndIndent) {
    auto r = RunCli({"genres"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    auto lines = Lines(r.out);
    ASSERT_EQ(lines.size(), 158u);
    EXPECT_EQ(lines[0], "0x40\t16\t0\tﾆｭｰｽ/報道全般");
    EXPECT_EQ(lines[1], "0x50\t16\t1\t01 定刻・総合");
    EXPECT_EQ(lines[16], "0x10040\t17\t0\tスポーツ全般");
    EXPECT_EQ(lines[18], "0x10051\t17\t1\t02 野球");
    EXPECT_EQ(lines.back(), "0xF0040\t31\t0\tその他");
    auto raw = RunCli({"--cp932", "genres"});
    EXPECT_EQ(Lines(raw.out)[18], "0x10051\t17\t1\t" + SJ("02 野球"));
}

TEST(CliClean, DeletesAndReportsTheCount) {
    Household h;
    WriteFile(h.Cache("Living") + "200512012100081.txt", "used");
    WriteFile(h.Cache("Living") + "200501012100081.txt", "unused");
    WriteFile(h.Cache("Living") + "memo.txt", "user's");

    auto unused = h.Run({"clean", "unused", "Living"});
    EXPECT_EQ(unused.exitCode, 0) << unused.err;
    EXPECT_EQ(unused.out, "2 個のキャッシュファイルを削除しました。\n");
    EXPECT_TRUE(std::filesystem::exists(h.Cache("Living") + "200512012100081.txt"));

    auto library = h.Run({"clean", "library", "Living"});
    EXPECT_EQ(library.out, "2 個のキャッシュファイルを削除しました。\n");
    EXPECT_FALSE(std::filesystem::exists(h.Cache("Living") + "Library.csv"));
    EXPECT_EQ(h.Run({"clean", "library", "Living"}).out, "0 個のキャッシュファイルを削除しました。\n");
    EXPECT_TRUE(h.Rows({"search", "--recorder", "Living"}).empty());

    EXPECT_EQ(h.Run({"clean", "all", "Living"}).out, "1 個のキャッシュファイルを削除しました。\n");
    EXPECT_EQ(h.Run({"clean", "everything", "Living"}).exitCode, 2);
    EXPECT_EQ(h.Run({"clean", "all"}).exitCode, 2);
}

TEST(CliClean, AFileThatCannotBeDeletedFailsWithItsName) {
    Household h;
    const std::string locked = h.Cache("Study") + "200601012100081.txt";
    WriteFile(locked, "d");
    ASSERT_EQ(::chmod(locked.c_str(), 0444), 0);
    auto r = h.Run({"clean", "all", "Study"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find(locked + " を削除できません。"), std::string::npos) << r.err;
    EXPECT_EQ(r.out, "");
}

TEST(CliHistory, AddsKeywordsNewestFirst) {
    TempDir home;
    auto run = [&](std::vector<std::string> args) {
        args.insert(args.begin(), {"--home", home.dir()});
        return RunCli(args);
    };
    EXPECT_EQ(run({"history"}).out, "");
    EXPECT_EQ(run({"history", "add", "ab"}).exitCode, 0);
    EXPECT_EQ(run({"history", "add", "ニュース"}).exitCode, 0);
    EXPECT_EQ(run({"history"}).out, "ニュース\nab\n");
    EXPECT_EQ(ReadFile(home.file("Input.dat")), SJ("ニュース\r\nab\r\n"));
    run({"history", "add", "AB"});
    EXPECT_EQ(run({"history"}).out, "AB\nニュース\n");
    EXPECT_EQ(run({"history", "add", ""}).exitCode, 2);
    // A keyword with a line break would come back as two entries.
    EXPECT_EQ(run({"history", "add", "x\ny"}).exitCode, 2);
    EXPECT_EQ(run({"history", "add", "x\r"}).exitCode, 2);
    EXPECT_EQ(run({"history"}).out, "AB\nニュース\n");
    EXPECT_EQ(run({"history", "remove", "x"}).exitCode, 2);
}

}  // namespace
