// What the tool writes when its output fails, when the core throws, and when
// a recorder's text holds control characters.
#include <gtest/gtest.h>

#include "cli/den_home.h"
#include "support/process.h"
#include "support/sjis.h"

using namespace lv::test;

namespace {

// Den with a title of each name (code page 932); the first one's description holds `description`.
struct Home : DenHome {
    explicit Home(const std::vector<std::string>& titles, const std::string& description = "") {
        std::string csv;
        for (const std::string& t : titles)
            csv += "\"HDD\",\"" + t +
                   "\",\"2005/12/01\",\"x\",\"21:00\",\"081\",\"\",\"g\",\"1:00\",\"\",\"p.htm\",\"\","
                   "\"0000100081\"\r\n";
        WriteFile(Cache() + "Library.csv", csv);
        WriteFile(Cache() + "200512012100081.txt", description);
    }
};

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

}  // namespace

#ifndef _WIN32
TEST(CliOutput, AFailedWriteIsOneMessageAndExitOneAClosedPipeIsQuiet) {
    if (!std::filesystem::is_character_file("/dev/full")) GTEST_SKIP() << "/dev/full is no device here";
    // Far more than a pipe holds, so the tool is still writing when head leaves.
    Home h(std::vector<std::string>(20000, "title"));
    ASSERT_EQ(h.Run({"history", "add", "kw"}).exitCode, 0);
    for (const std::vector<std::string>& command : std::vector<std::vector<std::string>>{{"titles"},
                                                                                         {"--json", "search"},
                                                                                         {"history"},
                                                                                         {"description", "Den", "0"},
                                                                                         {"export", "csv"},
                                                                                         {"--version"}}) {
        const CliResult r = Shell("exec \"$@\" >/dev/full", h.With(command));
        EXPECT_EQ(r.exitCode, 1) << command.back();
        EXPECT_EQ(r.err.rfind("librovista-cli: write error: ", 0), 0u) << r.err;
        EXPECT_EQ(Lines(r.err).size(), 1u) << r.err;
    }
    const CliResult r = Shell("{ \"$@\"; echo \"exit $?\" >&2; } | head -n 1", h.With({"titles"}));
    EXPECT_EQ(Lines(r.out).size(), 1u);
    EXPECT_EQ(r.err, "exit 141\n");
}

TEST(CliOutput, RunningOutOfMemoryIsAMessage) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the address sanitizer needs more address space than the limit leaves";
#endif
    Home h(std::vector<std::string>(400000, std::string(200, 'x')));
    const CliResult r = Shell("ulimit -v 120000 && exec \"$@\"", h.With({"titles"}));
    EXPECT_EQ(r.exitCode, 1) << r.err;
    EXPECT_EQ(r.err, "librovista-cli: メモリが足りません。\n");
}
#endif

TEST(CliOutput, ControlCharactersOfARecorderAreShownEscaped) {
    Home h({"A\x1b[2J\x07"
            "B\x7f" +
            SJ("野球")},
           "one\x1b]2;x\x07\r\ntwo\r\n");
    EXPECT_EQ(h.Run({"titles"}).out.rfind("T\tDen\tHDD\tA\\x1b[2J\\x07B\\x7f野球\t", 0), 0u);
    // Code page 932 lead bytes (0x96 here) are in the C1 range and stay.
    const std::string cp932 = "T\tDen\tHDD\tA\\x1b[2J\\x07B\\x7f" + SJ("野球") + "\t";
    EXPECT_EQ(h.Run({"--cp932", "titles"}).out.rfind(cp932, 0), 0u);
    EXPECT_NE(h.Run({"--json", "titles"}).out.find("\"title\":\"A\\u001b[2J\\u0007B\\u007f野球\""), std::string::npos);
    EXPECT_EQ(h.Run({"description", "Den", "0"}).out, "one\\x1b]2;x\\x07\r\ntwo\r\n");
}

TEST(CliOutput, RecorderFileErrorsAreInTheChosenEncoding) {
    // The document lists Den, but its program folder is missing: the profile cannot be saved.
    TempDir dir;
    WriteFile(dir.file("doc.lbv"), "Den\r\n");
    for (const bool cp932 : {false, true}) {
        std::vector<std::string> args = {"--home",   dir.file("missing"),
                                         "--doc",    dir.file("doc.lbv"),
                                         "recorder", "set",
                                         "Den",      "--model",
                                         "RD-XS41",  "--host",
                                         "h"};
        if (cp932) args.insert(args.begin(), "--cp932");
        const CliResult r = RunCli(args);
        EXPECT_EQ(r.exitCode, 1);
        for (const char* text : {"Den.ini: ファイルが見つかりません。", "\n設定保存に失敗しました。\n"})
            EXPECT_NE(r.err.find(cp932 ? SJ(text) : text), std::string::npos) << r.err;
    }
}
