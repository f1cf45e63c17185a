#include "core/shell/cache_cleanup.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>

#include "core/library/new_titles.h"
#include "core/library/title_doc.h"
#include "core/settings/netnavi_setting.h"
#include "core/text/codec.h"
#include "support/sjis.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using lv::test::TempDir;
using lv::test::WriteFile;

// A program folder with recorder profiles, their caches and a document listing them.
class CleanupFolder {
public:
    CleanupFolder() { WriteFile(Doc(), ""); }

    std::string App() const { return m_dir.dir(); }
    std::string Doc() const { return m_dir.file("Default.lbv"); }
    std::string Cache(const std::string& rec) const { return m_dir.dir() + rec + "/"; }

    // A recorder with `titles` titles recorded on consecutive days of December 2005.
    void AddRecorder(const std::string& name, int titles, bool withDisc = true) {
        CNetNaviSetting s(App());
        ASSERT_TRUE(s.SetName(name));
        ASSERT_TRUE(s.SetHost("192.168.0.10"));
        ASSERT_TRUE(s.SetModel("RD-XS41"));
        ASSERT_TRUE(s.Save());
        fs::create_directories(Cache(name));
        std::string lib;
        for (int i = 1; i <= titles; ++i)
            lib += "\"HDD\",\"t" + std::to_string(i) + "\",\"" + Date(i) +
                   "\",\"x\",\"21:00\",\"081\",\"\",\"g\",\"1:00\",\"\",\"p.htm\",\"\",\"0000300081\"\r\n";
        WriteFile(Cache(name) + "Library.csv", lib);
        if (withDisc)
            WriteFile(Cache(name) + "Disc.csv",
                      "\"a\",\"b\",\"c\",\"1\",\"2\",\"3\",\"4\",\"5\"\r\n\"HDD_\",\"\",\"1:00\"\r\n");
        m_names += name + "\r\n";
        WriteFile(Doc(), m_names);
    }

    static std::string Date(int day) { return "2005/12/" + std::string(day < 10 ? "0" : "") + std::to_string(day); }
    // The description file name of title i.
    static std::string Description(int day) {
        return Date(day).substr(0, 4) + Date(day).substr(5, 2) + Date(day).substr(8, 2) + "2100081.txt";
    }

    std::set<std::string> Files(const std::string& rec) const {
        std::set<std::string> names;
        std::error_code ec;
        for (const auto& e : fs::directory_iterator(Cache(rec), ec)) names.insert(e.path().filename().string());
        return names;
    }

    CRDTitleDoc& Open() {
        m_doc = std::make_unique<CRDTitleDoc>(App());
        EXPECT_TRUE(m_doc->OnOpenDocument(Doc()));
        return *m_doc;
    }

private:
    TempDir m_dir;
    std::string m_names;
    std::unique_ptr<CRDTitleDoc> m_doc;
};

TEST(LibraryCacheCleanup, DeletesBothListsAndTheReloadedRecorderIsEmpty) {
    CleanupFolder f;
    f.AddRecorder("Living", 3);
    WriteFile(f.Cache("Living") + f.Description(1), "desc");
    // What the last download found new goes with the library, uncounted.
    WriteFile(NewTitlesPath(f.Cache("Living")), "\"NewTitles\",1,0\r\n");
    ASSERT_EQ(f.Open().GetRecorders().at(0)->GetTitleCount(), 3);

    CLEANUPRESULT r = DeleteLibraryCache(f.App(), "Living");
    EXPECT_EQ(r.nCount, 2);
    EXPECT_FALSE(r.bFailed);
    EXPECT_EQ(f.Files("Living"), (std::set<std::string>{f.Description(1)}));
    CRDTitleDoc& doc = f.Open();
    ASSERT_EQ(doc.GetRecorders().size(), 1u);
    EXPECT_EQ(doc.GetRecorders()[0]->GetTitleCount(), 0);
    EXPECT_EQ(doc.GetRecorders()[0]->GetDiscCount(), 0);

    EXPECT_EQ(DeleteLibraryCache(f.App(), "Living").nCount, 0);
}

TEST(LibraryCacheCleanup, CountsOnlyTheListsThatExist) {
    CleanupFolder f;
    f.AddRecorder("Living", 2, false);
    EXPECT_EQ(DeleteLibraryCache(f.App(), "Living").nCount, 1);
    // A recorder without a cache folder, and a name no profile can have.
    EXPECT_EQ(DeleteLibraryCache(f.App(), "Kitchen").nCount, 0);
    CLEANUPRESULT bad = DeleteLibraryCache(f.App(), "My RD");
    EXPECT_EQ(bad.nCount, 0);
    EXPECT_FALSE(bad.bFailed);
}

TEST(DescriptionCleanup, UnusedDeletesOnlyFilesOfTitlesGone) {
    CleanupFolder f;
    f.AddRecorder("Living", 10);
    f.AddRecorder("Bedroom", 10);
    for (int day : {1, 4, 7, 10}) WriteFile(f.Cache("Living") + f.Description(day), "kept");
    for (int day : {11, 12, 13}) WriteFile(f.Cache("Living") + f.Description(day), "gone");
    WriteFile(f.Cache("Bedroom") + f.Description(20), "other recorder");
    CRDTitleDoc& doc = f.Open();

    CLEANUPRESULT r = DeleteUnusedDescriptions(doc, f.App(), "Living");
    EXPECT_EQ(r.nCount, 3);
    EXPECT_FALSE(r.bFailed);
    EXPECT_EQ(f.Files("Living"), (std::set<std::string>{"Library.csv", "Disc.csv", f.Description(1), f.Description(4),
                                                        f.Description(7), f.Description(10)}));
    EXPECT_EQ(f.Files("Bedroom").count(f.Description(20)), 1u);
    EXPECT_EQ(DeleteUnusedDescriptions(doc, f.App(), "Living").nCount, 0);
}

TEST(DescriptionCleanup, AfterTheListsAreGoneEveryDescriptionIsUnused) {
    CleanupFolder f;
    f.AddRecorder("Living", 5);
    for (int day = 1; day <= 5; ++day) WriteFile(f.Cache("Living") + f.Description(day), "d");
    ASSERT_EQ(DeleteLibraryCache(f.App(), "Living").nCount, 2);
    CRDTitleDoc& doc = f.Open();
    EXPECT_EQ(DeleteUnusedDescriptions(doc, f.App(), "Living").nCount, 5);
    EXPECT_TRUE(f.Files("Living").empty());
}

TEST(DescriptionCleanup, ARecorderMissingFromTheDocumentIsLeftAlone) {
    CleanupFolder f;
    f.AddRecorder("Living", 2);
    WriteFile(f.Cache("Living") + f.Description(9), "d");
    CRDTitleDoc empty(f.App());
    EXPECT_EQ(DeleteUnusedDescriptions(empty, f.App(), "Living").nCount, 0);
    EXPECT_EQ(f.Files("Living").count(f.Description(9)), 1u);
}

TEST(DescriptionCleanup, AllDeletesEveryTextFileButNoFolderOrOtherFile) {
    CleanupFolder f;
    f.AddRecorder("Living", 3);
    WriteFile(f.Cache("Living") + f.Description(1), "d");
    WriteFile(f.Cache("Living") + "memo.txt", "the user's own");
    WriteFile(f.Cache("Living") + "NOTE.TXT", "upper case");
    WriteFile(f.Cache("Living") + "keep.dat", "not a description");
    fs::create_directory(f.Cache("Living") + "folder.txt");
    CLEANUPRESULT r = DeleteAllDescriptions(f.App(), "Living");
    EXPECT_EQ(r.nCount, 3);
    EXPECT_FALSE(r.bFailed);
    EXPECT_EQ(f.Files("Living"), (std::set<std::string>{"Library.csv", "Disc.csv", "keep.dat", "folder.txt"}));
    EXPECT_EQ(DeleteAllDescriptions(f.App(), "Kitchen").nCount, 0);
}

TEST(DescriptionCleanup, AFileThatCannotBeDeletedStopsWithItsName) {
    CleanupFolder f;
    f.AddRecorder("Living", 1);
    for (int day = 1; day <= 6; ++day) WriteFile(f.Cache("Living") + f.Description(day), "d");
    const std::string locked = f.Cache("Living") + f.Description(4);
    ASSERT_TRUE(lv::test::MakeReadOnly(locked));

    CLEANUPRESULT r = DeleteAllDescriptions(f.App(), "Living");
    EXPECT_TRUE(r.bFailed);
    EXPECT_NE(r.strError.find(locked), std::string::npos) << r.strError;
    EXPECT_NE(lv::text::Cp932ToUtf8(r.strError).find("を削除できません。"), std::string::npos);
    // Files before it in the folder's order are gone, the file and the rest stay.
    std::set<std::string> left = f.Files("Living");
    EXPECT_EQ(left.count(f.Description(4)), 1u);
    EXPECT_EQ(static_cast<std::size_t>(r.nCount), 6 + 2 - left.size());

    CLEANUPRESULT unused = DeleteUnusedDescriptions(f.Open(), f.App(), "Living");
    EXPECT_TRUE(unused.bFailed);
    EXPECT_NE(unused.strError.find(locked), std::string::npos);
}

TEST(CleanupTexts, QuestionsQuoteTheRecorderAndTheResultCounts) {
    EXPECT_EQ(lv::text::Cp932ToUtf8(CleanupQuestion(CLEANUP_LIBRARY, "Living")),
              "\"Living\"のライブラリ情報を削除します。よろしいですか？");
    EXPECT_EQ(lv::text::Cp932ToUtf8(CleanupQuestion(CLEANUP_UNUSED_DESCRIPTIONS, "RD-1")),
              "\"RD-1\"の未使用の番組説明を削除します。よろしいですか？");
    EXPECT_EQ(lv::text::Cp932ToUtf8(CleanupQuestion(CLEANUP_ALL_DESCRIPTIONS, "x")),
              "\"x\"の番組説明をすべて削除します。よろしいですか？");
    EXPECT_EQ(CleanupResultText(3), SJ("3 個のキャッシュファイルを削除しました。"));
    EXPECT_EQ(CleanupResultText(0), SJ("0 個のキャッシュファイルを削除しました。"));
}

}  // namespace
