// What the tool writes when its output cannot take it, when a core failure
// escapes a command, and when a recorder or a server sends control characters.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <thread>

#include "support/process.h"
#include "support/run_cli.h"
#include "support/sjis.h"
#include "support/temp_dir.h"

#ifndef _WIN32
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

using namespace lv::test;

namespace {

// A program folder with recorder Den and the titles given (code page 932).
class Home {
public:
    explicit Home(const std::vector<std::string>& titles) {
        const std::string cache = m_dir.dir() + "Den/";
        std::filesystem::create_directories(cache);
        WriteFile(m_dir.file("Den.ini"), "[NetNavi]\r\nHost=192.168.0.2\r\nPort=80\r\nAuth=0\r\nModel=RD-XS41\r\n");
        WriteFile(m_dir.file("Default.lbv"), "Den\r\n");
        std::string csv;
        for (const std::string& t : titles)
            csv += "\"HDD\",\"" + t +
                   "\",\"2005/12/01\",\"x\",\"21:00\",\"081\",\"\",\"g\",\"1:00\",\"\",\"p.htm\",\"\","
                   "\"0000100081\"\r\n";
        WriteFile(cache + "Library.csv", csv);
    }
    std::vector<std::string> With(std::vector<std::string> args) const {
        args.insert(args.begin(), {"--home", m_dir.dir()});
        return args;
    }
    CliResult Run(const std::vector<std::string>& args) const { return RunCli(With(args)); }
    std::string Dir() const { return m_dir.dir(); }

private:
    TempDir m_dir;
};

#ifndef _WIN32
// The tool run by the shell with `script` around it ("$@" is the tool and its arguments).
CliResult Shell(const std::string& script, const std::vector<std::string>& toolArgs) {
    std::vector<std::string> args{"-c", script, "sh", LV_CLI_PATH};
    args.insert(args.end(), toolArgs.begin(), toolArgs.end());
    ChildProcess child("/bin/sh", args);
    CliResult r;
    child.ReadAll(r.out, r.err);
    r.exitCode = child.Wait();
    return r;
}

// Answers one request on a loopback port a profile accepts with `answer`, whatever was asked.
class RawServer {
public:
    explicit RawServer(std::string answer) : m_answer(std::move(answer)) {
        m_fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        for (int port = 2000 + ::getpid() % 7000, tries = 0; tries < 1000;
             ++tries, port = port >= 9999 ? 2000 : port + 1) {
            a.sin_port = htons(static_cast<std::uint16_t>(port));
            if (::bind(m_fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 && ::listen(m_fd, 4) == 0) {
                m_port = port;
                break;
            }
        }
        if (m_port) m_thread = std::thread([this] { Serve(); });
    }
    ~RawServer() {
        ::shutdown(m_fd, SHUT_RDWR);
        if (m_thread.joinable()) m_thread.join();
        ::close(m_fd);
    }
    int Port() const { return m_port; }

private:
    void Serve() {
        const int c = ::accept(m_fd, nullptr, nullptr);
        if (c < 0) return;
        std::string request;
        char buf[1024];
        for (ssize_t n; request.find("\r\n\r\n") == std::string::npos && (n = ::read(c, buf, sizeof buf)) > 0;)
            request.append(buf, static_cast<std::size_t>(n));
        (void)!::write(c, m_answer.data(), m_answer.size());
        ::close(c);
    }
    std::string m_answer;
    int m_fd = -1;
    int m_port = 0;
    std::thread m_thread;
};
#endif

}  // namespace

#ifndef _WIN32
TEST(CliOutput, AFailedWriteIsOneMessageAndExitOne) {
    if (!std::filesystem::is_character_file("/dev/full")) GTEST_SKIP() << "/dev/full is no device here";
    Home h({SJ("野球")});
    ASSERT_EQ(h.Run({"history", "add", "kw"}).exitCode, 0);
    const std::vector<std::vector<std::string>> commands = {
        {"titles"},        {"--json", "titles"}, {"search", "--text", "野球"}, {"history"}, {"description", "Den", "0"},
        {"export", "csv"}, {"--version"},
    };
    for (const auto& command : commands) {
        const CliResult r = Shell("exec \"$@\" >/dev/full", h.With(command));
        EXPECT_EQ(r.exitCode, 1) << command.back();
        EXPECT_EQ(Lines(r.err).size(), 1u) << command.back() << ": " << r.err;
        EXPECT_NE(r.err.find("No space left on device"), std::string::npos) << command.back() << ": " << r.err;
    }
}

TEST(CliOutput, AReaderThatStopsEndsTheListingQuietly) {
    // Far more than a pipe holds, so the tool is still writing when head leaves.
    Home h(std::vector<std::string>(20000, "title"));
    const CliResult r = Shell("{ \"$@\"; echo \"exit $?\" >&2; } | head -n 1", h.With({"titles"}));
    EXPECT_EQ(Lines(r.out).size(), 1u);
    EXPECT_EQ(r.err, "exit 141\n");
}

TEST(CliOutput, ACoreFailureEndsWithAMessage) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the address sanitizer needs more address space than the limit leaves";
#endif
    // A large library under a small address-space limit: loading it runs out of memory.
    Home h(std::vector<std::string>(400000, std::string(200, 'x')));
    const CliResult r = Shell("ulimit -v 120000 && exec \"$@\"", h.With({"titles"}));
    EXPECT_EQ(r.exitCode, 1) << r.err;
    EXPECT_EQ(r.err, "librovista-cli: メモリが足りません。\n");
}

TEST(CliOutput, AServersControlCharactersAreShownEscaped) {
    RawServer server("HTTP/1.0 500 \x1b]2;owned\x07\x1b[2J\r\nContent-Length: 0\r\n\r\n");
    ASSERT_NE(server.Port(), 0);
    Home h({});
    ASSERT_EQ(h.Run({"recorder", "add", "Raw", "--model", "RD-XS41", "--host", "127.0.0.1", "--port",
                     std::to_string(server.Port())})
                  .exitCode,
              0);
    const CliResult r = h.Run({"fetch", "Raw"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("500 \\x1b]2;owned\\x07\\x1b[2J"), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find('\x1b'), std::string::npos) << r.err;
}
#endif

TEST(CliOutput, ARecordersControlCharactersAreShownEscaped) {
    Home h({std::string("A\x1b[2J\x07"
                        "B\x7f") +
            SJ("野球")});
    EXPECT_EQ(h.Run({"titles"}).out.rfind("T\tDen\tHDD\tA\\x1b[2J\\x07B\\x7f野球\t", 0), 0u);
    // Code page 932 lead bytes (0x96 here) are in the C1 range and stay.
    const std::string cp932 = "T\tDen\tHDD\tA\\x1b[2J\\x07B\\x7f" + SJ("野球") + "\t";
    EXPECT_EQ(h.Run({"--cp932", "titles"}).out.rfind(cp932, 0), 0u);
    const std::string json = h.Run({"--json", "titles"}).out;
    EXPECT_NE(json.find("\"title\":\"A\\u001b[2J\\u0007B\\u007f野球\""), std::string::npos) << json;
}

TEST(CliOutput, FileErrorsOfRecorderCommandsAreShownInTheChosenEncoding) {
    // The document lists Den, but its program folder is missing: the profile cannot be saved.
    TempDir dir;
    WriteFile(dir.file("doc.lbv"), "Den\r\n");
    const std::vector<std::string> args = {"--home",   dir.file("missing"),
                                           "--doc",    dir.file("doc.lbv"),
                                           "recorder", "set",
                                           "Den",      "--model",
                                           "RD-XS41",  "--host",
                                           "h"};
    CliResult r = RunCli(args);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "Den.ini: ファイルが見つかりません。 (No such file or directory)\n設定保存に失敗しました。\n");
    std::vector<std::string> cp932 = args;
    cp932.insert(cp932.begin(), "--cp932");
    r = RunCli(cp932);
    EXPECT_EQ(r.err, SJ("Den.ini: ファイルが見つかりません。 (No such file or directory)\n設定保存に失敗しました。\n"));
}
