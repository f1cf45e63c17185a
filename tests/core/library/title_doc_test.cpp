#include "core/library/title_doc.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <functional>
#include <stdexcept>

#include "core/settings/netnavi_setting.h"
#include "core/text/messages.h"
#include "core/text/system_errors.h"
#include "support/sjis.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;
using lv::test::ReadFile;
using lv::test::TempDir;
using lv::test::WriteFile;

namespace {

void SaveProfile(const std::string& appDir, const std::string& name, const std::string& model) {
    CNetNaviSetting s(appDir);
    ASSERT_TRUE(s.SetName(name));
    ASSERT_TRUE(s.SetModel(model));
    ASSERT_TRUE(s.SetHost("rd.local"));
    ASSERT_TRUE(s.Save());
}

void WriteCache(const TempDir& dir, const std::string& name, const char* file, const std::string& bytes) {
    fs::create_directories(dir.file(name));
    WriteFile(dir.file(name + "/" + file), bytes);
}

// Three recorders, one of each model class that downloads differently.
struct ThreeRecorders {
    TempDir dir;
    std::string docBytes;

    ThreeRecorders() {
        SaveProfile(dir.dir(), "Xs40", "RD-XS40");
        SaveProfile(dir.dir(), "Xs41", "RD-XS41");
        SaveProfile(dir.dir(), "Z1", "RD-Z1");
        // Class 1: the disc list is derived from the library, unquoted.
        WriteCache(dir, "Xs40", "Disc.csv",
                   SJ("\"Disc No.\",\"ディスク名\",\"残量時間\"\r\nHDD,,12:00\r\n001,,1:00\r\n"));
        WriteCache(dir, "Xs40", "Library.csv",
                   SJ("HDD,番組A,2005/12/21,水,21:00,081,x,_ドラマ,12:00,,p1.htm,,0000300012\r\n"));
        WriteCache(dir, "Xs41", "Disc.csv",
                   SJ("\"Disc No.\",\"ディスク名\",\"残量時間\",\"SP\",\"LP\",\"EP\",\"XP\",\"MN\"\r\n"
                      "\"HDD_\",\"\",\"10:00\",\"1:30\",\"2:00\",\"3:00\",\"4:00\",\"5:00\"\r\n"
                      "\"002\",\"映画集\",\"0:30\",\"0:10\",\"0:20\",\"0:30\",\"0:40\",\"0:50\"\r\n"));
        WriteCache(
            dir, "Xs41", "Library.csv",
            SJ("\"002\",\"映画\",\"2006/01/"
               "02\",\"月\",\"9:00\",\"005\",\"\",\"映画\",\"0:30\",\"\",\"p2.htm\",\"\",\"0000100002\"\r\n"
               "\"HDD\",\"ニュース\",\"2006/01/"
               "03\",\"火\",\"19:00\",\"011\",\"\",\"報道\",\"\",\"\",\"p3.htm\",\"\",\"\"\r\n"
               "\"999\",\"迷子\",\"2006/01/04\",\"水\",\"7:00\",\"012\",\"\",\"\",\"\",\"\",\"p4.htm\",\"\",\"\"\r\n"));
        WriteCache(dir, "Z1", "Disc.csv",
                   "\"Disc No.\",\"a\",\"b\",\"M1\",\"M2\",\"M3\",\"M4\",\"M5\"\r\n"
                   "\"HDD\",\"\",\"30:00\",\"1:00\",\"2:00\",\"3:00\",\"4:00\",\"5:00\"\r\n");
        WriteCache(
            dir, "Z1", "Library.csv",
            "\"HDD\",\"T\",\"2007/03/04\",\"Sun\",\"1:00\",\"101\",\"\",\"g\",\"\",\"\",\"p.htm\",\"\",\"\"\r\n");
        // A blank line and a hand-edited name that no profile may have.
        docBytes = "Xs40\r\nXs41\r\nZ1\r\n\r\n" + SJ("居間") + "\r\n";
        WriteFile(dir.file("Default.lbv"), docBytes);
    }
};

class RecordingView : public CDocView {
public:
    struct Call {
        CDocView* sender;
        long hint;
        void* object;
    };
    std::vector<Call> calls;
    std::function<void()> onUpdate;
    void OnUpdate(CDocView* sender, long hint, void* object) override {
        calls.push_back({sender, hint, object});
        if (onUpdate) onUpdate();
    }
};

}  // namespace

TEST(TitleDocLoad, ReadsEveryLoadableRecorderAndKeepsEveryName) {
    ThreeRecorders f;
    CRDTitleDoc doc(f.dir.dir());
    ASSERT_TRUE(doc.OnOpenDocument(f.dir.file("Default.lbv")));
    EXPECT_EQ(doc.GetRecorderNames(), (std::vector<std::string>{"Xs40", "Xs41", "Z1", "", SJ("居間")}));
    ASSERT_EQ(doc.GetRecorders().size(), 3u);

    const CRDRecorderLibrary& c1 = *doc.GetRecorders()[0];
    EXPECT_EQ(c1.GetName(), "Xs40");
    // The model is set before the lists are read: they are read as its class reads them.
    EXPECT_EQ(c1.GetModelClass(), 1);
    ASSERT_EQ(c1.GetDiscCount(), 2);
    EXPECT_EQ(c1.Disc(1).m_nFlags, DISC_FLAGS_CLASS01);
    ASSERT_EQ(c1.GetTitleCount(), 1);
    EXPECT_EQ(c1.Title(0).Field(TF_DISCFREE3), "12:00");  // the library line's own time

    // The disc list is read before the titles, which take their times from it.
    const CRDRecorderLibrary& c2 = *doc.GetRecorders()[1];
    EXPECT_EQ(c2.GetModelClass(), 2);
    EXPECT_EQ(c2.ModeLabels(), (std::vector<std::string>{"SP", "LP", "EP", "XP", "MN"}));
    ASSERT_EQ(c2.GetDiscCount(), 2);
    ASSERT_EQ(c2.GetTitleCount(), 3);
    EXPECT_EQ(c2.Title(0).Field(TF_DISCFREE2), "00:20");  // from its disc "002"
    TITLEINFO info{};
    c2.GetTitleInfo(0, info);
    EXPECT_STREQ(info.pszRDName, "Xs41");

    const CRDRecorderLibrary& c3 = *doc.GetRecorders()[2];
    EXPECT_EQ(c3.GetModelClass(), 3);
    EXPECT_EQ(c3.GetTitleCount(), 1);
    EXPECT_EQ(doc.FindRecorder("Z1"), &c3);
    EXPECT_EQ(doc.FindRecorder(SJ("居間")), nullptr);
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(doc.GetPathName(), f.dir.file("Default.lbv"));
}

TEST(TitleDocLoad, StoresTheNamesBackByteForByte) {
    ThreeRecorders f;
    CRDTitleDoc doc(f.dir.dir());
    ASSERT_TRUE(doc.OnOpenDocument(f.dir.file("Default.lbv")));
    ASSERT_TRUE(doc.OnSaveDocument(f.dir.file("copy.lbv")));
    EXPECT_EQ(ReadFile(f.dir.file("copy.lbv")), f.docBytes);

    // LF-only lines and stray CRs come back as CR LF.
    WriteFile(f.dir.file("lf.lbv"), "A\nB\r\r\n\nC");
    ASSERT_TRUE(doc.OnOpenDocument(f.dir.file("lf.lbv")));
    EXPECT_EQ(doc.GetRecorderNames(), (std::vector<std::string>{"A", "B", "", "C"}));
    ASSERT_TRUE(doc.OnSaveDocument(f.dir.file("lf.lbv")));
    EXPECT_EQ(ReadFile(f.dir.file("lf.lbv")), "A\r\nB\r\n\r\nC\r\n");
}

TEST(TitleDocLoad, EmptyAndMissingDocuments) {
    TempDir dir;
    WriteFile(dir.file("empty.lbv"), "");
    CRDTitleDoc doc(dir.dir());
    ASSERT_TRUE(doc.OnOpenDocument(dir.file("empty.lbv")));
    EXPECT_TRUE(doc.GetRecorderNames().empty());
    EXPECT_TRUE(doc.GetRecorders().empty());
    ASSERT_TRUE(doc.OnSaveDocument(dir.file("empty.lbv")));
    EXPECT_EQ(ReadFile(dir.file("empty.lbv")), "");

    EXPECT_FALSE(doc.OnOpenDocument(dir.file("missing.lbv")));
    EXPECT_TRUE(doc.GetRecorderNames().empty());
    EXPECT_FALSE(doc.OnSaveDocument(dir.file("no/such/folder.lbv")));
}

TEST(TitleDocLoad, AValidNameWithoutProfileStillReadsItsCache) {
    TempDir dir;
    WriteCache(dir, "Ghost", "Library.csv",
               "\"HDD\",\"t\",\"2007/03/04\",\"Sun\",\"1:00\",\"101\",\"\",\"\",\"\",\"\",\"p.htm\",\"\",\"\"\r\n");
    WriteFile(dir.file("d.lbv"), "Ghost\r\n");
    CRDTitleDoc doc(dir.dir());
    ASSERT_TRUE(doc.OnOpenDocument(dir.file("d.lbv")));
    ASSERT_EQ(doc.GetRecorders().size(), 1u);
    const CRDRecorderLibrary& g = *doc.GetRecorders()[0];
    EXPECT_EQ(g.GetModel(), "");
    EXPECT_EQ(g.GetTitleCount(), 1);
    // No Disc.csv: no labels, no discs, titles without per-setting times.
    EXPECT_TRUE(g.ModeLabels().empty());
    EXPECT_EQ(g.GetDiscCount(), 0);
    EXPECT_EQ(g.Title(0).Field(TF_DISCFREE1), "");
}

TEST(TitleDocLoad, ReopeningReplacesTheContentsButKeepsTheViewState) {
    ThreeRecorders f;
    CRDTitleDoc doc(f.dir.dir());
    ASSERT_TRUE(doc.OnOpenDocument(f.dir.file("Default.lbv")));
    doc.SetCurrentRecorder("Xs41");
    ASSERT_TRUE(doc.LoadDescription(f.dir.file("Xs40/Disc.csv")));
    const std::string description = doc.GetDescription();
    doc.SetModifiedFlag(true);
    WriteCache(f.dir, "Xs41", "Disc.csv", "");  // five empty labels, no discs
    ASSERT_TRUE(doc.ReloadFromOwnPath());
    EXPECT_EQ(doc.GetRecorderNames().size(), 5u);
    ASSERT_EQ(doc.GetRecorders().size(), 3u);
    EXPECT_FALSE(doc.IsModified());
    const CRDRecorderLibrary& c2 = *doc.GetRecorders()[1];
    EXPECT_EQ(c2.ModeLabels(), std::vector<std::string>(5, ""));
    EXPECT_EQ(c2.GetDiscCount(), 0);
    EXPECT_EQ(c2.GetTitleCount(), 3);
    EXPECT_EQ(doc.GetCurrentRecorder(), "Xs41");
    EXPECT_EQ(doc.GetDescription(), description);
}

// The title list points into the recorders instead of copying its rows; the
// recorders it holds stay as they were while the document reloads.
TEST(TitleDocLoad, SharedRecordersOutliveAReload) {
    ThreeRecorders f;
    CRDTitleDoc doc(f.dir.dir());
    ASSERT_TRUE(doc.OnOpenDocument(f.dir.file("Default.lbv")));
    auto kept = doc.ShareRecorders();
    const CRDTitleInfo& title = kept->at(1)->Title(0);
    const std::string before(title.Field(TF_TITLE));
    WriteCache(f.dir, "Xs41", "Library.csv", "");
    ASSERT_TRUE(doc.ReloadFromOwnPath());
    EXPECT_EQ(doc.GetRecorders()[1]->GetTitleCount(), 0);
    ASSERT_EQ(kept->size(), 3u);
    EXPECT_EQ(kept->at(1)->GetTitleCount(), 3);
    EXPECT_EQ(title.Field(TF_TITLE), before);
    EXPECT_EQ(title.Field(TF_DISCFREE2), "00:20");
}

TEST(TitleDocIndex, OutOfRangeIndicesRaise) {
    ThreeRecorders f;
    CRDTitleDoc doc(f.dir.dir());
    ASSERT_TRUE(doc.OnOpenDocument(f.dir.file("Default.lbv")));
    const CRDRecorderLibrary& c2 = *doc.GetRecorders()[1];
    DISCINFO d{};
    EXPECT_NO_THROW(c2.GetDiscInfo(c2.GetDiscCount() - 1, d));
    EXPECT_THROW(doc.LoadDiscList(3, f.dir.file("Xs41/Disc.csv")), std::out_of_range);
    EXPECT_THROW(doc.LoadTitleList(-1, f.dir.file("Xs41/Library.csv")), std::out_of_range);
}

TEST(TitleDocDescription, LinesEndInCrLfAndAMissingFileShowsThePlaceholder) {
    TempDir dir;
    CRDTitleDoc doc(dir.dir());
    WriteFile(dir.file("ab.txt"), "a\nb");
    ASSERT_TRUE(doc.LoadDescription(dir.file("ab.txt")));
    EXPECT_EQ(doc.GetDescription(), "a\r\nb\r\n");

    WriteFile(dir.file("crcr.txt"), SJ("番組\r\r\n説明\r\n"));
    ASSERT_TRUE(doc.LoadDescription(dir.file("crcr.txt")));
    EXPECT_EQ(doc.GetDescription(), SJ("番組\r\n説明\r\n"));

    WriteFile(dir.file("empty.txt"), "");
    ASSERT_TRUE(doc.LoadDescription(dir.file("empty.txt")));
    EXPECT_EQ(doc.GetDescription(), "");

    EXPECT_FALSE(doc.LoadDescription(dir.file("never-fetched.txt")));
    EXPECT_EQ(doc.GetDescription(), lv::msg::NotFetched());
    EXPECT_EQ(doc.GetDescription(), SJ("（未取得）"));
    doc.ClearDescription();
    EXPECT_EQ(doc.GetDescription(), "");
}

TEST(TitleDocViews, EveryViewButTheSenderIsTold) {
    TempDir dir;
    CRDTitleDoc doc(dir.dir());
    RecordingView tree, list, edit;
    doc.AddView(&tree);
    doc.AddView(&list);
    doc.AddView(&edit);
    doc.AddView(&list);  // twice is once
    int condition = 0;
    doc.UpdateAllViews(&tree, 1, &condition);
    EXPECT_TRUE(tree.calls.empty());
    ASSERT_EQ(list.calls.size(), 1u);
    EXPECT_EQ(list.calls[0].sender, &tree);
    EXPECT_EQ(list.calls[0].hint, 1);
    EXPECT_EQ(list.calls[0].object, &condition);
    ASSERT_EQ(edit.calls.size(), 1u);

    doc.UpdateAllViews(nullptr);
    EXPECT_EQ(tree.calls.size(), 1u);
    EXPECT_EQ(tree.calls[0].hint, 0);
    EXPECT_EQ(tree.calls[0].object, nullptr);

    // A view that detaches another while being told: the detached one is skipped.
    tree.onUpdate = [&] { doc.RemoveView(&list); };
    doc.UpdateAllViews(nullptr);
    EXPECT_EQ(list.calls.size(), 2u);
    EXPECT_EQ(edit.calls.size(), 3u);
}

// A cache that exists but cannot be read whole, or held in memory, is no
// empty or shorter library: its recorder is unreadable, with the reason.
TEST(TitleDocLoad, ACacheThatCannotBeReadWholeMakesItsRecorderUnreadable) {
#if defined(_WIN32) || defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "needs /proc, and a title list too large to be held";
#else
    // With every allocation granted the load would read the terabyte instead.
    if (ReadFile("/proc/sys/vm/overcommit_memory").starts_with("1")) GTEST_SKIP() << "memory overcommitted";
    ThreeRecorders f;
    // Regular files whose reading fails with EIO: this process's memory at address 0.
    for (const char* cache : {"Xs41/Library.csv", "Z1/Disc.csv"}) {
        fs::remove(f.dir.file(cache));
        fs::create_symlink("/proc/self/mem", f.dir.file(cache));
    }
    fs::resize_file(f.dir.file("Xs40/Library.csv"), std::uintmax_t{1} << 40);  // sparse
    CRDTitleDoc doc(f.dir.dir());
    ASSERT_TRUE(doc.OnOpenDocument(f.dir.file("Default.lbv")));
    ASSERT_EQ(doc.GetRecorders().size(), 3u);
    for (const auto& r : doc.GetRecorders()) EXPECT_EQ(r->GetTitleCount() + r->GetDiscCount(), 0) << r->GetName();
    EXPECT_EQ(doc.LoadErrorsText(), "Xs40: " + lv::msg::OutOfMemory() +
                                        "\nXs41: " + lv::text::FileErrorText(f.dir.file("Xs41/Library.csv"), EIO) +
                                        "\nZ1: " + lv::text::FileErrorText(f.dir.file("Z1/Disc.csv"), EIO));
#endif
}
