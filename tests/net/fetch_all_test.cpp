// Every recorder's library in turn, driven as the window and the command-line
// tool drive it: each transfer run to its end, then handed back.
#include <functional>
#include <map>

#include "core/library/title_doc.h"
#include "core/net/fetch_all.h"
#include "core/text/messages.h"
#include "net/transfer_fixture.h"
#include "support/emulator.h"
#include "support/sjis.h"

using namespace lv::test;

namespace {

// The connecting text of each transfer as the routine prefixes it; read after
// the transfer has been joined.
class PrefixedTexts : public CTransferListener {
public:
    void OnTransferStatus(int status) override {
        if (status == TRANSFER_CONNECTING) texts.push_back(all->StatusText(TransferStatusText(status)));
    }
    const CFetchAllLibraries* all = nullptr;
    std::vector<std::string> texts;
};

std::string WithoutLastLine(const std::string& csv) { return csv.substr(0, csv.rfind("\r\n", csv.size() - 3) + 2); }

class FetchAllTest : public TransferTest {
protected:
    void Serve(const std::string& name, int titles) {
        auto s = StartEmulator({.strModel = "RD-XS41"});
        ASSERT_TRUE(s);
        ServeSample(*s, titles);
        Profile p;
        p.port = s->Port();
        WriteProfile(name, p);
        std::filesystem::create_directories(home.dir() + name);
        sims[name] = std::move(s);
    }
    std::string Served(const std::string& name) { return sims[name]->Sample()->LibraryCsv(); }
    void Open(const std::string& names) {
        WriteFile(home.file("Doc.lbv"), names);
        ASSERT_TRUE(doc.OnOpenDocument(home.file("Doc.lbv")));
    }
    // The names in the order they were handed out.
    std::vector<std::string> RunAll(CFetchAllLibraries& all) {
        prefixed.all = &all;
        std::vector<std::string> order;
        while (auto t = all.Next(home.dir(), Direct(), &prefixed)) {
            order.push_back(t->m_strRecorderName);
            Run(*t);
            all.Finished(*t);
        }
        return order;
    }

    std::map<std::string, std::unique_ptr<lv::rdsim::RdSim>> sims;
    CRDTitleDoc doc{home.dir()};
    PrefixedTexts prefixed;
};

}  // namespace

TEST_F(FetchAllTest, EachRecorderOnceInDocumentOrderNumberedWithTheCountsSummed) {
    for (const char* name : {"A", "B", "C"}) Serve(name, 5);
    // A: its last title new and a copy of its first one gone; C: its last title new.
    const std::string a = Served("A");
    WriteFile(Cache("A", "Library.csv"), WithoutLastLine(a) + a.substr(0, a.find("\r\n") + 2));
    WriteFile(Cache("C", "Library.csv"), WithoutLastLine(Served("C")));
    Open("A\r\nB\r\nA\r\nC\r\n");

    CFetchAllLibraries all(doc);
    EXPECT_EQ(all.GetCount(), 3);
    EXPECT_EQ(RunAll(all), (std::vector<std::string>{"A", "B", "C"}));
    EXPECT_EQ(prefixed.texts, (std::vector<std::string>{SJ("1/3 A RD本体に接続中..."), SJ("2/3 B RD本体に接続中..."),
                                                        SJ("3/3 C RD本体に接続中...")}));
    EXPECT_EQ(all.StatusText(""), "");
    for (const char* name : {"A", "B", "C"}) EXPECT_EQ(ReadFile(Cache(name, "Library.csv")), Served(name)) << name;
    EXPECT_TRUE(all.AnySucceeded());
    EXPECT_EQ(all.GetNewCount(), 2);
    EXPECT_EQ(all.GetRemovedCount(), 1);
    EXPECT_TRUE(all.Failures().empty());
    EXPECT_EQ(all.SummaryText(), "");
}

// The summary names each failed recorder with its error, less the line breaks
// it ends with; a name whose profile cannot be loaded fails without a text.
TEST_F(FetchAllTest, AFailedRecorderKeepsItsCacheTheOthersGoOnAndTheSummaryListsIt) {
    lv::rdsim::Fault busy;
    busy.bBusy = true;
    lv::rdsim::Fault broken;
    broken.nStatus = 500;
    const struct {
        const char* why;
        std::string name;  // of the second recorder, the one that fails
        std::function<void()> fail;
        std::string error;  // how the summary's text for it begins
    } cases[] = {
        {"busy", "B", [&] { sims["B"]->SetFault(busy); }, lv::msg::LibraryFailed()},
        {"500", "B", [&] { sims["B"]->SetFault(broken); }, "HTTP/1.1 500"},
        {"unreachable", "B", [this] { sims["B"]->Stop(); }, SJ("サーバーに接続できません。")},
        {"refused name", "bad name",
         [this] { doc.GetRecorders()[1] = std::make_unique<CRDRecorderLibrary>("bad name"); }, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        for (const char* name : {"A", "B", "C"}) Serve(name, 4);
        const std::string old = WithoutLastLine(Served("B"));
        WriteFile(Cache("B", "Library.csv"), old);
        Open("A\r\nB\r\nC\r\n");
        c.fail();

        CFetchAllLibraries all(doc);
        RunAll(all);
        EXPECT_EQ(ReadFile(Cache("A", "Library.csv")), Served("A"));
        EXPECT_EQ(ReadFile(Cache("B", "Library.csv")), old);
        EXPECT_EQ(ReadFile(Cache("C", "Library.csv")), Served("C"));
        EXPECT_TRUE(all.AnySucceeded());
        ASSERT_EQ(all.Failures().size(), 1u);
        EXPECT_EQ(all.Failures()[0].strRecorder, c.name);
        const std::string head = lv::msg::FetchAllFailed() + "\n\n" + c.name + (c.error.empty() ? "" : "\n" + c.error);
        const std::string summary = all.SummaryText();
        EXPECT_EQ(summary.substr(0, head.size()), head) << summary;
        EXPECT_TRUE(!summary.empty() && summary.back() != '\n' && summary.back() != '\r') << summary;
    }
}

// Asked while a recorder's transfer runs: that one ends as it would (aborting
// it is the caller's), no later one is asked.
TEST_F(FetchAllTest, AStopLeavesTheLaterRecordersUnasked) {
    for (const char* name : {"A", "B", "C"}) Serve(name, 4);
    Open("A\r\nB\r\nC\r\n");
    CFetchAllLibraries all(doc);
    auto t = all.Next(home.dir(), Direct(), &log);
    ASSERT_TRUE(t);
    t->Start();
    all.Stop();
    t->Wait();
    all.Finished(*t);
    EXPECT_FALSE(all.Next(home.dir(), Direct(), &log));
    EXPECT_TRUE(sims["B"]->Requests().empty() && sims["C"]->Requests().empty());
    EXPECT_TRUE(all.AnySucceeded());
    EXPECT_TRUE(all.Failures().empty());

    CFetchAllLibraries stopped(doc);
    stopped.Stop();
    EXPECT_FALSE(stopped.Next(home.dir(), Direct(), &log));
}
