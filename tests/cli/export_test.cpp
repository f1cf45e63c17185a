// `export` and `--json` through the built tool. The formats' rules are the
// core's; here a search's rows reach them in the layout the window stored,
// the output goes to stdout or -o FILE, and listings become JSON.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "cli/den_home.h"
#include "support/run_cli.h"
#include "support/sjis.h"
#include "support/temp_dir.h"

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

using namespace lv::test;

namespace {

class Home : public DenHome {
public:
    Home() {
        const std::string cache = Cache();
        auto title = [](const char* disc, const char* name, const char* date) {
            return std::string("\"") + disc + "\",\"" + SJ(name) + "\",\"" + date +
                   "\",\"x\",\"21:00\",\"081\",\"\",\"g\",\"1:00\",\"\",\"p.htm\",\"\",\"0000100081\"\r\n";
        };
        WriteFile(cache + "Library.csv", title("0001", "野球", "2005/12/01") +
                                             title("HDD", "\"\"A\"\", B", "2005/12/03") +
                                             title("0001", "相撲", "2005/12/02"));
        WriteFile(cache + "Disc.csv",
                  "\"No\",\"Name\",\"Free\",\"SP\",\"LP\",\"EP\",\"XP\",\"MN\"\r\n"
                  "\"HDD_\",\"\",\"9:00\",\"1\",\"2\",\"3\",\"4\",\"5\"\r\n\"0001\",\"" +
                      SJ("スポーツ") + "\",\"1:00\",\"0:11\",\"0:22\",\"0:33\",\"0:44\",\"0:55\"\r\n");
        // The window left: channel hidden, remaining time shown, sorted by date descending, mode 2.
        WriteFile(File("librovista.ini"),
                  "[Column\\Channel]\r\nWidth=0\r\n[Column\\DiscFree]\r\nWidth=60\r\n[Column\\Date]\r\nSort=-1\r\n"
                  "[Library\\Setting]\r\nRecMode=1\r\n");
    }
};

TEST(CliExport, WritesASearchInTheWindowsLayout) {
    Home h;
    CliResult json = h.Run({"export", "json", "--dvd-titles", "--disc", "0001"});
    ASSERT_EQ(json.exitCode, 0) << json.err;
    EXPECT_EQ(json.out,
              "{\"view\":\"titles\",\"sort\":{\"column\":\"Date\",\"descending\":true},\n"
              "\"columns\":[{\"key\":\"Title\",\"header\":\"タイトル名\"},{\"key\":\"Disc\",\"header\":\"Disc No.\"},"
              "{\"key\":\"Genre\",\"header\":\"ジャンル\"},{\"key\":\"Date\",\"header\":\"録画開始日時\"},"
              "{\"key\":\"RDName\",\"header\":\"本体名\"},{\"key\":\"DiscFree\",\"header\":\"残量時間\"}],\n"
              "\"rows\":[\n"
              "{\"Title\":\"相撲\",\"Disc\":\"0001\",\"Genre\":\"g\",\"Date\":\"2005/12/02(x) 21:00\","
              "\"RDName\":\"Den\",\"DiscFree\":\"00:22\"},\n"
              "{\"Title\":\"野球\",\"Disc\":\"0001\",\"Genre\":\"g\",\"Date\":\"2005/12/01(x) 21:00\","
              "\"RDName\":\"Den\",\"DiscFree\":\"00:22\"}\n"
              "]}\n");

    // --cp932 picks the code page 932 CSV; -o writes the file.
    ASSERT_EQ(h.Run({"--cp932", "export", "csv", "-o", h.File("list.csv")}).exitCode, 0);
    const std::string csv = ReadFile(h.File("list.csv"));
    EXPECT_EQ(csv.substr(0, csv.find("\r\n")), SJ("タイトル名,Disc No.,ジャンル,録画開始日時,本体名,残量時間"));
    EXPECT_EQ(h.Run({"export", "csv", "--text", "野球"}).out.substr(0, 3), "\xEF\xBB\xBF");

    // The DVD node's discs, each a section with its titles.
    CliResult html = h.Run({"export", "html", "--recorder", "Den", "--disc", "DVD"});
    ASSERT_EQ(html.exitCode, 0) << html.err;
    EXPECT_NE(html.out.find("<h2>Den 0001</h2>\n<p class=\"disc\"><span>ﾃﾞｨｽｸ名: スポーツ</span>"), std::string::npos)
        << html.out;

    EXPECT_EQ(h.Run({"export", "xml"}).exitCode, 2);
    EXPECT_EQ(h.Run({"export", "csv", "--to", "x"}).exitCode, 2);
    CliResult failed = h.Run({"export", "json", "-o", h.File("missing/list.json")});
    EXPECT_EQ(failed.exitCode, 1);
    EXPECT_EQ(failed.err.rfind("list.json: ファイルが見つかりません。", 0), 0u) << failed.err;
}

TEST(CliExport, OutputFileIsReplacedWhenRegularWrittenIntoWhenNotAndAReadOnlyOneRefused) {
    Home h;
    const std::string file = h.File("list.csv");
    WriteFile(file, "kept");
    ASSERT_TRUE(MakeReadOnly(file));
    CliResult r = h.Run({"export", "csv", "-o", file});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "list.csv: 読み取り専用のため書き込めません。\n");
    EXPECT_EQ(ReadFile(file), "kept");
#ifndef _WIN32
    // A reader waits on the FIFO: the rows go through it, and it stays a FIFO.
    const std::string fifo = h.File("fifo");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    r = h.Run({"export", "json", "--text", "相撲", "-o", fifo});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    char buffer[4096];
    const ssize_t n = ::read(reader, buffer, sizeof buffer);
    ::close(reader);
    EXPECT_NE(std::string(buffer, n > 0 ? static_cast<std::size_t>(n) : 0).find("\"Title\":\"相撲\""),
              std::string::npos);
    EXPECT_TRUE(std::filesystem::is_fifo(fifo));
#endif
}

TEST(CliJson, ListingsPrintOneArrayWithStableKeys) {
    Home h;
    EXPECT_EQ(h.Run({"--json", "recorders"}).out,
              "[\n{\"name\":\"Den\",\"model\":\"RD-XS41\",\"modelClass\":2,\"discs\":2,\"titles\":3}\n]\n");
    const std::string titles = h.Run({"--json", "--cp932", "search", "--text", "\"A\""}).out;
    EXPECT_EQ(
        titles.rfind("[\n{\"type\":\"title\",\"recorder\":\"Den\",\"disc\":\"HDD\",\"title\":\"\\\"A\\\", B\",", 0), 0u)
        << titles;
    EXPECT_NE(titles.find(",\"genreCode\":65617}\n]\n"), std::string::npos) << titles;
    EXPECT_EQ(h.Run({"--json", "search", "--text", "none"}).out, "[]\n");
    EXPECT_NE(
        h.Run({"--json", "genres"}).out.find("{\"code\":65617,\"image\":17,\"subGenre\":true,\"name\":\"02 野球\"}"),
        std::string::npos);
    // Not a listing: as without --json.
    EXPECT_EQ(h.Run({"--json", "clean", "all", "Den"}).out, "0 個のキャッシュファイルを削除しました。\n");
}

}  // namespace
