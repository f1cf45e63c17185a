// The command-line tool's fetch and describe against the emulator.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/emulator.h"
#include "support/run_cli.h"
#include "support/temp_dir.h"

using namespace lv::test;

namespace {

// Profiles take ports 80 or 2000-10000 only.
std::unique_ptr<lv::rdsim::RdSim> StartInProfileRange(const std::string& model, int titles) {
    auto sim = StartEmulator({.strModel = model}, PortRange::Profile);
    if (sim) ServeSample(*sim, titles);
    return sim;
}

class FetchCli : public ::testing::Test {
protected:
    CliResult Cli(std::vector<std::string> args, int interruptAfterMs = -1) {
        args.insert(args.begin(), {"--home", home.dir()});
        return RunCli(args, {}, interruptAfterMs);
    }
    void Add(const std::string& name, const lv::rdsim::RdSim& sim, const std::string& model) {
        auto r = Cli(
            {"recorder", "add", name, "--model", model, "--host", "127.0.0.1", "--port", std::to_string(sim.Port())});
        ASSERT_EQ(r.exitCode, 0) << r.err;
    }
    TempDir home;
};

}  // namespace

// What a transfer stores, keeps or refuses is the transfer threads'; here the
// commands reach them and report as a user sees it.
TEST_F(FetchCli, FetchStoresTheListsAndNewShowsWhatCame) {
    auto sim = StartInProfileRange("RD-XS40", 25);
    ASSERT_TRUE(sim);
    Add("Living", *sim, "RD-XS40");
    auto r = Cli({"fetch", "Living"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.err.find("RD本体に接続中..."), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("新着 0件 / 削除 0件"), std::string::npos) << r.err;
    EXPECT_EQ(ReadFile(home.dir() + "Living/Library.csv"), sim->Sample()->LibraryCsv());
    EXPECT_EQ(Cli({"new"}).out, "");
    EXPECT_EQ(Cli({"--json", "new"}).out, "[]\n");

    // The recorder's last title erased, a copy of its first one made.
    std::vector<std::string> lines = Lines(sim->Sample()->LibraryCsv());
    lines.back() = lines.front();
    std::string changed;
    for (const std::string& line : lines) changed += line + "\r\n";
    std::optional<std::string> discs;
    if (sim->ModelClass() != 1) discs = sim->Sample()->DiscListCsv();
    sim->SetLibrary(changed, discs);
    r = Cli({"fetch", "Living"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.err.find("新着 1件 / 削除 1件"), std::string::npos) << r.err;
    const std::vector<std::string> titles = Lines(Cli({"titles"}).out);
    EXPECT_EQ(Cli({"new"}).out, titles.back() + "\n");
    EXPECT_EQ(Cli({"new", "Living"}).out, titles.back() + "\n");
    EXPECT_EQ(Cli({"new", "Kitchen"}).exitCode, 1);

    // News that cannot be saved are said instead of counts that `new` would not show.
    std::filesystem::remove(home.dir() + "Living/NewTitles.csv");
    std::filesystem::create_directories(home.dir() + "Living/NewTitles.csv/keep");
    r = Cli({"fetch", "Living"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.err.find("新着情報を保存できませんでした。"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("NewTitles.csv"), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find("新着 0件"), std::string::npos) << r.err;
}

TEST_F(FetchCli, FailuresAndCtrlCPrintTheErrorText) {
    auto sim = StartInProfileRange("RD-XS41", 10);
    ASSERT_TRUE(sim);
    Add("RD", *sim, "RD-XS41");
    lv::rdsim::Fault busy;
    busy.bBusy = true;
    sim->SetFault(busy);
    auto r = Cli({"fetch", "RD"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("ライブラリ情報の取得に失敗しますた。\n本体が作業中でないかご確認ください。"),
              std::string::npos)
        << r.err;

    sim->ClearFaults();
    lv::rdsim::Fault slow;
    slow.nSlowMs = 300;
    slow.nSlowChunk = 16;
    sim->SetFault(slow);
    auto stopped = Cli({"fetch", "RD"}, 800);
    EXPECT_EQ(stopped.exitCode, 1);
    EXPECT_NE(stopped.err.find("処理が中断されました。"), std::string::npos) << stopped.err;
    EXPECT_EQ(Cli({"fetch"}).exitCode, 2);
}

TEST_F(FetchCli, DescribeAllWritesEveryDescription) {
    auto sim = StartInProfileRange("RD-XS41", 4);
    ASSERT_TRUE(sim);
    Add("RD", *sim, "RD-XS41");
    ASSERT_EQ(Cli({"fetch", "RD"}).exitCode, 0);
    auto r = Cli({"describe", "RD", "--all"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    for (int i = 0; i < 4; ++i) {
        auto d = Cli({"--cp932", "description", "RD", std::to_string(i)});
        EXPECT_EQ(d.out, sim->Sample()->Description(i) + "\r\n");
    }
    EXPECT_EQ(Cli({"describe", "RD", "9"}).exitCode, 1);
}

// The order, the failures kept and the summary are the routine's; here the
// command runs it, goes on past a failure and tells of it by its exit code.
TEST_F(FetchCli, FetchAllGoesOnPastAFailureAndListsIt) {
    auto a = StartInProfileRange("RD-XS41", 5);
    auto b = StartInProfileRange("RD-Z1", 6);
    ASSERT_TRUE(a && b);
    Add("A", *a, "RD-XS41");
    Add("B", *b, "RD-Z1");
    lv::rdsim::Fault busy;
    busy.bBusy = true;
    a->SetFault(busy);

    auto r = Cli({"fetch", "--all"});
    EXPECT_EQ(r.exitCode, 1);
    for (const char* text : {"2/2 B 完了", "新着 0件 / 削除 0件",
                             ("次のRD本体からﾗｲﾌﾞﾗﾘ情報を取得できませんでした。\n\nA\n"
                              "ライブラリ情報の取得に失敗しますた。\n本体が作業中でないかご確認ください。\n")})
        EXPECT_NE(r.err.find(text), std::string::npos) << text << "\n" << r.err;
}
