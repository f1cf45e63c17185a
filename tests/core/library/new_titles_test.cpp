#include "core/library/new_titles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <map>
#include <random>
#include <string>
#include <tuple>
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

namespace {

// The comparison as plainly as it can be written: the four texts as the key.
NEWTITLES PlainCompare(const std::vector<CRDTitleInfo>& before, const std::vector<CRDTitleInfo>& after) {
    using Key = std::tuple<std::string, std::string, std::string, std::string>;
    auto key = [](const CRDTitleInfo& t) {
        return Key(t.Field(TF_DATE), t.Field(TF_TIME), t.Field(TF_CHANNEL), t.Field(TF_TITLE));
    };
    std::map<Key, int> left, seen;
    for (const CRDTitleInfo& t : before) ++left[key(t)];
    NEWTITLES news;
    for (const CRDTitleInfo& t : after) {
        const Key k = key(t);
        const int n = ++seen[k];
        if (left[k] > 0) {
            --left[k];
            continue;
        }
        news.aNew.push_back({std::get<0>(k), std::get<1>(k), std::get<2>(k), std::get<3>(k), n});
    }
    for (const auto& [k, count] : left) news.nRemoved += count;
    return news;
}

// Every title hashes alike but for its date's last digit: nearly all keys collide.
std::uint64_t PoorHash(const CRDTitleInfo& t) { return static_cast<std::uint64_t>(t.Field(TF_DATE).back() & 1); }

}  // namespace

TEST(NewTitles, TheHashedComparisonFindsWhatThePlainOneFinds) {
    TempDir dir;
    std::mt19937 random(7);
    auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    // Few names and dates, so that copies of one recording and near misses abound.
    auto line = [&] {
        const std::string names[] = {"A", "B", SJ("映画"), SJ("表"), "A ", ""};
        return Line(pick(3) ? "HDD" : "00" + std::to_string(1 + pick(5)), names[pick(6)],
                    "2005/12/0" + std::to_string(1 + pick(4)), pick(2) ? "p.htm" : "q.htm");
    };
    for (int round = 0; round < 40; ++round) {
        std::vector<std::string> before;
        for (int i = pick(60); i > 0; --i) before.push_back(line());
        // The next library: some titles gone, some moved, some recorded or copied.
        std::vector<std::string> after;
        for (const std::string& l : before)
            if (pick(4)) after.push_back(l);
        std::shuffle(after.begin(), after.end(), random);
        for (int i = pick(20); i > 0; --i)
            after.insert(after.begin() + pick(static_cast<int>(after.size()) + 1), line());
        std::string b, a;
        for (const std::string& l : before) b += l;
        for (const std::string& l : after) a += l;
        const auto old = Titles(dir, b), now = Titles(dir, a);
        const NEWTITLES expected = PlainCompare(old, now);
        EXPECT_EQ(CompareLibraries(old, now), expected) << "round " << round;
        EXPECT_EQ(CompareLibraries(old, now, {}, &PoorHash), expected) << "round " << round;
    }
}

TEST(NewTitles, AComparisonAskedToStopGivesNothing) {
    TempDir dir;
    std::string library;
    for (int i = 0; i < 10000; ++i) library += Line("HDD", "T" + std::to_string(i), "2005/12/01");
    const auto old = Titles(dir, library), now = Titles(dir, Line("HDD", "new", "2005/12/02") + library);
    int asked = 0;
    EXPECT_EQ(CompareLibraries(old, now, [&] { return ++asked > 1; }), NEWTITLES{});
    EXPECT_GT(asked, 1);
    EXPECT_EQ(CompareLibraries(old, now, [] { return false; }).aNew.size(), 1u);
}

// Libraries of many read blocks, with titles changed, gone, recorded and
// copied, compare as their loaded titles do.
TEST(NewTitles, LibraryFilesOfManyBlocksCompareAsTheirLoadedTitles) {
    TempDir dir;
    std::mt19937 random(11);
    auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    std::string before, after;
    for (int i = 0; i < 8000; ++i) {
        const std::string date = "2005/12/" + std::to_string(10 + pick(20));
        const std::string l = Line(pick(2) ? "HDD" : "001", "T" + std::to_string(pick(3000)), date);
        before += l;
        const int fate = pick(10);
        if (fate > 1) after += l;
        if (fate == 0) after += Line("HDD", "U" + std::to_string(pick(3000)), date);
        if (fate == 9) after += l + Line("002", "T\"" + std::to_string(pick(10)), date, "q.htm");
    }
    WriteFile(dir.file("before.csv"), before);
    WriteFile(dir.file("after.csv"), after);
    const NEWTITLES news = CompareLibraryFiles("RD-XS41", dir.file("before.csv"), dir.file("after.csv"));
    EXPECT_EQ(news, PlainCompare(Titles(dir, before), Titles(dir, after)));
    EXPECT_GT(news.aNew.size(), 1000u);
    EXPECT_GT(news.nRemoved, 1000);
}

// The table is sized for the last library: one that grew many times over
// between two downloads makes it grow in the middle of a read block.
TEST(NewTitles, ALibraryThatGrewManyTimesOverComparesAsItsLoadedTitles) {
    TempDir dir;
    const std::string before = Line("HDD", "A", "2005/12/01") + Line("HDD", "gone", "2005/12/01");
    std::string after = Line("HDD", "A", "2005/12/01");
    for (int i = 0; i < 3000; ++i) after += Line(i % 2 ? "HDD" : "001", "T" + std::to_string(i % 2500), "2005/12/02");
    WriteFile(dir.file("before.csv"), before);
    WriteFile(dir.file("after.csv"), after);
    const NEWTITLES news = CompareLibraryFiles("RD-XS41", dir.file("before.csv"), dir.file("after.csv"));
    EXPECT_EQ(news, PlainCompare(Titles(dir, before), Titles(dir, after)));
    EXPECT_EQ(news.aNew.size(), 3000u);
}

// Downloads that differ from the last in a few lines together: the lines both
// share at their start and end are not compared, yet copies of a recording
// among them still number its titles, and the last copies are the new ones.
TEST(NewTitles, LibrariesThatShareTheirFirstAndLastLinesCompareAsTheirLoadedTitles) {
    TempDir dir;
    std::mt19937 random(5);
    auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    // Few recordings, so that a new one often has copies in the shared lines.
    auto line = [&] {
        return Line(pick(2) ? "HDD" : "001", std::string(1, static_cast<char>('A' + pick(4))),
                    "2005/12/0" + std::to_string(1 + pick(3)), pick(2) ? "p.htm" : "q.htm");
    };
    auto lines = [&](int most) {
        std::string text;
        for (int i = pick(most + 1); i > 0; --i) text += line();
        return text;
    };
    for (int round = 0; round < 300; ++round) {
        const std::string head = lines(6), tail = lines(6);
        std::string before = head + lines(4) + tail, after = head + lines(4) + tail;
        // A last line without its line end, the same in both or not.
        if (pick(4) == 0) {
            const std::string last = line();
            before += last.substr(0, last.size() - 2);
            after += pick(2) ? last.substr(0, last.size() - 2) : line().substr(0, last.size() - 3);
        }
        WriteFile(dir.file("before.csv"), before);
        WriteFile(dir.file("after.csv"), after);
        ASSERT_EQ(CompareLibraryFiles("RD-XS41", dir.file("before.csv"), dir.file("after.csv")),
                  PlainCompare(Titles(dir, before), Titles(dir, after)))
            << "round " << round << "\n"
            << before << "--\n"
            << after;
    }
    // Shared parts of many read blocks, a copy of the new recording in each.
    const std::string copy = Line("002", "N", "2005/12/03");
    std::string head, tail;
    for (int i = 0; i < 4000; ++i) {
        head += Line("HDD", "T" + std::to_string(i), "2005/12/01") + (i == 2000 ? copy : "");
        tail += Line("001", "U" + std::to_string(i), "2005/12/02") + (i == 1000 ? copy : "");
    }
    const std::string before = Line("HDD", "gone", "2005/12/04") + head + tail;
    const std::string after = head + Line("HDD", "N", "2005/12/03") + tail;
    WriteFile(dir.file("before.csv"), before);
    WriteFile(dir.file("after.csv"), after);
    EXPECT_EQ(CompareLibraryFiles("RD-XS41", dir.file("before.csv"), dir.file("after.csv")),
              (NEWTITLES{{Id("N", "2005/12/03", 3)}, 1}));
}
