// Against servers we did not write: nginx serving a recorder's files behind
// Basic authentication, and tinyproxy as a named proxy.
#include "net/transfer_fixture.h"
#include "sample/sample_library.h"
#include "support/peer_server.h"
#include "support/temp_dir.h"

using namespace lv::test;

TEST_F(TransferTest, FetchesFromNginxWithBasicAuthentication) {
#ifdef _WIN32
    GTEST_SKIP() << "nginx and tinyproxy are Linux programs";
#endif
    lv::sample::SampleOptions o;
    o.titles = 300;
    o.discs = 5;
    o.modelClass = 2;
    lv::sample::SampleLibrary sample(o);
    TempDir web;
    std::filesystem::create_directories(web.dir() + "root/library");
    WriteFile(web.dir() + "root/library/view_library.csv", sample.LibraryCsv());
    WriteFile(web.dir() + "root/library/DiscList_.csv", sample.DiscListCsv());
    for (int i = 0; i < 2; ++i)
        WriteFile(web.dir() + "root/library/" + sample.Titles()[i].strPage, sample.DescriptionPage(i));
    NginxServer nginx;
    std::string why = nginx.Start(web.dir() + "nginx", web.dir() + "root", "rd", "secret");
    if (!why.empty()) GTEST_SKIP() << why;

    Profile p;
    p.port = nginx.Port();
    p.auth = 1;
    p.user = "rd";
    p.password = "secret";
    WriteProfile("RD", p);
    auto t = MakeThread("RD");
    ASSERT_EQ(Run(*t), 0) << t->GetErrorText();
    EXPECT_EQ(ReadFile(Cache("RD", "Library.csv")), sample.LibraryCsv());
    EXPECT_EQ(ReadFile(Cache("RD", "Disc.csv")), sample.DiscListCsv());

    auto d = MakeThread<CDownloadTitleThread>("RD");
    for (int i = 0; i < 2; ++i)
        d->m_aTitles.push_back(QueuedTitle(sample.Titles()[i].strPage, "d" + std::to_string(i) + ".txt"));
    ASSERT_EQ(Run(*d), 0) << d->GetErrorText();
    EXPECT_EQ(ReadFile(Cache("RD", "d1.txt")), sample.Description(1) + "\r\n");

    p.password = "wrong";
    WriteProfile("Wrong", p);
    auto w = MakeThread("Wrong");
    EXPECT_EQ(Run(*w), 1);
    EXPECT_NE(w->GetErrorText().find("401"), std::string::npos) << w->GetErrorText();
}

TEST_F(TransferTest, FetchesThroughANamedProxy) {
#ifdef _WIN32
    GTEST_SKIP() << "nginx and tinyproxy are Linux programs";
#endif
    StartSim("RD-XS41", 40);
    TempDir work;
    TinyProxy proxy;
    std::string why = proxy.Start(work.dir());
    if (!why.empty()) GTEST_SKIP() << why;
    auto t = MakeThread("RD", NamedProxy(proxy.Port()));
    ASSERT_EQ(Run(*t), 0) << t->GetErrorText();
    EXPECT_EQ(ReadFile(Cache("RD", "Library.csv")), sim->Sample()->LibraryCsv());
    EXPECT_NE(proxy.Log().find("view_library.csv"), std::string::npos) << proxy.Log();
}
