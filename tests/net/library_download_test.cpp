#include <algorithm>
#include <chrono>
#include <thread>

#include "core/library/new_titles.h"
#include "core/platform/file.h"
#include "core/text/messages.h"
#include "net/transfer_fixture.h"
#include "support/emulator.h"
#include "support/peer_server.h"
#include "support/sjis.h"
#include "support/temp_dir.h"

using namespace lv::test;
using lv::rdsim::Fault;

namespace {
const std::vector<int> kTwoBodies = {TRANSFER_CONNECTING, TRANSFER_RECEIVING, TRANSFER_RECEIVED,
                                     TRANSFER_RECEIVING,  TRANSFER_RECEIVED,  TRANSFER_FINISHED};
}

TEST_F(TransferTest, LibraryDownloadStoresBothListsAsServedForEveryModelClass) {
    // Class 1 derives its disc list; the classes either side of it ask for it.
    for (const char* model : {"RD-XS41", "unknown", "RD-XS40"}) {
        SCOPED_TRACE(model);
        StartSim(model, 120, 4);
        auto t = MakeThread("RD");
        ASSERT_EQ(Run(*t), 0) << t->GetErrorText();
        auto sample = sim->Sample();
        EXPECT_EQ(ReadFile(Cache("RD", "Library.csv")), sample->LibraryCsv());
        // A class 1 recorder has no disc list: it is derived from the library list.
        EXPECT_EQ(ReadFile(Cache("RD", "Disc.csv")), sample->DiscCacheCsv());
        EXPECT_TRUE(TempFiles("RD").empty());
        // The window's progress counts the bodies of both lists, one after the other.
        const bool derived = std::string(model) == "RD-XS40";
        EXPECT_EQ(t->GetBytesReceived(),
                  static_cast<long long>(sample->LibraryCsv().size() + (derived ? 0 : sample->DiscListCsv().size())));
        std::vector<std::string> paths;
        for (const auto& r : sim->Requests()) paths.push_back(r.strPath);
        if (derived) {
            EXPECT_EQ(paths, std::vector<std::string>{"/library/view_library.csv"});
            EXPECT_EQ(log.Statuses(), (std::vector<int>{1, 2, 3, 4}));
        } else {
            EXPECT_EQ(paths, (std::vector<std::string>{"/library/view_library.csv", "/library/DiscList_.csv"}));
            EXPECT_EQ(log.Statuses(), kTwoBodies);
        }
        for (const auto& r : sim->Requests()) EXPECT_EQ(r.strVersion, "HTTP/1.0");
        sim->Stop();
        log.Clear();
    }
}

TEST_F(TransferTest, FailuresLeaveThePreviousCacheAndNoTemporaryFile) {
    StartSim("RD-XS41", 50);
    std::filesystem::create_directories(home.dir() + "RD");
    WriteFile(Cache("RD", "Library.csv"), "old library");
    WriteFile(Cache("RD", "Disc.csv"), "old discs");
    auto expectOldCache = [&](const std::string& why) {
        EXPECT_EQ(ReadFile(Cache("RD", "Library.csv")), "old library") << why;
        EXPECT_EQ(ReadFile(Cache("RD", "Disc.csv")), "old discs") << why;
        EXPECT_TRUE(TempFiles("RD").empty()) << why;
    };

    // The recorder is busy: a page instead of a list.
    Fault busy;
    busy.bBusy = true;
    sim->SetFault(busy);
    auto t1 = MakeThread("RD");
    EXPECT_EQ(Run(*t1), 1);
    EXPECT_EQ(t1->GetErrorText(), lv::msg::LibraryFailed());
    expectOldCache("busy");

    // The library arrives, the disc list fails.
    sim->ClearFaults();
    Fault broken;
    broken.nStatus = 500;
    sim->SetFault("/library/DiscList_.csv", broken);
    auto t2 = MakeThread("RD");
    EXPECT_EQ(Run(*t2), 1);
    EXPECT_EQ(t2->GetErrorText().rfind("HTTP/1.", 0), 0u) << t2->GetErrorText();
    EXPECT_NE(t2->GetErrorText().find(" 500 "), std::string::npos);
    expectOldCache("disc list 500");

    // A body cut short by the server is complete as far as the client can tell,
    // unless the client reports the cut: either way nothing half-written stays.
    sim->ClearFaults();
    Fault cut;
    cut.nCutAfter = 10;
    cut.nHugeBytes = 1 << 20;
    sim->SetFault("/library/view_library.csv", cut);
    auto t3 = MakeThread("RD");
    if (Run(*t3) != 0) expectOldCache("cut body");
    EXPECT_TRUE(TempFiles("RD").empty());
}

TEST_F(TransferTest, ARefusedLoginShowsItsStatusLineAndKeepsTheHeaders) {
    lv::rdsim::Options o;
    o.strUser = "user";
    o.strPassword = "right";
    StartSim("RD-Z1", 20, 2, o);
    auto t = MakeThread("RD");
    EXPECT_EQ(Run(*t), 1);
    std::string text = t->GetErrorText();
    EXPECT_EQ(text.rfind(lv::msg::ErrAuthFailed() + "\nHTTP/1.", 0), 0u) << text;
    EXPECT_NE(text.find("401"), std::string::npos);
    EXPECT_NE(t->GetErrorDetail().find("\r\n"), std::string::npos);
    EXPECT_LE(text.size(), 255u);
    EXPECT_EQ(log.Statuses(), (std::vector<int>{TRANSFER_CONNECTING, TRANSFER_FINISHED}));

    // Credentials are sent only when security is on, whatever the profile
    // holds. Tried first: WinINet offers credentials that once worked for a
    // server again, for as long as the program runs.
    Profile p = profile;
    p.user = "user";
    p.password = "right";
    WriteProfile("Off", p);
    auto off = MakeThread("Off");
    EXPECT_EQ(Run(*off), 1);

    p.auth = 1;
    WriteProfile("Right", p);
    auto right = MakeThread("Right");
    EXPECT_EQ(Run(*right), 0) << right->GetErrorText();
    EXPECT_EQ(ReadFile(Cache("Right", "Library.csv")), sim->Sample()->LibraryCsv());
    sim->Stop();

    // A header block longer than the error text can hold stays whole in the detail.
    o.strRealm = std::string(400, 'r');
    StartSim("RD-Z1", 20, 2, o);
    auto longer = MakeThread("RD");
    EXPECT_EQ(Run(*longer), 1);
    EXPECT_LE(longer->GetErrorText().size(), 255u);
    EXPECT_NE(longer->GetErrorDetail().find(o.strRealm), std::string::npos) << longer->GetErrorDetail();
}

TEST_F(TransferTest, EmptyBodyIsAnEmptyFileAndUnreachableRecordersFail) {
    StartSim("RD-XS41", 5);
    sim->SetLibrary("", std::string("\"h\"\r\n"));
    auto t = MakeThread("RD");
    ASSERT_EQ(Run(*t), 0) << t->GetErrorText();
    EXPECT_EQ(ReadFile(Cache("RD", "Library.csv")), "");
    EXPECT_EQ(ReadFile(Cache("RD", "Disc.csv")), "\"h\"\r\n");
    sim->Stop();

    // Nobody listens any more: no cache change, and a Japanese text; the
    // client's own, with the address, is the detail.
    auto gone = MakeThread("RD");
    EXPECT_EQ(Run(*gone), 1);
    EXPECT_EQ(gone->GetErrorText(), SJ("サーバーに接続できません。"));
    EXPECT_NE(gone->GetErrorDetail().find(std::to_string(profile.port)), std::string::npos) << gone->GetErrorDetail();
    EXPECT_EQ(ReadFile(Cache("RD", "Library.csv")), "");

    // A profile that cannot be loaded fails without a text.
    auto refused = MakeThread("bad name");
    EXPECT_EQ(Run(*refused), 1);
    EXPECT_EQ(refused->GetErrorText(), "");

    // A hand-edited host cannot smuggle a path or a user into the address.
    Profile p = profile;
    p.host = "127.0.0.1/evil@";
    WriteProfile("Odd", p);
    auto odd = MakeThread("Odd");
    EXPECT_EQ(Run(*odd), 1);
    EXPECT_FALSE(odd->GetErrorText().empty());
}

TEST_F(TransferTest, StopIsFeltPromptlyDuringASlowBody) {
    StartSim("RD-XS41", 200);
    Fault slow;
    slow.nSlowMs = 200;
    slow.nSlowChunk = 64;
    sim->SetFault("/library/view_library.csv", slow);
    std::filesystem::create_directories(home.dir() + "RD");
    WriteFile(Cache("RD", "Library.csv"), "old");
    auto t = MakeThread("RD");
    t->Start();
    std::this_thread::sleep_for(std::chrono::milliseconds(700));
    auto before = std::chrono::steady_clock::now();
    t->Abort();
    t->Wait();
    auto took = std::chrono::steady_clock::now() - before;
    EXPECT_EQ(t->GetExitCode(), 1);
    EXPECT_EQ(t->GetErrorText(), lv::msg::Interrupted());
    EXPECT_LT(took, std::chrono::seconds(3));
    EXPECT_EQ(ReadFile(Cache("RD", "Library.csv")), "old");
    EXPECT_TRUE(TempFiles("RD").empty());
    auto statuses = log.Statuses();
    ASSERT_FALSE(statuses.empty());
    EXPECT_EQ(statuses.back(), TRANSFER_FINISHED);
}

TEST_F(TransferTest, ProxySettingsAreReadWhenTheTransferStarts) {
    StartSim("RD-XS41", 10);
    // A named proxy where none listens: the transfer fails, which shows the setting was used.
    const PROXY_SETTINGS named = NamedProxy(FreeLoopbackPort());
    auto t = MakeThread("RD", named);
    EXPECT_EQ(Run(*t), 1);
    EXPECT_TRUE(sim->Requests().empty());
    // Use-the-system-settings with the proxy flag set: the flag is not consulted.
    PROXY_SETTINGS system = named;
    system.bUseIE = 1;
    auto s = MakeThread("RD", system);
    EXPECT_EQ(Run(*s), 0) << s->GetErrorText();

    // The emulator as the named proxy: it is asked for the recorder's whole
    // address, whose name only the proxy would resolve.
    Profile far = profile;
    far.host = "recorder.invalid";
    far.port = 8080;
    WriteProfile("Far", far);
    sim->ClearRequests();
    auto viaProxy = MakeThread("Far", NamedProxy(sim->Port()));
    EXPECT_EQ(Run(*viaProxy), 1);
    ASSERT_FALSE(sim->Requests().empty());
    EXPECT_EQ(sim->Requests().front().strTarget, "http://recorder.invalid:8080/library/view_library.csv");
}

namespace {
// Gives a test the error text setter that failures use.
class ErrorTextProbe : public CHttpThread {
public:
    using CHttpThread::CHttpThread;
    using CHttpThread::SetErrorText;
};
}  // namespace

TEST(TransferErrorText, IsCutAt255BytesWithoutSplittingACharacter) {
    ErrorTextProbe probe("/nonexistent/", {}, nullptr);
    probe.SetErrorText(std::string(300, 'x'));
    EXPECT_EQ(probe.GetErrorText(), std::string(255, 'x'));
    // 254 single bytes and then a double-byte character: its lead byte would be the 255th.
    probe.SetErrorText(std::string(254, 'x') + "\x82\xA0" + "tail");
    EXPECT_EQ(probe.GetErrorText(), std::string(254, 'x'));
    probe.SetErrorText(std::string(253, 'x') + "\x82\xA0" + "tail");
    EXPECT_EQ(probe.GetErrorText(), std::string(253, 'x') + "\x82\xA0");
    // The last text written wins; nothing is appended.
    probe.Abort();
    probe.SetErrorText("network");
    EXPECT_EQ(probe.GetErrorText(), "network");
}

TEST_F(TransferTest, AStalledConnectionIsGivenUpButASlowOneIsNot) {
    StartSim("RD-XS41", 20);
    const std::string library = sim->Sample()->LibraryCsv();

    // A body that keeps coming, though it takes longer than the stall time as a whole.
    Fault trickle;
    trickle.nSlowMs = 150;
    trickle.nSlowChunk = library.size() / 10 + 1;
    sim->SetFault("/library/view_library.csv", trickle);
    auto slow = MakeThread("RD");
    slow->m_nStallSeconds = 1;
    EXPECT_EQ(Run(*slow), 0) << slow->GetErrorText();
    EXPECT_EQ(ReadFile(Cache("RD", "Library.csv")), library);

    // A body whose first chunk would come after two minutes.
    Fault stalled;
    stalled.nSlowMs = 120000;
    sim->SetFault("/library/view_library.csv", stalled);
    auto t = MakeThread("RD");
    t->m_nStallSeconds = 1;
    EXPECT_EQ(Run(*t), 1);
    EXPECT_EQ(t->GetErrorText().rfind(lv::msg::ErrTimedOut(), 0), 0u) << t->GetErrorText();
    EXPECT_EQ(ReadFile(Cache("RD", "Library.csv")), library);
    EXPECT_TRUE(TempFiles("RD").empty());
}

TEST(DerivedDiscList, OneLinePerDistinctDiscKeyCountedInWholeCharacters) {
    TempDir dir;
    CDownloadLibraryThread thread(dir.dir(), {}, nullptr);
    const std::string header = lv::msg::DerivedDiscHeader() + "\r\n";
    auto derive = [&](const std::string& library) {
        WriteFile(dir.file("L"), library);
        EXPECT_TRUE(thread.BuildDiscList(dir.file("L"), dir.file("D"))) << thread.GetErrorText();
        return ReadFile(dir.file("D"));
    };

    // Keys in order of first appearance, each once; the hard disk gets no line.
    EXPECT_EQ(derive("\"a\",\"x\",\"000301:00\"\r\n"
                     "\"b\",\"HDD_09:00\"\r\n"
                     "\"c\",\"y\",\"000101:30\"\n"
                     "\"d\",\"x\",\"000301:00\"\r\n"
                     "\"e\",\"y\",\"000101:30\"\r\n"),
              header + "\"0003\",\"\",\"01:00\"\r\n" + "\"0001\",\"\",\"01:30\"\r\n");
    EXPECT_EQ(derive("\"x\",\"HDD_12:00\"\r\n\"y\",\"HDD_03:00\"\r\n"), header);
    EXPECT_EQ(derive(""), header);

    // A line shorter than eleven characters is its own key; a key shorter
    // than five characters gets the inserted columns at its end.
    EXPECT_EQ(derive("0123456789\r\nab\r\n"), header + "01234\",\"\",\"56789\r\n" + "ab\",\"\",\"\r\n");

    // A double-byte character straddling the eleventh byte from the end is
    // taken whole, and the fifth character is counted the same way.
    const std::string a = "\x82\xA0";  // one character, two bytes
    EXPECT_EQ(derive("\"x\",\"" + a + "123456789\"\r\n"), header + a + "1234\",\"\",\"56789\"\r\n");
    EXPECT_EQ(derive("x" + a + a + "12345678\r\n"), header + "x" + a + a + "12\",\"\",\"345678\r\n");
    // Characters 2 to 4 are a double-byte character, "H" and "D": not the hard disk.
    EXPECT_EQ(derive("q" + a + "HDD123456\r\n"), header + "q" + a + "HDD\",\"\",\"123456\r\n");
    // A lead byte that ends the line is a character of its own; a long line
    // keeps only its last eleven characters, so its start tells no discs apart.
    EXPECT_EQ(derive("ab0007xx:yy\x82\r\n\"" + std::string(30, 't') + "\",\"000901:00\"\r\n\"" + a + a +
                     "\",\"000901:00\"\r\nb0007xx:yy\x82\r\n"),
              header + "b0007\",\"\",\"xx:yy\x82\r\n" + "\"0009\",\"\",\"01:00\"\r\n");
}

TEST_F(TransferTest, ACacheFileThatCannotBeReplacedFailsWithTheFileNamed) {
    StartSim("RD-XS41", 30);
    std::filesystem::create_directories(home.dir() + "RD");

    // Library.csv is a folder with something in it: nothing can take its place.
    std::filesystem::create_directories(home.dir() + "RD/Library.csv");
    WriteFile(Cache("RD", "Library.csv/keep"), "x");
    WriteFile(Cache("RD", "Disc.csv"), "old discs");
    WriteFile(Cache("RD", "NewTitles.csv"), "old news");
    auto t1 = MakeThread("RD");
    EXPECT_EQ(Run(*t1), 1);
    EXPECT_NE(t1->GetErrorText().find("Library.csv"), std::string::npos) << t1->GetErrorText();
    EXPECT_EQ(ReadFile(Cache("RD", "Disc.csv")), "old discs");
    EXPECT_EQ(ReadFile(Cache("RD", "NewTitles.csv")), "old news");  // they belong to the library still there
    EXPECT_TRUE(TempFiles("RD").empty());
    std::filesystem::remove_all(home.dir() + "RD/Library.csv");

    // The disc cache cannot be replaced: the new library list stays beside it.
    std::filesystem::remove(Cache("RD", "Disc.csv"));
    std::filesystem::create_directories(home.dir() + "RD/Disc.csv");
    WriteFile(Cache("RD", "Disc.csv/keep"), "x");
    auto t2 = MakeThread("RD");
    EXPECT_EQ(Run(*t2), 1);
    EXPECT_NE(t2->GetErrorText().find("Disc.csv"), std::string::npos) << t2->GetErrorText();
    EXPECT_EQ(ReadFile(Cache("RD", "Library.csv")), sim->Sample()->LibraryCsv());
    EXPECT_EQ(ReadFile(Cache("RD", "Disc.csv/keep")), "x");
    EXPECT_TRUE(TempFiles("RD").empty());
    EXPECT_EQ(log.Statuses().back(), TRANSFER_FINISHED);
}

TEST_F(TransferTest, ASuccessfulFetchRemovesWhatKilledTransfersLeft) {
    StartSim("RD-XS41", 10, 2);
    Profile p;
    p.model = "RD-XS41";
    p.port = sim->Port();
    WriteProfile("RD", p);
    std::filesystem::create_directories(home.dir() + "RD");
    // Two leftovers of killed transfers, and files that only look alike.
    const auto old = std::filesystem::file_time_type::clock::now() - std::chrono::hours(1);
    for (const char* name : {"~RDab12cd", "~RDzz0099", "~RDshort", "~RDABCDEF", "~RDab12cd.txt", "x~RDab12cd"}) {
        WriteFile(Cache("RD", name), "partial");
        std::filesystem::last_write_time(Cache("RD", name), old);
    }
    std::filesystem::create_directory(Cache("RD", "~RDfolder"));

    // A failed fetch leaves them: only a whole new cache makes them worthless.
    sim->SetFault({.nStatus = 500});
    auto failed = MakeThread("RD");
    EXPECT_EQ(Run(*failed), 1);
    EXPECT_EQ(TempFiles("RD").size(), 6u);

    sim->ClearFaults();
    auto t = MakeThread("RD");
    ASSERT_EQ(Run(*t), 0) << t->GetErrorText();
    std::vector<std::string> left;
    for (const std::string& path : TempFiles("RD")) left.push_back(std::filesystem::path(path).filename().string());
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{"~RDABCDEF", "~RDab12cd.txt", "~RDfolder", "~RDshort"}));
    EXPECT_TRUE(std::filesystem::exists(Cache("RD", "x~RDab12cd")));
}

namespace {
// Stops the transfer once its last body has arrived: the comparison with the
// old library and the derived disc list still lie ahead.
struct StopAfterBodies : CTransferListener {
    explicit StopAfterBodies(int bodies) : left(bodies) {}
    void OnTransferStatus(int status) override {
        if (status == TRANSFER_RECEIVED && --left == 0) thread->Abort();
    }
    int left;
    CHttpThread* thread = nullptr;
};
}  // namespace

TEST_F(TransferTest, AStopAfterTheBodiesArrivedKeepsTheWholeOldCache) {
    // Class 1 derives its disc list from the library; the others fetch it.
    for (const char* model : {"RD-XS40", "RD-XS41"}) {
        SCOPED_TRACE(model);
        StartSim(model, 300, 3);
        ASSERT_EQ(Run(*MakeThread("RD")), 0);
        WriteFile(Cache("RD", "NewTitles.csv"), "old news");
        const std::string oldLibrary = ReadFile(Cache("RD", "Library.csv"));
        const std::string oldDiscs = ReadFile(Cache("RD", "Disc.csv"));

        ServeSample(*sim, 20000, 40);
        StopAfterBodies stopper(sim->ModelClass() == 1 ? 1 : 2);
        CDownloadLibraryThread t(home.dir(), Direct(), &stopper);
        stopper.thread = &t;
        t.m_strRecorderName = "RD";
        EXPECT_EQ(Run(t), 1);
        EXPECT_EQ(t.GetErrorText(), lv::msg::Interrupted());
        EXPECT_TRUE(ReadFile(Cache("RD", "Library.csv")) == oldLibrary);
        EXPECT_TRUE(ReadFile(Cache("RD", "Disc.csv")) == oldDiscs);
        EXPECT_EQ(ReadFile(Cache("RD", "NewTitles.csv")), "old news");
        EXPECT_TRUE(TempFiles("RD").empty());
        sim->Stop();
    }
}

TEST_F(TransferTest, NewsThatCannotBeSavedAreReportedBesideTheNewLibrary) {
    StartSim("RD-XS41", 40, 3);
    auto first = MakeThread("RD");
    ASSERT_EQ(Run(*first), 0) << first->GetErrorText();
    EXPECT_EQ(first->GetNewsText(), NewsStatusText(0, 0));
#ifndef _WIN32
    // Only its owner may read what the recorder holds (Windows has no modes).
    EXPECT_EQ(lv::platform::Permissions(Cache("RD", "NewTitles.csv")), 0600u);
#endif

    // A folder in the news file's place: the library is still replaced, and
    // the result says the news are missing instead of counting them.
    std::filesystem::remove(Cache("RD", "NewTitles.csv"));
    std::filesystem::create_directories(Cache("RD", "NewTitles.csv/keep"));
    ServeSample(*sim, 50, 3);
    auto t = MakeThread("RD");
    ASSERT_EQ(Run(*t), 0) << t->GetErrorText();
    EXPECT_TRUE(ReadFile(Cache("RD", "Library.csv")) == sim->Sample()->LibraryCsv());
    const std::string text = t->GetNewsText();
    EXPECT_EQ(text.rfind(lv::msg::NewsNotSaved(), 0), 0u) << text;
    EXPECT_NE(text.find("NewTitles.csv"), std::string::npos) << text;
    EXPECT_TRUE(TempFiles("RD").empty());
}
