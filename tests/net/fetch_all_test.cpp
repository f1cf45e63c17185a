// Every recorder's library in turn, driven as the window and the command-line
// tool drive it: each transfer run to its end, then handed back.
#include <functional>
#include <map>

#include "core/library/new_titles.h"
#include "core/library/title_doc.h"
#include "core/net/fetch_all.h"
#include "core/text/messages.h"
#include "net/transfer_fixture.h"
#include "support/emulator.h"
#include "support/sjis.h"

using namespace lv::test;

namespace {

std::string WithoutLastLine(const std::string& csv) { return csv.substr(0, csv.rfind("\r\n", csv.size() - 3) + 2); }

class FetchAllTest : public TransferTest {
protected:
    // Recorders A, B and C, each on an emulator of its own, in a document listing `names`.
    void Serve(const std::string& names) {
        for (const char* name : {"A", "B", "C"}) {
            auto s = StartEmulator({.strModel = "RD-XS41"});
            ASSERT_TRUE(s);
            ServeSample(*s, 5);
            profile.port = s->Port();
            WriteProfile(name, profile);
            std::filesystem::remove_all(home.dir() + name);  // no cache left by an earlier case
            std::filesystem::create_directories(home.dir() + name);
            sims[name] = std::move(s);
        }
        WriteFile(home.file("Doc.lbv"), names);
        ASSERT_TRUE(doc.OnOpenDocument(home.file("Doc.lbv")));
    }
    std::string Served(const std::string& name) { return sims[name]->Sample()->LibraryCsv(); }
    // Each transfer's connecting text as the routine prefixes it, in the order run.
    std::vector<std::string> RunAll(CFetchAllLibraries& all) {
        std::vector<std::string> texts;
        while (auto t = all.Next(home.dir(), Direct(), &log)) {
            texts.push_back(all.StatusText(TransferStatusText(TRANSFER_CONNECTING)));
            Run(*t);
            all.Finished(*t);
        }
        return texts;
    }

    std::map<std::string, std::unique_ptr<lv::rdsim::RdSim>> sims;
    CRDTitleDoc doc{home.dir()};
};

}  // namespace

TEST_F(FetchAllTest, EachRecorderOnceInDocumentOrderNumberedWithTheCountsSummed) {
    Serve("A\r\nB\r\nA\r\nC\r\n");
    // A: its last title new and a copy of its first one gone; C: its last title new.
    const std::string a = Served("A");
    WriteFile(Cache("A", "Library.csv"), WithoutLastLine(a) + a.substr(0, a.find("\r\n") + 2));
    WriteFile(Cache("C", "Library.csv"), WithoutLastLine(Served("C")));

    CFetchAllLibraries all(doc);
    EXPECT_EQ(RunAll(all), (std::vector<std::string>{SJ("1/3 A RD本体に接続中..."), SJ("2/3 B RD本体に接続中..."),
                                                     SJ("3/3 C RD本体に接続中...")}));
    EXPECT_EQ(all.StatusText(""), "");
    for (const char* name : {"A", "B", "C"}) EXPECT_EQ(ReadFile(Cache(name, "Library.csv")), Served(name)) << name;
    EXPECT_TRUE(all.AnySucceeded());
    EXPECT_EQ(all.GetNewCount(), 2);
    EXPECT_EQ(all.GetRemovedCount(), 1);
    EXPECT_TRUE(all.Failures().empty());
    EXPECT_EQ(all.SummaryText(), "");
    EXPECT_EQ(all.NewsText(), NewsStatusText(2, 1));

    // B's news cannot be saved: the text names it instead of counting them.
    std::filesystem::remove(Cache("B", "NewTitles.csv"));
    std::filesystem::create_directories(Cache("B", "NewTitles.csv/keep"));
    WriteFile(Cache("B", "Library.csv"), WithoutLastLine(Served("B")));
    CFetchAllLibraries again(doc);
    RunAll(again);
    EXPECT_EQ(again.NewsText().rfind(NewsStatusText(0, 0) + "\nB: " + lv::msg::NewsNotSaved(), 0), 0u)
        << again.NewsText();
}

// The summary names each failed recorder with its error, less the line breaks
// it ends with; a name whose profile cannot be loaded fails without a text.
TEST_F(FetchAllTest, AFailedRecorderKeepsItsCacheTheOthersGoOnAndTheSummaryListsIt) {
    const struct {
        std::string name;  // of the second recorder, the one that fails
        std::function<void()> fail;
        std::string error;  // how the summary's text for it begins
    } cases[] = {
        {"B", [this] { sims["B"]->SetFault({.bBusy = true}); }, lv::msg::LibraryFailed()},
        {"B", [this] { sims["B"]->SetFault({.nStatus = 500}); }, "HTTP/1.1 500"},
        {"B", [this] { sims["B"]->Stop(); }, SJ("サーバーに接続できません。")},
        {"bad name", [this] { doc.GetRecorders()[1] = std::make_unique<CRDRecorderLibrary>("bad name"); }, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name + " " + c.error);
        Serve("A\r\nB\r\nC\r\n");
        const std::string old = WithoutLastLine(Served("B"));
        WriteFile(Cache("B", "Library.csv"), old);
        c.fail();

        CFetchAllLibraries all(doc);
        RunAll(all);
        for (const char* name : {"A", "C"}) EXPECT_EQ(ReadFile(Cache(name, "Library.csv")), Served(name)) << name;
        EXPECT_EQ(ReadFile(Cache("B", "Library.csv")), old);
        EXPECT_TRUE(all.AnySucceeded());
        ASSERT_EQ(all.Failures().size(), 1u);
        const std::string head = lv::msg::FetchAllFailed() + "\n\n" + c.name + (c.error.empty() ? "" : "\n" + c.error);
        const std::string summary = all.SummaryText();
        EXPECT_EQ(summary.substr(0, head.size()), head) << summary;
        EXPECT_TRUE(!summary.empty() && summary.back() != '\n' && summary.back() != '\r') << summary;
    }
}

// Asked while a recorder's transfer runs: that one ends as it would (aborting
// it is the caller's), no later one is asked.
TEST_F(FetchAllTest, AStopLeavesTheLaterRecordersUnasked) {
    Serve("A\r\nB\r\nC\r\n");
    CFetchAllLibraries all(doc);
    auto t = all.Next(home.dir(), Direct(), &log);
    ASSERT_TRUE(t);
    t->Start();
    all.Stop();
    t->Wait();
    all.Finished(*t);
    EXPECT_FALSE(all.Next(home.dir(), Direct(), &log));
    EXPECT_TRUE(sims["B"]->Requests().empty() && sims["C"]->Requests().empty());
    EXPECT_TRUE(all.AnySucceeded() && all.Failures().empty());
}
