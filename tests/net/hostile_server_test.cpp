// Servers that send too much, too slowly or nonsense: the transfer ends with
// a clear text and the cache stays as it was.
#include "core/text/messages.h"
#include "net/transfer_fixture.h"
#include "support/peer_server.h"
#include "support/run_cli.h"
#include "support/temp_dir.h"

using namespace lv::test;
using lv::rdsim::Fault;

namespace {

class HostileServerTest : public TransferTest {
protected:
    // A recorder of `model` whose cache holds what the emulator serves.
    void SetUpWithCache(const std::string& model = "RD-XS41") {
        StartSim(model, 20, 2);
        Profile p;
        p.model = model;
        p.port = sim->Port();
        WriteProfile("RD", p);
        auto t = MakeThread("RD");
        ASSERT_EQ(Run(*t), 0) << t->GetErrorText();
        library = ReadFile(Cache("RD", "Library.csv"));
        disc = ReadFile(Cache("RD", "Disc.csv"));
        ASSERT_FALSE(library.empty());
        sim->ClearRequests();
    }
    void ExpectOldCache() {
        // Compared whole, not printed: a failure could hold megabytes.
        EXPECT_TRUE(ReadFile(Cache("RD", "Library.csv")) == library);
        EXPECT_TRUE(ReadFile(Cache("RD", "Disc.csv")) == disc);
        EXPECT_TRUE(TempFiles("RD").empty());
    }
    static std::string TooLarge(const std::string& size) {
        std::string text = lv::msg::TooLarge();
        return text.replace(text.find("%s"), 2, size);
    }

    std::string library, disc;
};

}  // namespace

TEST_F(HostileServerTest, AListOverTheLimitIsRefusedAndTheCacheStays) {
    SetUpWithCache();
    // Limits in use: a list as large as the limit is taken whole.
    auto exact = MakeThread("RD");
    exact->m_nMaxBodyBytes = library.size() > disc.size() ? library.size() : disc.size();
    EXPECT_EQ(Run(*exact), 0) << exact->GetErrorText();
    EXPECT_EQ(MakeThread("RD")->m_nMaxBodyBytes, 256u << 20);

    for (const char* path : {"/library/view_library.csv", "/library/DiscList_.csv"}) {
        SCOPED_TRACE(path);
        sim->ClearFaults();
        Fault endless;
        endless.nHugeBytes = 4 << 20;
        sim->SetFault(path, endless);
        auto t = MakeThread("RD");
        t->m_nMaxBodyBytes = 64 << 10;
        EXPECT_EQ(Run(*t), 1);
        EXPECT_EQ(t->GetErrorText(), TooLarge("64 KiB"));
        ExpectOldCache();
    }
}

TEST_F(HostileServerTest, ADescriptionPageOverTheLimitIsRefused) {
    SetUpWithCache("RD-XS41");
    // A page whose element never closes and whose text never ends.
    sim->SetPage("endless.htm", "<HTML><TEXTAREA>\r\nmore and more text ");
    Fault endless;
    endless.nHugeBytes = 4 << 20;
    sim->SetFault("/library/endless.htm", endless);
    auto t = MakeThread<CDownloadTitleThread>("RD");
    EXPECT_EQ(t->m_nMaxBodyBytes, 16u << 20);
    t->m_nMaxBodyBytes = 100 << 10;
    auto request = std::make_unique<CDownloadTitle>();
    request->m_strPage = "endless.htm";
    request->m_strTextFile = "e.txt";
    t->m_aTitles.push_back(std::move(request));
    EXPECT_EQ(Run(*t), 1);
    EXPECT_EQ(t->GetErrorText(), TooLarge("100 KiB"));
}

TEST_F(HostileServerTest, ATrickleIsGivenUpAsAStall) {
    SetUpWithCache();
    // Ten bytes a second keep the connection alive but move nothing worth waiting for.
    Fault trickle;
    trickle.nSlowMs = 100;
    trickle.nSlowChunk = 1;
    trickle.nCutAfter = 40;  // ends a transfer that was not given up
    sim->SetFault("/library/view_library.csv", trickle);
    auto t = MakeThread("RD");
    t->m_nStallSeconds = 1;
    EXPECT_EQ(Run(*t), 1);
    EXPECT_EQ(t->GetErrorText().rfind(lv::msg::ErrTimedOut(), 0), 0u) << t->GetErrorText();
    ExpectOldCache();
}

TEST_F(HostileServerTest, AGiantHeaderLineIsAMalformedAnswer) {
    SetUpWithCache();
    Fault header;
    header.nHeaderBytes = 10'000'000;
    sim->SetFault("/library/view_library.csv", header);
    auto t = MakeThread("RD");
#ifdef _WIN32
    // WinINet keeps a bounded part of the line itself and reads on; a client
    // that refuses the answer instead says why.
    if (Run(*t) == 0) {
        EXPECT_EQ(t->GetBytesReceived(), static_cast<long long>(library.size() + disc.size()));
        ExpectOldCache();  // the same lists again
    } else {
        EXPECT_EQ(t->GetErrorText().rfind(lv::msg::ErrBadResponse(), 0), 0u) << t->GetErrorText();
        ExpectOldCache();
    }
#else
    EXPECT_EQ(Run(*t), 1);
    EXPECT_EQ(t->GetErrorText(), lv::msg::ErrBadResponse());
    ExpectOldCache();
#endif
    // A long header that is still an answer goes through.
    header.nHeaderBytes = 2000;
    sim->SetFault("/library/view_library.csv", header);
    auto ok = MakeThread("RD");
    EXPECT_EQ(Run(*ok), 0) << ok->GetErrorText();
}

// A refused connection reads in Japanese alone; the client's own text is the
// detail, which the tool's -v adds.
TEST_F(HostileServerTest, ARefusedConnectionIsJapaneseAndItsDetailIsKeptApart) {
    Profile p;
    p.port = FreeLoopbackPort();
    WriteProfile("Closed", p);
    // A named proxy that refuses is told apart from the recorder.
    auto proxied = MakeThread("Closed", NamedProxy(FreeLoopbackPort()));
    EXPECT_EQ(Run(*proxied), 1);
    EXPECT_EQ(proxied->GetErrorText(), lv::msg::ErrProxyRefused());

    auto quiet = RunCli({"--home", home.dir(), "fetch", "Closed"});
    EXPECT_EQ(Lines(quiet.err).back(), "サーバーに接続できません。") << quiet.err;
    auto verbose = RunCli({"-v", "--home", home.dir(), "fetch", "Closed"});
    EXPECT_NE(verbose.err.find("サーバーに接続できません。\n"), std::string::npos) << verbose.err;
    EXPECT_NE(verbose.err.find(std::to_string(p.port)), std::string::npos) << verbose.err;
}

// A refused login explains itself, then shows its status line; -v adds the headers.
TEST_F(HostileServerTest, ARefusedLoginExplainsThenShowsTheStatusLine) {
    lv::rdsim::Options o;
    o.strUser = "user";
    o.strPassword = "right";
    StartSim("RD-Z1", 5, 2, o);
    auto quiet = RunCli({"--home", home.dir(), "fetch", "RD"});
    EXPECT_EQ(quiet.exitCode, 1);
    const std::vector<std::string> lines = Lines(quiet.err);
    ASSERT_GE(lines.size(), 2u) << quiet.err;
    EXPECT_EQ(lines[lines.size() - 2],
              "認証に失敗しました。RD本体のｾｷｭﾘﾃｨ設定（ﾕｰｻﾞｰ名とﾊﾟｽﾜｰﾄﾞ）を確認してください。");
    EXPECT_EQ(lines.back(), "HTTP/1.1 401 Unauthorized");
    auto verbose = RunCli({"-v", "--home", home.dir(), "fetch", "RD"});
    EXPECT_NE(verbose.err.find("WWW-Authenticate: "), std::string::npos) << verbose.err;
}
