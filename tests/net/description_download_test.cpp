#include <atomic>
#include <chrono>
#include <set>
#include <thread>

#include "core/platform/path.h"
#include "core/text/messages.h"
#include "net/transfer_fixture.h"
#include "support/temp_dir.h"

using namespace lv::test;

class DescriptionTest : public TransferTest {
protected:
    void SetUpRecorder(const std::string& model) { StartSim(model, 6, 1); }
    std::unique_ptr<CDownloadTitleThread> ThreadFor(const std::vector<std::pair<std::string, std::string>>& titles) {
        auto t = MakeThread<CDownloadTitleThread>("RD");
        for (const auto& [page, file] : titles) t->m_aTitles.push_back(QueuedTitle(page, file));
        return t;
    }
};

TEST_F(DescriptionTest, ClassTwoAndThreeWriteEveryTitlesDescription) {
    for (const char* model : {"RD-XS41", "RD-XD91"}) {
        SCOPED_TRACE(model);
        SetUpRecorder(model);
        auto sample = sim->Sample();
        std::vector<std::pair<std::string, std::string>> titles;
        for (int i = 0; i < 3; ++i) titles.emplace_back(sample->Titles()[i].strPage, "t" + std::to_string(i) + ".txt");
        auto t = ThreadFor(titles);
        ASSERT_EQ(Run(*t), 0) << t->GetErrorText();
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(t->m_aTitles[i]->m_strPath, Cache("RD", titles[i].second));
            // One line of text per line of the page, each ending in CR LF.
            EXPECT_EQ(ReadFile(Cache("RD", titles[i].second)), sample->Description(i) + "\r\n");
        }
        std::vector<std::string> paths;
        for (const auto& r : sim->Requests()) paths.push_back(r.strPath);
        if (std::string(model) == "RD-XD91") {
            ASSERT_EQ(paths.size(), 6u);
            EXPECT_EQ(paths[0], "/library/" + titles[0].first);
            EXPECT_EQ(paths[1], "/library/tt_info.htm");
            EXPECT_EQ(paths[2], "/library/" + titles[1].first);
            EXPECT_EQ(paths[3], "/library/tt_info.htm");
            // The page that only selects the title posts no progress.
            EXPECT_EQ(log.Statuses(), (std::vector<int>{1, 2, 3, 2, 3, 2, 3, 4}));
        } else {
            EXPECT_EQ(paths.size(), 3u);
        }
        sim->Stop();
        log.Clear();
    }
}

TEST_F(DescriptionTest, ClassesZeroAndOneAskNothing) {
    for (const char* model : {"RD-XS40", ""}) {
        SetUpRecorder(model);
        auto t = ThreadFor({{"p.htm", "a.txt"}});
        EXPECT_EQ(Run(*t), 0);
        EXPECT_TRUE(sim->Requests().empty());
        EXPECT_FALSE(std::filesystem::exists(Cache("RD", "a.txt")));
        EXPECT_EQ(t->m_aTitles[0]->m_strPath, Cache("RD", "a.txt"));
        sim->Stop();
    }
}

// How the element is cut out is the extractor's; the transfer ends it with the body.
TEST_F(DescriptionTest, APageIsWrittenAsTheExtractorCutsIt) {
    SetUpRecorder("RD-XS41");
    sim->SetPage("open.htm", "<TEXTAREA>first\nsecond");
    sim->SetPage("lower.htm", "<textarea>text</textarea>");
    auto t = ThreadFor({{"open.htm", "3.txt"}});
    ASSERT_EQ(Run(*t), 0) << t->GetErrorText();
    EXPECT_EQ(ReadFile(Cache("RD", "3.txt")), "first\r\nsecond\r\n");

    auto lower = ThreadFor({{"lower.htm", "4.txt"}});
    EXPECT_EQ(Run(*lower), 1);
    EXPECT_EQ(lower->GetErrorText(), lv::msg::DescriptionFailed());
}

TEST_F(DescriptionTest, AFailureStopsTheQueueAndKeepsEarlierFiles) {
    SetUpRecorder("RD-XS41");
    auto sample = sim->Sample();
    auto t = ThreadFor(
        {{sample->Titles()[0].strPage, "1.txt"}, {"missing.htm", "2.txt"}, {sample->Titles()[2].strPage, "3.txt"}});
    std::filesystem::create_directories(home.dir() + "RD");
    WriteFile(home.dir() + "RD/2.txt", "old");
    EXPECT_EQ(Run(*t), 1);
    EXPECT_NE(t->GetErrorText().find("404"), std::string::npos);
    EXPECT_EQ(ReadFile(Cache("RD", "1.txt")), sample->Description(0) + "\r\n");
    EXPECT_EQ(ReadFile(Cache("RD", "2.txt")), "old");
    EXPECT_FALSE(std::filesystem::exists(Cache("RD", "3.txt")));
}

TEST_F(DescriptionTest, NamesFromTheRecorderStayInTheirPlaces) {
    SetUpRecorder("RD-XS41");
    sim->SetPage("a b.htm", "<TEXTAREA>ok</TEXTAREA>");
    auto t = ThreadFor({{"../../etc/passwd\r\nX-Injected: 1", "../../escape.txt"}, {"a b.htm", "ok.txt"}});
    EXPECT_EQ(Run(*t), 1);
    ASSERT_FALSE(sim->Requests().empty()) << t->GetErrorText();
    // One request, its target a single segment under "/library/", no header smuggled in.
    const auto first = sim->Requests()[0];
    EXPECT_EQ(first.strTarget.rfind("/library/", 0), 0u) << first.strTarget;
    EXPECT_EQ(first.strTarget.find('/', 9), std::string::npos) << first.strTarget;
    for (const auto& h : first.aHeaderNames) EXPECT_NE(h, "X-Injected");
    EXPECT_FALSE(std::filesystem::exists(home.path().parent_path() / "escape.txt"));
    EXPECT_EQ(t->m_aTitles[0]->m_strPath, Cache("RD", "....escape.txt"));

    auto spaced = ThreadFor({{"a b.htm", "ok.txt"}});
    EXPECT_EQ(Run(*spaced), 0) << spaced->GetErrorText();
    EXPECT_EQ(ReadFile(Cache("RD", "ok.txt")), "ok\r\n");
}

TEST_F(DescriptionTest, AFileThatCannotBeWrittenOrAStopEndsTheQueue) {
    SetUpRecorder("RD-XS41");
    auto sample = sim->Sample();
    const std::string first = sample->Titles()[0].strPage;
    const std::string third = sample->Titles()[2].strPage;

    // The description file's name is taken by a folder.
    std::filesystem::create_directories(home.dir() + "RD/taken.txt");
    auto blocked = ThreadFor({{first, "taken.txt"}, {third, "3.txt"}});
    EXPECT_EQ(Run(*blocked), 1);
    EXPECT_NE(blocked->GetErrorText().find("taken.txt"), std::string::npos) << blocked->GetErrorText();
    EXPECT_EQ(log.Statuses(),
              (std::vector<int>{TRANSFER_CONNECTING, TRANSFER_RECEIVING, TRANSFER_RECEIVED, TRANSFER_FINISHED}));
    EXPECT_FALSE(std::filesystem::exists(Cache("RD", "3.txt")));

    // Stop while the second page trickles in: the queue ends there.
    std::string page = "<TEXTAREA>\r\n";
    for (int i = 0; i < 200; ++i) page += "line " + std::to_string(i) + "\r\n";
    sim->SetPage("slow.htm", page + "</TEXTAREA>\r\n");
    lv::rdsim::Fault slow;
    slow.nSlowMs = 100;
    slow.nSlowChunk = 16;
    sim->SetFault("/library/slow.htm", slow);
    auto t = ThreadFor({{first, "1.txt"}, {"slow.htm", "2.txt"}, {third, "3.txt"}});
    t->Start();
    for (int i = 0; i < 100 && sim->Requests().size() < 3; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    t->Abort();
    t->Wait();
    EXPECT_EQ(t->GetExitCode(), 1);
    EXPECT_EQ(t->GetErrorText(), lv::msg::Interrupted());
    EXPECT_EQ(ReadFile(Cache("RD", "1.txt")), sample->Description(0) + "\r\n");
    EXPECT_FALSE(std::filesystem::exists(Cache("RD", "3.txt")));
    ASSERT_EQ(sim->Requests().size(), 3u);
    EXPECT_EQ(sim->Requests().back().strPath, "/library/slow.htm");
}

// Pages go in place 64 at a time, over one connection where the server keeps
// it; a stop puts those read whole in place, the rest stay old.
TEST_F(DescriptionTest, ManyPagesGoInPlaceInBatchesAndAStopKeepsThoseReadWhole) {
    std::atomic<CDownloadTitleThread*> running{nullptr};
    std::string stopAt;
    std::vector<std::string> seen;  // the descriptions when the stop came
    lv::rdsim::Options options;
    options.onRequest = [&](const lv::rdsim::RequestRecord& r) {
        if (r.strPath != stopAt) return;
        for (int i = 0; i < 100; ++i) seen.push_back(ReadFile(Cache("RD", std::to_string(i) + ".txt")));
        running.load()->Abort();
    };
    StartSim("RD-XS41", 100, 1, options);
    auto sample = sim->Sample();
    std::filesystem::create_directories(home.dir() + "RD");
    std::vector<std::pair<std::string, std::string>> titles;
    for (int i = 0; i < 100; ++i) {
        titles.emplace_back(sample->Titles()[i].strPage, std::to_string(i) + ".txt");
        WriteFile(Cache("RD", titles[i].second), "old\r\n");
    }
    auto described = [&](int i) { return sample->Description(i) + "\r\n"; };
    stopAt = "/library/" + titles[70].first;
    auto t = ThreadFor(titles);
    t->m_nBatchSeconds = 3600;
    running = t.get();
    EXPECT_EQ(Run(*t), 1);
    EXPECT_EQ(t->GetErrorText(), lv::msg::Interrupted());
    ASSERT_EQ(seen.size(), 100u);
    for (int i = 0; i < 100; ++i) {
        EXPECT_EQ(seen[i], i < 64 ? described(i) : "old\r\n") << i;
        EXPECT_EQ(ReadFile(Cache("RD", titles[i].second)), i < 70 ? described(i) : "old\r\n") << i;
    }
    EXPECT_TRUE(TempFiles("RD").empty());
    std::set<int> connections;
    for (const auto& r : sim->Requests()) connections.insert(r.nRemotePort);
    // A second one when a flush outlasted the server's wait for the next request.
    EXPECT_LE(connections.size(), 2u);

    // A server that closes every connection gives the rest all the same.
    sim->ClearRequests();
    sim->SetFault({.bClose = true});
    stopAt.clear();
    auto rest = ThreadFor({titles.begin() + 70, titles.end()});
    ASSERT_EQ(Run(*rest), 0) << rest->GetErrorText();
    for (int i = 70; i < 100; ++i) EXPECT_EQ(ReadFile(Cache("RD", titles[i].second)), described(i)) << i;
    connections.clear();
    for (const auto& r : sim->Requests()) connections.insert(r.nRemotePort);
    EXPECT_EQ(connections.size(), 30u);

    // A description that holds the page's text already is left as it is.
    // The time as the file system keeps it: some keep whole seconds only.
    std::filesystem::last_write_time(Cache("RD", titles[0].second),
                                     std::filesystem::file_time_type::clock::now() - std::chrono::hours(1));
    const auto hourAgo = std::filesystem::last_write_time(Cache("RD", titles[0].second));
    auto same = ThreadFor({titles[0]});
    ASSERT_EQ(Run(*same), 0) << same->GetErrorText();
    EXPECT_EQ(std::filesystem::last_write_time(Cache("RD", titles[0].second)), hourAgo);
}

TEST_F(DescriptionTest, AFailedPageLeavesTheOldDescriptionWhole) {
    SetUpRecorder("RD-XS41");
    std::string page = "<TEXTAREA>\r\n";
    for (int i = 0; i < 50; ++i) page += "new line " + std::to_string(i) + "\r\n";
    sim->SetPage("cut.htm", page + "</TEXTAREA>\r\n");
    lv::rdsim::Fault cut;
    cut.nCutAfter = 100;
    sim->SetFault("/library/cut.htm", cut);
    sim->SetPage("none.htm", "<HTML>busy</HTML>\r\n");
    std::filesystem::create_directories(home.dir() + "RD");
    for (const char* name : {"cut.txt", "none.txt"}) WriteFile(Cache("RD", name), "old\r\n");

    // The body ends early, or holds no element: each time the old text stays.
    for (const char* name : {"cut", "none"}) {
        auto t = ThreadFor({{std::string(name) + ".htm", std::string(name) + ".txt"}});
        EXPECT_EQ(Run(*t), 1) << name;
        EXPECT_EQ(ReadFile(Cache("RD", std::string(name) + ".txt")), "old\r\n") << name;
    }
    // Only the two descriptions: no temporary file stays behind.
    std::size_t entries = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(home.dir() + "RD")) ++entries;
    EXPECT_EQ(entries, 2u);

    // A whole page replaces the old text.
    sim->ClearFaults();
    auto t = ThreadFor({{"cut.htm", "cut.txt"}});
    EXPECT_EQ(Run(*t), 0) << t->GetErrorText();
    EXPECT_EQ(ReadFile(Cache("RD", "cut.txt")).substr(0, 14), "\r\nnew line 0\r\n");
}

TEST_F(DescriptionTest, ASuccessfulDescribeRemovesWhatKilledTransfersLeft) {
    SetUpRecorder("RD-XS41");
    sim->SetPage("p.htm", "<TEXTAREA>text</TEXTAREA>\r\n");
    std::filesystem::create_directories(home.dir() + "RD");
    // The page of a describe that was killed.
    WriteFile(Cache("RD", "~RDab12cd"), "<TEXTAREA>par");
    std::filesystem::last_write_time(Cache("RD", "~RDab12cd"),
                                     std::filesystem::file_time_type::clock::now() - std::chrono::hours(1));

    // A failed describe leaves it; a whole one removes it.
    sim->SetFault({.nStatus = 500});
    auto failed = ThreadFor({{"p.htm", "p.txt"}});
    EXPECT_EQ(Run(*failed), 1);
    EXPECT_EQ(TempFiles("RD").size(), 1u);
    sim->ClearFaults();
    auto t = ThreadFor({{"p.htm", "p.txt"}});
    ASSERT_EQ(Run(*t), 0) << t->GetErrorText();
    EXPECT_EQ(ReadFile(Cache("RD", "p.txt")), "text\r\n");
    EXPECT_TRUE(TempFiles("RD").empty());
}

// The program folder's name is the user's own: on Windows the core holds it
// as UTF-8 and the system gets it as UTF-16, never through the ANSI code page.
TEST_F(DescriptionTest, AProgramFolderWithAJapaneseNameHoldsTheListsAndDescriptions) {
    SetUpRecorder("RD-XS41");
    const std::string folder = home.dir() + "録画の記録" + "/";
    std::filesystem::create_directories(lv::platform::FsPath(folder));
    WriteProfile("RD", profile, folder);
    auto sample = sim->Sample();

    CDownloadLibraryThread library(folder, Direct(), nullptr);
    library.m_strRecorderName = "RD";
    ASSERT_EQ(Run(library), 0) << library.GetErrorText();
    EXPECT_EQ(ReadFile(folder + "RD/Library.csv"), sample->LibraryCsv());

    CDownloadTitleThread description(folder, Direct(), nullptr);
    description.m_strRecorderName = "RD";
    description.m_aTitles.push_back(QueuedTitle(sample->Titles()[0].strPage, "t0.txt"));
    ASSERT_EQ(Run(description), 0) << description.GetErrorText();
    EXPECT_EQ(ReadFile(folder + "RD/t0.txt"), sample->Description(0) + "\r\n");
    // No temporary file is left beside them.
    for (const auto& e : std::filesystem::directory_iterator(lv::platform::FsPath(folder + "RD")))
        EXPECT_NE(e.path().filename().u8string().rfind(u8"~RD", 0), 0u);
}
