#include "rdsim/rdsim.h"

#include <gtest/gtest.h>
#include <httplib.h>
#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

#include <atomic>
#include <filesystem>
#include <thread>

#include "support/process.h"
#include "support/sjis.h"
#include "support/temp_dir.h"

using lv::rdsim::CommandLine;
using lv::rdsim::Fault;
using lv::rdsim::RdSim;
using lv::test::TempDir;

namespace {

const char* ModelOf(int modelClass) {
    switch (modelClass) {
    case 1: return "RD-X3";
    case 2: return "RD-XV44";
    case 3: return "RD-XS57";
    default: return "DVR-1";
    }
}

const std::string kLibrary = "/library/view_library.csv";
const std::string kDisc = "/library/DiscList_.csv";
const std::string kInfo = "/library/tt_info.htm";

struct Raw {
    std::string head;  // status line and headers
    std::string body;
};

// Sends one request as written and reads until the server closes.
std::string Exchange(int port, const std::string& request, const char* addr = "127.0.0.1") {
#ifdef _WIN32
    const SOCKET s = socket(AF_INET, SOCK_STREAM, 0);
    const DWORD timeoutMs = 10000;
    setsockopt(s, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeoutMs), sizeof timeoutMs);
#else
    const int s = socket(AF_INET, SOCK_STREAM, 0);
    timeval tv{10, 0};
    setsockopt(s, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
#endif
    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    sa.sin_port = htons(static_cast<std::uint16_t>(port));
    inet_pton(AF_INET, addr, &sa.sin_addr);
    std::string out;
    if (connect(s, reinterpret_cast<sockaddr*>(&sa), sizeof sa) == 0) {
#ifdef _WIN32
        send(s, request.data(), static_cast<int>(request.size()), 0);
#else
        send(s, request.data(), request.size(), MSG_NOSIGNAL);
#endif
        char buf[8192];
        long n;
        while ((n = recv(s, buf, sizeof buf, 0)) > 0) out.append(buf, static_cast<std::size_t>(n));
        if (n < 0) out += "<<timeout>>";
    } else {
        out = "<<refused>>";
    }
#ifdef _WIN32
    closesocket(s);
#else
    close(s);
#endif
    return out;
}

Raw Get10(int port, const std::string& path, const std::string& headers = "") {
    const std::string r = Exchange(port, "GET " + path + " HTTP/1.0\r\n" + headers + "\r\n");
    const std::size_t end = r.find("\r\n\r\n");
    if (end == std::string::npos) return {r, ""};
    return {r.substr(0, end + 2), r.substr(end + 4)};
}

std::vector<std::string> Paths(const RdSim& sim) {
    std::vector<std::string> out;
    for (const auto& r : sim.Requests()) out.push_back(r.strPath);
    return out;
}

bool HasTextarea(const std::string& page) { return page.find("<TEXTAREA") != std::string::npos; }

class RdSimByClass : public ::testing::TestWithParam<int> {};

}  // namespace

TEST_P(RdSimByClass, AnswersEachPathAsItsModelClassDoes) {
    const int modelClass = GetParam();
    RdSim sim({.strModel = ModelOf(modelClass)});
    ASSERT_EQ(sim.ModelClass(), modelClass);
    sim.Generate({.titles = 40, .discs = 4, .modelClass = 0, .seed = 3});
    const auto sample = sim.Sample();
    ASSERT_EQ(sample->Options().modelClass, modelClass);
    const int port = sim.Start();
    ASSERT_GT(port, 0);
    httplib::Client cli("127.0.0.1", port);

    auto lib = cli.Get(kLibrary.c_str());
    ASSERT_TRUE(lib);
    EXPECT_EQ(lib->status, 200);
    EXPECT_EQ(lib->body, sample->LibraryCsv());
    EXPECT_EQ(lib->get_header_value("Content-Type"), "text/csv; charset=Shift_JIS");

    auto disc = cli.Get(kDisc.c_str());
    ASSERT_TRUE(disc);
    if (modelClass == 1) {
        EXPECT_EQ(disc->status, 404);
    } else {
        EXPECT_EQ(disc->status, 200);
        EXPECT_EQ(disc->body, sample->DiscListCsv());
        EXPECT_EQ(disc->body[0], '"');
    }

    const std::string page = "/library/" + sample->Titles()[5].strPage;
    auto details = cli.Get(page.c_str());
    auto info = cli.Get(kInfo.c_str());
    ASSERT_TRUE(details && info);
    switch (modelClass) {
    case 1:
        EXPECT_EQ(details->status, 404);
        EXPECT_EQ(info->status, 404);
        break;
    case 3:
        // The page only selects; the details come from tt_info.htm.
        EXPECT_EQ(details->status, 200);
        EXPECT_FALSE(HasTextarea(details->body));
        EXPECT_EQ(details->get_header_value("Content-Type"), "text/html; charset=Shift_JIS");
        EXPECT_EQ(info->status, 200);
        break;
    default:
        EXPECT_EQ(details->status, 200);
        EXPECT_EQ(details->body, sample->DescriptionPage(5));
        EXPECT_EQ(info->status, 404);
        EXPECT_EQ(sim.SelectedPage(), "");
    }

    for (const char* missing : {"/", "/library/", "/library/nosuch.htm", "/index.html", "/library/view_library.CSV"}) {
        auto r = cli.Get(missing);
        ASSERT_TRUE(r);
        EXPECT_EQ(r->status, 404) << missing;
    }
    const auto log = sim.Requests();
    ASSERT_GE(log.size(), 4u);
    EXPECT_EQ(log[0].strPath, kLibrary);
    EXPECT_EQ(log[0].nStatus, 200);
    EXPECT_EQ(log[1].strPath, kDisc);
    EXPECT_EQ(log[1].nStatus, modelClass == 1 ? 404 : 200);
    EXPECT_EQ(log[2].strPath, page);
    sim.Stop();
    EXPECT_FALSE(sim.IsRunning());
}

INSTANTIATE_TEST_SUITE_P(AllClasses, RdSimByClass, ::testing::Values(0, 1, 2, 3));

TEST(RdSim, ClassThreeShowsTheTitleSelectedLastOnAnyConnection) {
    RdSim sim({.strModel = "RD-Z1"});
    sim.Generate({.titles = 10, .discs = 1, .modelClass = 3, .seed = 8});
    const auto sample = sim.Sample();
    const int port = sim.Start();

    // Nothing selected yet: a page without a description.
    Raw none = Get10(port, kInfo);
    EXPECT_NE(none.head.find(" 200 "), std::string::npos);
    EXPECT_FALSE(HasTextarea(none.body));
    EXPECT_NE(none.body.find(SJ("番組が選択されていません。")), std::string::npos);

    // The program's order for two titles, each request on its own HTTP/1.0 connection.
    const std::string p1 = "/library/" + sample->Titles()[2].strPage;
    const std::string p2 = "/library/" + sample->Titles()[7].strPage;
    sim.ClearRequests();
    EXPECT_FALSE(HasTextarea(Get10(port, p1).body));
    EXPECT_EQ(Get10(port, kInfo).body, sample->DescriptionPage(2));
    EXPECT_FALSE(HasTextarea(Get10(port, p2).body));
    EXPECT_EQ(Get10(port, kInfo).body, sample->DescriptionPage(7));
    EXPECT_EQ(Paths(sim), (std::vector<std::string>{p1, kInfo, p2, kInfo}));
    for (const auto& r : sim.Requests()) EXPECT_EQ(r.strVersion, "HTTP/1.0");

    // An unknown page selects nothing, and the info stays with title 7.
    EXPECT_NE(Get10(port, "/library/nosuch.htm").head.find(" 404 "), std::string::npos);
    EXPECT_EQ(Get10(port, kInfo).body, sample->DescriptionPage(7));
    // Neither does a page answered with a fault.
    sim.SetFault(p1, Fault{.nStatus = 500});
    EXPECT_NE(Get10(port, p1).head.find(" 500 "), std::string::npos);
    EXPECT_EQ(sim.SelectedPage(), sample->Titles()[7].strPage);
    // A new library forgets the selection.
    sim.Generate({.titles = 3, .discs = 0, .modelClass = 3, .seed = 1});
    EXPECT_EQ(sim.SelectedPage(), "");
}

TEST(RdSim, BasicAuthentication) {
    RdSim sim({.strModel = "RD-XS41", .strUser = "admin", .strPassword = "pa:ss"});
    sim.Generate({.titles = 5, .discs = 1});
    const int port = sim.Start();
    // admin:pa:ss in base64
    const std::string good = "Authorization: Basic YWRtaW46cGE6c3M=\r\n";

    Raw anon = Get10(port, kLibrary);
    EXPECT_EQ(anon.head.rfind("HTTP/1.1 401", 0), 0u) << anon.head;
    EXPECT_NE(anon.head.find("WWW-Authenticate: Basic realm=\"RD\""), std::string::npos);
    EXPECT_NE(anon.body[0], '"');

    EXPECT_NE(Get10(port, kLibrary, "Authorization: Basic YWRtaW46d3Jvbmc=\r\n").head.find(" 401 "), std::string::npos);
    EXPECT_NE(Get10(port, kLibrary, "Authorization: Digest YWRtaW46cGE6c3M=\r\n").head.find(" 401 "),
              std::string::npos);
    EXPECT_NE(Get10(port, kLibrary, "Authorization: Basic\r\n").head.find(" 401 "), std::string::npos);

    Raw ok = Get10(port, kLibrary, good);
    EXPECT_NE(ok.head.find(" 200 "), std::string::npos);
    EXPECT_EQ(ok.body, sim.Sample()->LibraryCsv());
    EXPECT_NE(Get10(port, kDisc, "Authorization: basic YWRtaW46cGE6c3M=\r\n").head.find(" 200 "), std::string::npos);

    // The client's own challenge-answering gets through as well.
    httplib::Client cli("127.0.0.1", port);
    cli.set_basic_auth("admin", "pa:ss");
    auto r = cli.Get(kDisc.c_str());
    ASSERT_TRUE(r);
    EXPECT_EQ(r->status, 200);

    // Authentication comes before any fault.
    sim.SetFault(Fault{.nStatus = 503});
    EXPECT_NE(Get10(port, kLibrary).head.find(" 401 "), std::string::npos);
    EXPECT_NE(Get10(port, kLibrary, good).head.find(" 503 "), std::string::npos);

    const auto log = sim.Requests();
    ASSERT_GE(log.size(), 5u);
    EXPECT_FALSE(log[0].bAuthorized);
    EXPECT_EQ(log[0].nStatus, 401);
    EXPECT_TRUE(log[4].bAuthorized);
    EXPECT_EQ(log[4].nStatus, 200);
}

TEST(RdSim, BusyAndStatusFaultsEverywhereOrOnOnePath) {
    RdSim sim({.strModel = "RD-XS41"});
    sim.Generate({.titles = 8, .discs = 2});
    const auto sample = sim.Sample();
    const int port = sim.Start();

    sim.SetFault(Fault{.bBusy = true});
    for (const std::string& path : {kLibrary, kDisc, "/library/" + sample->Titles()[0].strPage}) {
        Raw r = Get10(port, path);
        EXPECT_NE(r.head.find(" 200 "), std::string::npos) << path;
        EXPECT_EQ(r.body.rfind("<HTML>", 0), 0u) << "a page, not a list: " << path;
        EXPECT_FALSE(HasTextarea(r.body));
        EXPECT_NE(r.head.find("text/html"), std::string::npos);
    }

    // Only the disc list fails; a fault for a path replaces the one for every path.
    sim.ClearFaults();
    sim.SetFault(Fault{.nStatus = 503});
    sim.SetFault(kLibrary, Fault{});
    sim.SetFault(kDisc, Fault{.nStatus = 500});
    EXPECT_EQ(Get10(port, kLibrary).body, sample->LibraryCsv());
    Raw failed = Get10(port, kDisc);
    EXPECT_EQ(failed.head.rfind("HTTP/1.1 500", 0), 0u) << failed.head;
    EXPECT_NE(Get10(port, kInfo).head.find(" 503 "), std::string::npos);

    // Statuses without a body, and redirects the program must not follow.
    sim.SetFault(kDisc, Fault{.nStatus = 204});
    Raw empty = Get10(port, kDisc);
    EXPECT_NE(empty.head.find(" 204 "), std::string::npos);
    EXPECT_EQ(empty.body, "");
    sim.SetFault(kDisc, Fault{.nStatus = 302});
    EXPECT_NE(Get10(port, kDisc).head.find(" 302 "), std::string::npos);

    sim.ClearFaults();
    EXPECT_EQ(Get10(port, kDisc).body, sample->DiscListCsv());
    const auto log = sim.Requests();
    EXPECT_EQ(log[3].nStatus, 200);
    EXPECT_EQ(log[4].nStatus, 500);
    EXPECT_EQ(log[5].nStatus, 503);
}

TEST(RdSim, CutBodyClosesTheConnectionEarly) {
    RdSim sim({.strModel = "RD-XS41"});
    sim.Generate({.titles = 60, .discs = 2});
    const std::string full = sim.Sample()->LibraryCsv();
    ASSERT_GT(full.size(), 1000u);
    const int port = sim.Start();

    sim.SetFault(kLibrary, Fault{.nCutAfter = 100});
    Raw r = Get10(port, kLibrary);
    EXPECT_NE(r.head.find("Content-Length: " + std::to_string(full.size())), std::string::npos)
        << "the header promises the whole list";
    EXPECT_EQ(r.body, full.substr(0, 100));

    httplib::Client cli("127.0.0.1", port);
    auto res = cli.Get(kLibrary.c_str());
    EXPECT_FALSE(res) << "a client sees a broken transfer";

    // Nothing of the body at all, and a cut beyond the end changes nothing.
    sim.SetFault(kLibrary, Fault{.nCutAfter = 0});
    EXPECT_EQ(Get10(port, kLibrary).body, "");
    sim.SetFault(kLibrary, Fault{.nCutAfter = 1 << 30});
    EXPECT_EQ(Get10(port, kLibrary).body, full);
    // Other paths are untouched.
    EXPECT_EQ(Get10(port, kDisc).body, sim.Sample()->DiscListCsv());
}

TEST(RdSim, SlowBodyArrivesWholeInSmallPieces) {
    RdSim sim({.strModel = "RD-XS41"});
    sim.Generate({.titles = 20, .discs = 1});
    const std::string full = sim.Sample()->LibraryCsv();
    const int port = sim.Start();
    sim.SetFault(kLibrary, Fault{.nSlowMs = 5, .nSlowChunk = 64});

    httplib::Client cli("127.0.0.1", port);
    std::string body;
    int pieces = 0;
    auto res = cli.Get(kLibrary.c_str(), [&](const char* data, std::size_t n) {
        body.append(data, n);
        ++pieces;
        return true;
    });
    ASSERT_TRUE(res);
    EXPECT_EQ(res->status, 200);
    EXPECT_EQ(body, full);
    EXPECT_GE(pieces, static_cast<int>(full.size() / 64 / 2));
}

TEST(RdSim, StopInterruptsASlowBody) {
    RdSim sim({.strModel = "RD-XS41"});
    sim.Generate({.titles = 200, .discs = 2});
    const std::string full = sim.Sample()->LibraryCsv();
    const int port = sim.Start();
    // Sent whole, this body would take hours.
    sim.SetFault(kLibrary, Fault{.nSlowMs = 1000, .nSlowChunk = 1});

    std::atomic<bool> done{false};
    std::string got;
    std::thread client([&] {
        got = Get10(port, kLibrary).body;
        done = true;
    });
    while (sim.Requests().empty()) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    sim.Stop();
    client.join();
    EXPECT_TRUE(done);
    EXPECT_LT(got.size(), full.size());
    EXPECT_EQ(full.compare(0, got.size(), got), 0);
}

TEST(RdSim, HugeBodyRepeatsTheContent) {
    RdSim sim({.strModel = "RD-XS41"});
    sim.Generate({.titles = 30, .discs = 2});
    const std::string base = sim.Sample()->LibraryCsv();
    const int port = sim.Start();
    sim.SetFault(kLibrary, Fault{.nHugeBytes = 3 << 20});

    Raw r = Get10(port, kLibrary);
    EXPECT_NE(r.head.find("Content-Length: 3145728"), std::string::npos);
    ASSERT_EQ(r.body.size(), 3u << 20);
    EXPECT_EQ(r.body.compare(0, base.size(), base), 0);
    for (std::size_t at : {base.size(), base.size() * 7 + 13, r.body.size() - 1})
        EXPECT_EQ(r.body[at], base[at % base.size()]) << at;

    // Faults combine: huge, then cut.
    sim.SetFault(kLibrary, Fault{.nCutAfter = 100000, .nHugeBytes = 3 << 20});
    EXPECT_EQ(Get10(port, kLibrary).body.size(), 100000u);
}

TEST(RdSim, Http10RequestsGetRawBytesAndAClosedConnection) {
    RdSim sim({.strModel = "RD-XS41"});
    sim.Generate({.titles = 20, .discs = 2});
    const auto sample = sim.Sample();
    const int port = sim.Start();

    // The reply ends with the body: the server closes an HTTP/1.0 connection
    // (Exchange would otherwise wait for its time-out).
    const std::string reply = Exchange(port, "GET " + kLibrary + " HTTP/1.0\r\n\r\n");
    EXPECT_EQ(reply.find("<<timeout>>"), std::string::npos);
    EXPECT_EQ(reply.rfind("HTTP/1.1 200 OK\r\n", 0), 0u);
    ASSERT_GE(reply.size(), sample->LibraryCsv().size());
    EXPECT_EQ(reply.substr(reply.size() - sample->LibraryCsv().size()), sample->LibraryCsv());

    // Never compressed, even when the client would take it.
    Raw r = Get10(port, kLibrary, "Accept-Encoding: gzip, deflate, br\r\n");
    EXPECT_EQ(r.head.find("Content-Encoding"), std::string::npos);
    EXPECT_EQ(r.body, sample->LibraryCsv());
    r = Get10(port, "/library/" + sample->Titles()[1].strPage, "Accept-Encoding: gzip\r\n");
    EXPECT_EQ(r.body, sample->DescriptionPage(1));

    // Methods other than GET are refused and logged.
    const std::string post = Exchange(port, "POST " + kLibrary + " HTTP/1.0\r\nContent-Length: 0\r\n\r\n");
    EXPECT_EQ(post.rfind("HTTP/1.1 405", 0), 0u) << post;
    EXPECT_EQ(sim.Requests().back().strMethod, "POST");
}

TEST(RdSim, EscapedPathsAreAnsweredDecodedAndLoggedAsSent) {
    RdSim sim({.strModel = "RD-XS41"});
    sim.Generate({.titles = 5, .discs = 1});
    const int port = sim.Start();
    EXPECT_EQ(Get10(port, "/library/view%5Flibrary.csv?x=1").body, sim.Sample()->LibraryCsv());
    // A line break or a slash smuggled into a page name is still answered, and seen.
    EXPECT_NE(Get10(port, "/library/..%2Fa%0D%0AX-Injected:%201").head.find(" 404 "), std::string::npos);
    EXPECT_EQ(Paths(sim),
              (std::vector<std::string>{"/library/view%5Flibrary.csv", "/library/..%2Fa%0D%0AX-Injected:%201"}));
}

TEST(RdSim, ListensOnlyOnTheGivenAddress) {
    RdSim sim({.strModel = "RD-XS41"});
    const int port = sim.Start();
    ASSERT_GT(port, 0);
    EXPECT_EQ(sim.Url(), "http://127.0.0.1:" + std::to_string(port) + "/");
    EXPECT_NE(Exchange(port, "GET / HTTP/1.0\r\n\r\n").find(" 404 "), std::string::npos);
    // Another loopback address reaches the same machine but not this server.
    EXPECT_EQ(Exchange(port, "GET / HTTP/1.0\r\n\r\n", "127.0.0.2"), "<<refused>>");

    // A port in use is refused with a reason.
    RdSim second({.nPort = port, .strModel = "RD-XS41"});
    std::string error;
    EXPECT_EQ(second.Start(&error), -1);
    EXPECT_NE(error.find(std::to_string(port)), std::string::npos);
    EXPECT_FALSE(second.IsRunning());

    // Stopped, the port is free again, and the server can start anew.
    sim.Stop();
    EXPECT_EQ(Exchange(port, "GET / HTTP/1.0\r\n\r\n"), "<<refused>>");
    EXPECT_EQ(second.Start(&error), port) << error;
}

TEST(RdSim, ServesAFolderOfRecorderFiles) {
    TempDir dir;
    const lv::sample::SampleLibrary sample({.titles = 6, .discs = 2, .modelClass = 2, .seed = 5});
    ASSERT_TRUE(sample.WriteRecorderFiles(dir.dir()));
    std::filesystem::remove(dir.file(sample.Titles()[3].strPage));
    lv::test::WriteFile(dir.file("secret.txt"), "not a page");

    RdSim sim({.strModel = "RD-XS43"});
    ASSERT_TRUE(sim.LoadDir(dir.dir()));
    EXPECT_EQ(sim.Sample(), nullptr);
    const int port = sim.Start();
    EXPECT_EQ(Get10(port, kLibrary).body, sample.LibraryCsv());
    EXPECT_EQ(Get10(port, kDisc).body, sample.DiscListCsv());
    EXPECT_EQ(Get10(port, "/library/" + sample.Titles()[1].strPage).body, sample.DescriptionPage(1));

    // A title without its page file gets a page built from its library line,
    // with an empty description.
    const Raw built = Get10(port, "/library/" + sample.Titles()[3].strPage);
    EXPECT_NE(built.head.find(" 200 "), std::string::npos);
    EXPECT_NE(built.body.find(lv::sample::EscapeHtml(sample.Titles()[3].strTitle)), std::string::npos);
    EXPECT_NE(built.body.find("READONLY></TEXTAREA>"), std::string::npos);

    // Only the library's titles have pages: no other file of the folder, nothing outside it.
    for (const char* path : {"/library/secret.txt", "/library/Library.csv", "/library/..%2FLibrary.csv",
                             "/library/../library/Disc.csv", "/library/%2e%2e%2fetc%2fpasswd"})
        EXPECT_NE(Get10(port, path).head.find(" 404 "), std::string::npos) << path;

    // Without Disc.csv there is no disc list; without Library.csv no library.
    std::filesystem::remove(dir.file("Disc.csv"));
    ASSERT_TRUE(sim.LoadDir(dir.dir()));
    EXPECT_NE(Get10(port, kDisc).head.find(" 404 "), std::string::npos);
    const lv::Result<> loaded = sim.LoadDir(dir.file("nowhere"));
    EXPECT_FALSE(loaded);
    EXPECT_NE(loaded.Error().find("Library.csv"), std::string::npos);
}

TEST(RdSim, GivenBytesAndPagesOfOnesOwn) {
    // A class 1 line: plain quoting, the page name in field 11.
    RdSim sim({.strModel = "RD-XS31"});
    sim.SetLibrary(
        "\"HDD\",\"a\"b\",\"2005/12/21\",\"x\",\"21:00\",\"081\",\"\",\"\",\"1:00\",\"\",\"p1.htm\",\"\",\"\","
        "\"HDD_01:00\"\r\n",
        std::string("ignored for class 1"));
    const int port = sim.Start();
    EXPECT_NE(Get10(port, kDisc).head.find(" 404 "), std::string::npos);
    EXPECT_NE(Get10(port, "/library/p1.htm").head.find(" 404 "), std::string::npos);

    RdSim two({.strModel = "RD-XS41"});
    two.SetLibrary(
        "\"0001\",\"t\",\"2005/12/21\",\"x\",\"21:00\",\"081\",\"\",\"\",\"1:00\",\"\",\"p1.htm\",\"\",\"\"\r\n",
        std::nullopt);
    two.SetPage("p1.htm", "<html><textarea>lower case</textarea></html>");
    two.SetPage("extra.htm", "<HTML>extra</HTML>");
    const int port2 = two.Start();
    EXPECT_EQ(Get10(port2, "/library/p1.htm").body, "<html><textarea>lower case</textarea></html>");
    EXPECT_EQ(Get10(port2, "/library/extra.htm").body, "<HTML>extra</HTML>");
    EXPECT_NE(Get10(port2, kDisc).head.find(" 404 "), std::string::npos);
    const Raw empty = Get10(port2, "/library/p1.htm", "");
    EXPECT_NE(empty.head.find("text/html; charset=Shift_JIS"), std::string::npos);
}

TEST(RdSimCommandLine, DefaultsFaultsAndMistakes) {
    const lv::Result<CommandLine> defaults = lv::rdsim::ParseCommandLine({});
    ASSERT_TRUE(defaults) << defaults.Error();
    EXPECT_EQ(defaults->options.strBind, "127.0.0.1");
    EXPECT_EQ(defaults->options.nPort, 0);
    EXPECT_EQ(defaults->options.strModel, "RD-XS41");
    EXPECT_EQ(defaults->nGenerate, 1000);
    EXPECT_TRUE(defaults->faults.empty());

    const lv::Result<CommandLine> parsed = lv::rdsim::ParseCommandLine({"--dir",
                                                                        "/x",
                                                                        "--model=RD-Z1",
                                                                        "--port",
                                                                        "8080",
                                                                        "--user",
                                                                        "u",
                                                                        "--password=p",
                                                                        "--busy",
                                                                        "--status",
                                                                        "500@/library/DiscList_.csv",
                                                                        "--cut=10@/library/DiscList_.csv",
                                                                        "--slow",
                                                                        "20",
                                                                        "--huge",
                                                                        "2",
                                                                        "--busy=/library/tt_info.htm",
                                                                        "--chunk",
                                                                        "1",
                                                                        "--long-header=70000@/library/DiscList_.csv",
                                                                        "--quiet"});
    ASSERT_TRUE(parsed) << parsed.Error();
    const CommandLine& cl = *parsed;
    EXPECT_EQ(cl.strDir, "/x");
    EXPECT_EQ(cl.nGenerate, -1);
    EXPECT_EQ(cl.options.strModel, "RD-Z1");
    EXPECT_EQ(cl.options.nPort, 8080);
    EXPECT_EQ(cl.options.strUser, "u");
    EXPECT_EQ(cl.options.strPassword, "p");
    EXPECT_TRUE(cl.bQuiet);
    ASSERT_EQ(cl.faults.size(), 3u);
    const Fault& all = cl.faults.at("");
    EXPECT_TRUE(all.bBusy);
    EXPECT_EQ(all.nSlowMs, 20);
    EXPECT_EQ(all.nHugeBytes, 2 << 20);
    EXPECT_EQ(all.nSlowChunk, 1u);
    const Fault& disc = cl.faults.at("/library/DiscList_.csv");
    EXPECT_EQ(disc.nStatus, 500);
    EXPECT_EQ(disc.nCutAfter, 10);
    EXPECT_EQ(disc.nHeaderBytes, 70000u);
    EXPECT_FALSE(disc.bBusy);
    EXPECT_TRUE(cl.faults.at("/library/tt_info.htm").bBusy);

    const std::vector<std::vector<std::string>> bad = {{"--port", "70000"},
                                                       {"--port"},
                                                       {"--status", "99"},
                                                       {"--status", "abc"},
                                                       {"--cut", "-1"},
                                                       {"--slow", "0"},
                                                       {"--huge", "5@nopath"},
                                                       {"--generate", "10", "--dir", "d"},
                                                       {"--busy=nopath"},
                                                       {"--frobnicate"},
                                                       {"--bind="},
                                                       {"--save", "s", "--dir", "d"},
                                                       {"--generate", "1x"},
                                                       {"--discs", "10000"}};
    for (const auto& args : bad) {
        const lv::Result<CommandLine> wrong = lv::rdsim::ParseCommandLine(args);
        EXPECT_FALSE(wrong) << args[0];
        EXPECT_FALSE(wrong.Error().empty()) << args[0];
    }
}

namespace {

// The built rdsim program, its output read through a pipe.
struct Program : lv::test::ChildProcess {
    explicit Program(const std::vector<std::string>& args, bool interruptible = false)
        : ChildProcess(LV_RDSIM_PATH, args, {}, interruptible) {}
};

}  // namespace

TEST(RdSimProgram, PrintsItsAddressServesAndStopsOnSignals) {
    // SIGTERM, then Ctrl+C. Windows has no SIGTERM, and Wine cannot send a
    // Ctrl+Break: there Ctrl+C alone.
#ifdef _WIN32
    const std::vector<bool> interrupts{true};
#else
    const std::vector<bool> interrupts{false, true};
#endif
    for (bool interrupt : interrupts) {
        Program p({"--generate", "25", "--model", "RD-XD91", "--quiet", "--status", "500@/library/DiscList_.csv"},
                  interrupt);
        ASSERT_TRUE(p.Started());
        const std::string url = p.ReadLine();
        int port = 0;
        ASSERT_EQ(std::sscanf(url.c_str(), "http://127.0.0.1:%d/", &port), 1) << url;
        EXPECT_EQ(url, "http://127.0.0.1:" + std::to_string(port) + "/");
        const lv::sample::SampleLibrary same({.titles = 25, .discs = 1, .modelClass = 3, .seed = 1});
        EXPECT_EQ(Get10(port, kLibrary).body, same.LibraryCsv());
        EXPECT_NE(Get10(port, kDisc).head.find(" 500 "), std::string::npos);
        if (interrupt)
            EXPECT_TRUE(p.Interrupt());
        else
            p.Terminate();
        EXPECT_EQ(p.Wait(), 0) << (interrupt ? "Ctrl+C" : "SIGTERM");
    }
}

TEST(RdSimProgram, UsageHelpAndSave) {
    {
        Program p({"--help"});
        EXPECT_EQ(p.ReadLine().rfind("usage: rdsim", 0), 0u);
        EXPECT_EQ(p.Wait(), 0);
    }
    {
        Program p({"--port", "nope"});
        EXPECT_EQ(p.Wait(), 2);
    }
    {
        Program p({"--dir", "/nonexistent/folder"});
        EXPECT_EQ(p.Wait(), 1);
    }
    TempDir dir;
    const std::string target = dir.file("rec");
    Program p({"--generate", "12", "--discs", "3", "--seed", "4", "--model", "RD-XS41", "--save", target});
    ASSERT_EQ(p.Wait(), 0);
    const lv::sample::SampleLibrary same({.titles = 12, .discs = 3, .modelClass = 2, .seed = 4});
    EXPECT_EQ(lv::test::ReadFile(target + "/Library.csv"), same.LibraryCsv());
    EXPECT_EQ(lv::test::ReadFile(target + "/Disc.csv"), same.DiscListCsv());
    EXPECT_EQ(lv::test::ReadFile(target + "/" + same.Titles()[11].strPage), same.DescriptionPage(11));
}
