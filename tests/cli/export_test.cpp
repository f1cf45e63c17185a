// `export` and `--json` through the built tool. The formats' rules are the
// core's; here a search's rows reach them in the layout the window stored,
// the output goes to stdout or -o FILE, and listings become JSON. Then what
// the tool writes when its output fails, when the core throws, and when a
// recorder's text holds control characters.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "support/process.h"
#include "support/run_cli.h"
#include "support/sjis.h"
#include "support/temp_dir.h"

#ifndef _WIN32
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

using namespace lv::test;

namespace {

class Home {
public:
    Home() {
        const std::string cache = m_dir.dir() + "Den/";
        std::filesystem::create_directories(cache);
        WriteFile(m_dir.file("Den.ini"), "[NetNavi]\r\nHost=192.168.0.2\r\nPort=80\r\nAuth=0\r\nModel=RD-XS41\r\n");
        WriteFile(m_dir.file("Default.lbv"), "Den\r\n");
        WriteFile(cache + "Library.csv", Title("0001", SJ("野球"), "2005/12/01") +
                                             Title("HDD", "\"\"A\"\", B", "2005/12/03") +
                                             Title("0001", SJ("相撲"), "2005/12/02"));
        WriteFile(cache + "Disc.csv",
                  "\"No\",\"Name\",\"Free\",\"SP\",\"LP\",\"EP\",\"XP\",\"MN\"\r\n"
                  "\"HDD_\",\"\",\"9:00\",\"1\",\"2\",\"3\",\"4\",\"5\"\r\n\"0001\",\"" +
                      SJ("スポーツ") + "\",\"1:00\",\"0:11\",\"0:22\",\"0:33\",\"0:44\",\"0:55\"\r\n");
        // The window left: channel hidden, remaining time shown, sorted by date descending, mode 2.
        WriteFile(m_dir.file("librovista.ini"),
                  "[Column\\Channel]\r\nWidth=0\r\n[Column\\DiscFree]\r\nWidth=60\r\n[Column\\Date]\r\nSort=-1\r\n"
                  "[Library\\Setting]\r\nRecMode=1\r\n");
    }
    static std::string Title(const char* disc, const std::string& name, const char* date = "2005/12/01") {
        return std::string("\"") + disc + "\",\"" + name + "\",\"" + date +
               "\",\"x\",\"21:00\",\"081\",\"\",\"g\",\"1:00\",\"\",\"p.htm\",\"\",\"0000100081\"\r\n";
    }
    // Den's library: `count` titles named `name` (code page 932) on the hard disk.
    void SetTitles(const std::string& name, int count = 1) const {
        std::string csv;
        for (int i = 0; i < count; ++i) csv += Title("HDD", name);
        WriteFile(m_dir.dir() + "Den/Library.csv", csv);
    }
    std::vector<std::string> With(std::vector<std::string> args) const {
        args.insert(args.begin(), {"--home", m_dir.dir()});
        return args;
    }
    CliResult Run(std::vector<std::string> args) const { return RunCli(With(std::move(args))); }
    std::string File(const char* name) const { return m_dir.file(name); }

private:
    TempDir m_dir;
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

#ifndef _WIN32
// The tool run as "$@" of a shell `script`.
CliResult Shell(const std::string& script, const std::vector<std::string>& toolArgs) {
    std::vector<std::string> args{"-c", script, "sh", LV_CLI_PATH};
    args.insert(args.end(), toolArgs.begin(), toolArgs.end());
    ChildProcess child("/bin/sh", args);
    CliResult r;
    child.ReadAll(r.out, r.err);
    r.exitCode = child.Wait();
    return r;
}
#endif

TEST(CliExport, ARegularFileIsReplacedAReadOnlyOneRefusedAFifoWrittenInto) {
    Home h;
    const std::string file = h.File("list.csv");
    WriteFile(file, "kept");
    ASSERT_TRUE(MakeReadOnly(file));
    CliResult r = h.Run({"export", "csv", "-o", file});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "list.csv: 読み取り専用のため書き込めません。\n");
    EXPECT_EQ(ReadFile(file), "kept");
#ifndef _WIN32
    const std::string fifo = h.File("fifo");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    EXPECT_EQ(h.Run({"export", "json", "--text", "相撲", "-o", fifo}).exitCode, 0);
    char buffer[4096] = {};
    EXPECT_GT(::read(reader, buffer, sizeof buffer - 1), 0);
    ::close(reader);
    EXPECT_NE(std::string(buffer).find("\"Title\":\"相撲\""), std::string::npos) << buffer;
    EXPECT_TRUE(std::filesystem::is_fifo(fifo));
#endif
}

#ifndef _WIN32
TEST(CliOutput, AFailedWriteIsOneMessageAndExitOneAClosedPipeIsQuiet) {
    if (!std::filesystem::is_character_file("/dev/full")) GTEST_SKIP() << "/dev/full is no device here";
    Home h;
    ASSERT_EQ(h.Run({"history", "add", "kw"}).exitCode, 0);
    for (const std::vector<std::string>& command : std::vector<std::vector<std::string>>{
             {"titles"}, {"--json", "search"}, {"history"}, {"description", "Den", "0"}, {"export", "csv"}}) {
        const CliResult r = Shell("exec \"$@\" >/dev/full", h.With(command));
        EXPECT_EQ(r.exitCode, 1) << command.back();
        EXPECT_EQ(r.err.rfind("librovista-cli: write error: ", 0), 0u) << r.err;
        EXPECT_EQ(Lines(r.err).size(), 1u) << r.err;
    }
    // Far more than a pipe holds, so the tool is still writing when head leaves.
    h.SetTitles("title", 20000);
    const CliResult r = Shell("{ \"$@\"; echo \"exit $?\" >&2; } | head -n 1", h.With({"titles"}));
    EXPECT_EQ(Lines(r.out).size(), 1u);
    EXPECT_EQ(r.err, "exit 141\n");
}

TEST(CliOutput, ALibraryTooLargeForMemoryIsAMessageAndFailsWhatReadsIt) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the address sanitizer needs more address space than the limit leaves";
#endif
    Home h;
    h.SetTitles(std::string(200, 'x'), 400000);
    WriteFile(h.File("Den/200512012100081.txt"), "kept");
    for (const char* command : {"titles", "clean unused Den"}) {
        const CliResult r = Shell(std::string("ulimit -v 120000 && exec \"$@\" ") + command, h.With({}));
        EXPECT_EQ(r.exitCode, 1) << command;
        EXPECT_EQ(r.err, "Den: メモリが足りません。\n") << command;
    }
    EXPECT_EQ(ReadFile(h.File("Den/200512012100081.txt")), "kept");
}
#endif

#if !defined(_WIN32) && !defined(__SANITIZE_ADDRESS__)
// The most memory the tool held at once in a run, its output thrown away. A
// child's peak counts this process's memory at the start, so the test keeps little.
long PeakBytes(const Home& h, const std::vector<std::string>& command) {
    std::vector<std::string> args = h.With(command);
    args.insert(args.begin(), LV_CLI_PATH);
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int err = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    struct rusage use {};
    EXPECT_TRUE(err == 0 && wait4(pid, &status, 0, &use) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0)
        << command.front();
    return use.ru_maxrss * 1024L;
}

TEST(CliOutput, ListingsAndExportsHoldTheLibraryAndItsRowsNotTheirOutput) {
    Home h;
    constexpr long kTitles = 200000;
    auto setTitles = [&](const std::string& name) {
        std::ofstream csv(h.File("Den/Library.csv"), std::ios::binary);
        const std::string line = Home::Title("HDD", name);
        for (long i = 0; i < kTitles; ++i) csv << line;
    };
    setTitles(std::string(120, 'x'));  // far more output than library
    long library = PeakBytes(h, {"recorders"});
    for (const std::vector<std::string>& command : std::vector<std::vector<std::string>>{
             {"export", "csv"}, {"export", "json"}, {"export", "html"}, {"export", "csv", "-o", h.File("a.csv")}})
        EXPECT_LE(PeakBytes(h, command), library + 96 * kTitles) << command.back() << ": the output held whole";
    EXPECT_GT(std::filesystem::file_size(h.File("a.csv")), 120 * kTitles);
    // Nor references and sort entries for every row at once.
    for (const char* format : {"csv", "json"})
        EXPECT_LE(PeakBytes(h, {"export", format}), library + 40 * kTitles) << format << ": the rows held whole";
    // Short titles, where a file name per title would weigh.
    setTitles("t");
    library = PeakBytes(h, {"recorders"});
    EXPECT_LE(PeakBytes(h, {"titles"}), library + (2L << 20)) << "a description file name kept per title";
}
#endif

TEST(CliOutput, ControlCharactersOfARecorderAreShownEscapedFileErrorsInTheChosenEncoding) {
    Home h;
    h.SetTitles("A\x1b[2J\x7f\x07" + SJ("野球"));
    WriteFile(h.File("Den/200512012100081.txt"), "one\x1b]2;x\x07\r\ntwo\r\n");
    EXPECT_EQ(h.Run({"titles"}).out.rfind("T\tDen\tHDD\tA\\x1b[2J\\x7f\\x07野球\t", 0), 0u);
    // Code page 932 lead bytes (0x96 here) are in the C1 range and stay.
    EXPECT_EQ(h.Run({"--cp932", "titles"}).out.rfind("T\tDen\tHDD\tA\\x1b[2J\\x7f\\x07" + SJ("野球"), 0), 0u);
    EXPECT_NE(h.Run({"--json", "titles"}).out.find("\"title\":\"A\\u001b[2J\\u007f\\u0007野球\""), std::string::npos);
    EXPECT_EQ(h.Run({"description", "Den", "0"}).out, "one\\x1b]2;x\\x07\r\ntwo\r\n");

    // The document lists Den, but the program folder is missing: the profile cannot be saved.
    const std::string err = RunCli({"--home", h.File("missing"), "--doc", h.File("Default.lbv"), "recorder", "set",
                                    "Den", "--model", "RD-XS41", "--host", "h"})
                                .err;
    EXPECT_NE(err.find("Den.ini: ファイルが見つかりません。"), std::string::npos) << err;
}

}  // namespace
