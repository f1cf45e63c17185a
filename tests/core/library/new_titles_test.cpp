#include "core/library/new_titles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "core/library/recorder_library.h"
#include "support/sjis.h"
#include "support/temp_dir.h"

using lv::test::TempDir;
using lv::test::WriteFile;

namespace {

// A class 2 library line; the disc, the page and the remaining time are what a
// move to another disc changes.
std::string Line(const std::string& disc, const std::string& title, const std::string& date,
                 const std::string& page = "p.htm") {
    std::string quoted;
    for (char ch : title) quoted += ch == '"' ? std::string("\"\"") : std::string(1, ch);
    return "\"" + disc + "\",\"" + quoted + "\",\"" + date + "\",\"" + SJ("水") +
           "\",\"21:00\",\"081\",\"\",\"_news\",\"1:00\",\"0\",\"" + page + "\",\"\",\"0000100002\"\r\n";
}

TITLEID Id(const std::string& title, const std::string& date, int occurrence = 1) {
    return {date, "21:00", "081", title, occurrence};
}

std::vector<CRDTitleInfo> Titles(const TempDir& dir, const std::string& library) {
    WriteFile(dir.file("L.csv"), library);
    CRDRecorderLibrary lib("RD");
    lib.SetModel("RD-XS41");
    lib.LoadTitleList(dir.file("L.csv"));
    return lib.Titles();
}

}  // namespace

TEST(NewTitles, ATitleIsKnownByItsRecordingWhereverItIsStored) {
    TempDir dir;
    const std::string a = Line("HDD", SJ("映画"), "2005/12/01"), b = Line("HDD", "B", "2005/12/02"),
                      c = Line("001", "C", "2005/12/03"), d = Line("HDD", "D", "2005/12/04");
    struct Case {
        const char* what;
        std::string before;
        std::string after;
        NEWTITLES expected;
    } cases[] = {
        {"the same library again", a + b + c + d, a + b + c + d, {}},
        // A moved to a DVD with another page, in another line; C erased; E
        // recorded; D dubbed as a copy, which is a title of its own.
        {"moved, erased, recorded, copied",
         a + b + c + d,
         b + Line("002", SJ("映画"), "2005/12/01", "q.htm") + d + Line("HDD", "E", "2005/12/05") +
             Line("001", "D", "2005/12/04"),
         {{Id("E", "2005/12/05"), Id("D", "2005/12/04", 2)}, 1}},
        // A title renamed on the recorder is another title.
        {"renamed", a + b, a + Line("HDD", "B2", "2005/12/02"), {{Id("B2", "2005/12/02")}, 1}},
    };
    for (const Case& c : cases) {
        WriteFile(dir.file("before.csv"), c.before);
        WriteFile(dir.file("after.csv"), c.after);
        EXPECT_EQ(CompareLibraryFiles("RD-XS41", dir.file("before.csv"), dir.file("after.csv")), c.expected) << c.what;
    }
    // A first download has nothing to compare with.
    EXPECT_EQ(CompareLibraryFiles("RD-XS41", dir.file("none.csv"), dir.file("after.csv")), NEWTITLES{});
}

TEST(NewTitles, TheFileComesBackAndMarksTheTitlesItNames) {
    TempDir dir;
    const std::string odd = SJ("\"ソ\",表");  // a quote, a comma and 表, whose second byte is 0x5C
    const NEWTITLES news{{Id(odd, "2005/12/01"), Id("D", "2005/12/04", 2)}, 3};
    const std::string path = NewTitlesPath(dir.dir());
    ASSERT_TRUE(SaveNewTitles(path, news));
    EXPECT_EQ(LoadNewTitles(path), news);

    const auto titles = Titles(dir, Line("HDD", "D", "2005/12/04") + Line("HDD", odd, "2005/12/01") +
                                        Line("001", "D", "2005/12/04") + Line("HDD", odd, "2005/12/02"));
    EXPECT_EQ(MarkNewTitles(news, titles), (std::vector<bool>{false, true, true, false}));
}

TEST(NewTitles, ABrokenFileMeansNoNews) {
    TempDir dir;
    const std::string header = "\"NewTitles\",1,3\r\n";
    const std::string good = "\"2005/12/01\",\"21:00\",\"081\",\"A\",1\r\n";
    const std::string broken[] = {
        "",
        "\"NewTitles\",2,3\r\n" + good,  // a later format
        "\"NewTitles\",1,-1\r\n",
        header + "\"2005/12/01\",\"21:00\",\"081\",\"A\",0\r\n",
        header + "\"2005/12/01\",\"21:00\",\"081\",\"A\",1,extra\r\n",
        header + "\"2005/12/01\",\"21:00\",\"081\r\n",
        header + "\"2005/12/01\",\"21:00\",\"081\",\"" + std::string(200, 'x') + "\",1\r\n",
        header + good + std::string("\0", 1) + "\r\n",
    };
    const std::string path = dir.file("NewTitles.csv");
    for (const std::string& bytes : broken) {
        WriteFile(path, bytes);
        EXPECT_EQ(LoadNewTitles(path), NEWTITLES{}) << bytes;
    }
    WriteFile(path, header + good + "\r\n");
    EXPECT_EQ(LoadNewTitles(path), (NEWTITLES{{Id("A", "2005/12/01")}, 3}));
    std::filesystem::remove(path);
    std::filesystem::create_directory(path);
    EXPECT_EQ(LoadNewTitles(path), NEWTITLES{});
    EXPECT_EQ(LoadNewTitles(dir.file("missing.csv")), NEWTITLES{});
}
