#include "core/library/recorder_library.h"

#include <gtest/gtest.h>

#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/library/line_reader.h"
#include "core/library/title_loader.h"
#include "support/sjis.h"
#include "support/temp_dir.h"

using lv::test::TempDir;
using lv::test::WriteFile;

namespace {

const char kHeader[] = "\"No\",\"Name\",\"Free\",\"M1\",\"M2\",\"M3\",\"M4\",\"M5\"\r\n";

struct Loaded {
    CRDRecorderLibrary lib{"RD"};
    bool discOk = false, titleOk = false;
};

void Load(Loaded& l, const std::string& model, const TempDir& dir, const std::string& disc,
          const std::string& library) {
    l.lib.SetModel(model);
    WriteFile(dir.file("Disc.csv"), disc);
    WriteFile(dir.file("Library.csv"), library);
    l.discOk = l.lib.LoadDiscList(dir.file("Disc.csv"));
    l.titleOk = l.lib.LoadTitleList(dir.file("Library.csv"));
}

std::string TitleLine(const std::string& disc, const std::string& title, const std::string& genreKey,
                      const std::string& free = "01:00") {
    return "\"" + disc + "\",\"" + title + "\",\"2005/12/21\",\"" + SJ("水") + "\",\"21:00\",\"081\",\"x\",\"_ " +
           SJ("ニュース") + "\",\"" + free + "\",\"0\",\"p.htm\",\"y\",\"" + genreKey + "\"\r\n";
}

}  // namespace

TEST(RecorderLibrary, LoadsDiscsAndTitlesOfAClassTwoRecorder) {
    TempDir dir;
    Loaded l;
    Load(l, "RD-XS41", dir,
         std::string(kHeader) +
             "\"HDD_\",\"hd\",\"1:30\",\"1:31\",\"1:32\",\"1:33\",\"1:34\",\"1:35\"\r\n\r\n"
             "\"0001\",\"" +
             SJ("ディスク") + "\",\"0:5\",\"1:1\",\"2:2\",\"3:3\",\"4:4\",\"5:5\"   \r\n",
         TitleLine("HDD", SJ("番組"), "0000100081") + "   \r\n" + TitleLine("0001", "B", "0000300012") +
             TitleLine("0009", "C", "junk") + TitleLine("HDD_", "D", ""));
    ASSERT_TRUE(l.discOk);
    ASSERT_TRUE(l.titleOk);
    EXPECT_EQ(l.lib.ModeLabels(), (std::vector<std::string>{"M1", "M2", "M3", "M4", "M5"}));
    ASSERT_EQ(l.lib.GetDiscCount(), 2);
    const CRDDiscInfo& hdd = l.lib.Disc(0);
    EXPECT_EQ(hdd.m_strDiscNo, "HDD");  // "HDD_" shortened in the disc list only
    EXPECT_EQ(hdd.m_nFlags, 55);
    EXPECT_EQ(hdd.m_strRDName, "RD");
    EXPECT_EQ(hdd.m_strFree, "01:30");
    EXPECT_EQ(hdd.m_strFreeN[4], "01:35");
    EXPECT_EQ(l.lib.Disc(1).m_strLabel, SJ("ディスク"));
    EXPECT_EQ(l.lib.Disc(1).m_strFree, "00:05");
    EXPECT_EQ(l.lib.Disc(1).m_strFreeN[1], "02:02");

    ASSERT_EQ(l.lib.GetTitleCount(), 4);
    const CRDTitleInfo& t0 = l.lib.Title(0);
    EXPECT_EQ(t0.Field(TF_TITLE), SJ("番組"));
    EXPECT_EQ(t0.Field(TF_GENRE), SJ("ニュース"));
    EXPECT_EQ(t0.Field(TF_TEXTFILE), "200512212100081.txt");
    EXPECT_EQ(t0.Field(TF_DISCFREE), "01:00");
    EXPECT_EQ(t0.Field(TF_DISCFREE3), "01:33");
    EXPECT_EQ(t0.m_nGenre, 0x10051);
    EXPECT_EQ(t0.GetRemaining(2), "01:33");
    EXPECT_EQ(t0.GetRemaining(7), "01:00");
    EXPECT_EQ(l.lib.Title(1).m_nGenre, 3 * 65536 + 12);
    EXPECT_EQ(l.lib.Title(1).Field(TF_DISCFREE1), "01:01");
    EXPECT_EQ(l.lib.Title(2).m_nGenre, 0);              // genre key that is no number
    EXPECT_EQ(l.lib.Title(2).Field(TF_DISCFREE1), "");  // no such disc
    EXPECT_EQ(l.lib.Title(3).Field(TF_DISC), "HDD_");   // not shortened in the library
    EXPECT_EQ(l.lib.Title(3).Field(TF_DISCFREE1), "");

    TITLEINFO info;
    l.lib.GetTitleInfo(0, info);
    EXPECT_STREQ(info.pszRDName, "RD");
    EXPECT_STREQ(info.apszField[TF_PAGE], "p.htm");
    EXPECT_THROW(l.lib.GetTitleInfo(4, info), std::out_of_range);
    EXPECT_THROW(l.lib.GetTitleInfo(-1, info), std::out_of_range);
    DISCINFO d;
    EXPECT_THROW(l.lib.GetDiscInfo(2, d), std::out_of_range);
    l.lib.FindDisc("0002", d);
    EXPECT_EQ(d.pszDiscNo, nullptr);
    l.lib.FindDisc("0001", d);
    EXPECT_STREQ(d.pszFree, "00:05");
}

TEST(RecorderLibrary, ClassOneUsesPlainQuotingAndTheLibraryRemainingTime) {
    TempDir dir;
    Loaded l;
    std::string derived =
        "\"Disc No.\",\"" + SJ("ディスク名") + "\",\"" + SJ("残量時間") + "\"\r\n\"0001\",\"\",\"1:05\"\r\n";
    Load(l, "RD-XS40", dir, derived,
         "\"0001\",\"a\"\"b\",\"2005/12/21\",\"x\",\"21:00\",\"081\",\"\",\"g\",\"02:10\",\"\",\"p\",\"\",\"\"\r\n");
    ASSERT_EQ(l.lib.GetDiscCount(), 1);
    const CRDDiscInfo& d = l.lib.Disc(0);
    EXPECT_EQ(d.m_nFlags, 7);
    for (const auto& f : d.m_strFreeN) EXPECT_EQ(f, "01:05");
    EXPECT_EQ(l.lib.ModeLabels(), (std::vector<std::string>{"", "", "", "", ""}));
    const CRDTitleInfo& t = l.lib.Title(0);
    EXPECT_EQ(t.Field(TF_TITLE), "a\"\"b");
    for (int m = 0; m < 5; ++m) EXPECT_EQ(t.GetRemaining(m), "02:10");
}

TEST(RecorderLibrary, ClassZeroIsParsedLikeTwoWithFlagsSeven) {
    TempDir dir;
    Loaded l;
    Load(l, "rd-xs40", dir, std::string(kHeader) + "\"0002\",\"n\",\"1:00\",\"1\",\"2\",\"3\",\"4\",\"5\"\n",
         TitleLine("0002", "a\"\"b", "0000000064"));
    EXPECT_EQ(l.lib.GetModelClass(), 0);
    EXPECT_EQ(l.lib.Disc(0).m_nFlags, 7);
    EXPECT_EQ(l.lib.Title(0).Field(TF_TITLE), "a\"b");
    EXPECT_EQ(l.lib.Title(0).Field(TF_DISCFREE5), "5");
    EXPECT_EQ(l.lib.Title(0).m_nGenre, 0x40);
}

TEST(RecorderLibrary, MissingAndEmptyFiles) {
    TempDir dir;
    CRDRecorderLibrary lib("RD");
    lib.SetModel("RD-Z1");
    EXPECT_FALSE(lib.LoadDiscList(dir.file("none.csv")));
    EXPECT_TRUE(lib.ModeLabels().empty());
    WriteFile(dir.file("Library.csv"), TitleLine("0001", "t", "0000100064"));
    EXPECT_TRUE(lib.LoadTitleList(dir.file("Library.csv")));
    EXPECT_EQ(lib.Title(0).Field(TF_DISCFREE2), "");

    CRDRecorderLibrary empty("E");
    WriteFile(dir.file("empty.csv"), "");
    EXPECT_TRUE(empty.LoadDiscList(dir.file("empty.csv")));
    EXPECT_EQ(empty.ModeLabels().size(), 5u);
    EXPECT_EQ(empty.GetDiscCount(), 0);
    EXPECT_FALSE(empty.LoadTitleList(dir.file("missing.csv")));
    EXPECT_EQ(empty.GetTitleCount(), 0);
}

TEST(RecorderLibrary, HostileLinesGiveRecordsNotCrashes) {
    TempDir dir;
    std::string huge(50u << 20, 'A');  // one 50 MB line
    std::string nul("\"0001\",\"be\0fore\",\"2005/01/01\"\n", 30);
    std::string lines = "\"" + huge + "\",\"" + huge + "\n" + nul +
                        "\"0001\",\"bad\x81\",\"x\x82\",\"\xFC\",\"\",\"\",\"\",\"\x83\"\n" + "\"0001\",\"" +
                        std::string(300, '\x82') + "\"\n" + "\"\x83\n" + "\x83";
    Loaded l;
    Load(l, "RD-XS41", dir, std::string(kHeader) + "\"" + huge + "\n\"\x83\",\"\x83\n", lines);
    EXPECT_EQ(l.lib.GetDiscCount(), 2);
    EXPECT_EQ(l.lib.Disc(0).m_strDiscNo, "AAAA");
    ASSERT_EQ(l.lib.GetTitleCount(), 6);
    EXPECT_EQ(l.lib.Title(0).Field(TF_DISC), "AAAA");
    EXPECT_EQ(l.lib.Title(0).Field(TF_TITLE).size(), 128u);  // unterminated: keeps what was copied
    EXPECT_EQ(l.lib.Title(0).Field(TF_DATE), "");
    EXPECT_EQ(l.lib.Title(1).Field(TF_TITLE), "be");  // a NUL byte ends the line's text
    EXPECT_EQ(l.lib.Title(2).Field(TF_TITLE), "bad\x81");
    EXPECT_EQ(l.lib.Title(3).Field(TF_TITLE).size(), 128u);
    EXPECT_EQ(l.lib.Title(4).Field(TF_DISC), "\x83");
    EXPECT_EQ(l.lib.Title(5).Field(TF_DISC), "\x83");
}

TEST(RecorderLibrary, TrailingSpacesOfALineGoByWholeCharacters) {
    TempDir dir;
    Loaded l;
    // A lead byte followed by a space is one character: that space stays. A
    // CR before the LF belongs to the line end, whatever byte precedes it.
    Load(l, "RD-XS41", dir, kHeader,
         "\"0001\",t\x82   \r\n\"0002\",plain  \r\n\"0003\",\x82 \x82  \r\n\"0004\",u\x82\r\n");
    ASSERT_EQ(l.lib.GetTitleCount(), 4);
    EXPECT_EQ(l.lib.Title(0).Field(TF_TITLE), "t\x82 ");
    EXPECT_EQ(l.lib.Title(1).Field(TF_TITLE), "plain");
    EXPECT_EQ(l.lib.Title(2).Field(TF_TITLE), "\x82 \x82 ");
    EXPECT_EQ(l.lib.Title(3).Field(TF_TITLE), "u\x82");
}

TEST(TitleRecord, DerivedFieldsStepByWholeCharacters) {
    EXPECT_EQ(MakeTextFileName("2005/12/21", "21:00", "081"), "200512212100081.txt");
    // "ソ" ends in a backslash byte, which stays; a lone backslash or slash goes.
    EXPECT_EQ(MakeTextFileName("..", "/", SJ("ソ") + "\\..\\x"), ".." + SJ("ソ") + "..x.txt");
    CRDTitleInfo t;
    TITLEINFO v{};
    std::string genre = "_ _" + SJ("表") + "_b";
    v.apszField[TF_GENRE] = genre.c_str();
    v.apszField[TF_TITLE] = "t";
    v.apszField[TF_TEXTFILE] = "ignored";
    v.nGenre = 5;
    t.SetInfo(v);
    EXPECT_EQ(t.Field(TF_GENRE), SJ("表") + "_b");
    EXPECT_EQ(t.Field(TF_DISC), "");
    EXPECT_EQ(t.Field(TF_TEXTFILE), ".txt");
    EXPECT_EQ(t.m_nGenre, 5);
    std::string plain = "a_b";
    v.apszField[TF_GENRE] = plain.c_str();
    t.SetInfo(v);
    EXPECT_EQ(t.Field(TF_GENRE), "a_b");
}

TEST(TitleRecord, HugeFieldsFromAViewAreCutWithoutCorruptingTheOthers) {
    // Every field far beyond any cache limit, as a caller of AddTitle may hand them.
    std::vector<std::string> texts;
    TITLEINFO v{};
    for (int f = 0; f < TF_TEXTFILE; ++f) texts.push_back(std::string(5000, static_cast<char>('a' + f)));
    for (int f = 0; f < TF_TEXTFILE; ++f) v.apszField[f] = texts[f].c_str();
    CRDRecorderLibrary lib("RD");
    lib.AddTitle(v);
    const CRDTitleInfo& t = lib.Title(0);
    for (int f = 0; f < TF_TEXTFILE; ++f) {
        std::string_view got = t.Field(static_cast<TITLE_FIELD>(f));
        ASSERT_FALSE(got.empty()) << f;
        EXPECT_LT(got.size(), 5000u) << f;
        EXPECT_EQ(got.find_first_not_of(static_cast<char>('a' + f)), std::string_view::npos) << f;
    }
    std::string_view file = t.Field(TF_TEXTFILE);
    ASSERT_GE(file.size(), 4u);
    EXPECT_EQ(file.substr(file.size() - 4), ".txt");
    EXPECT_EQ(file.substr(0, t.Field(TF_DATE).size()), t.Field(TF_DATE));
    TITLEINFO back{};
    lib.GetTitleInfo(0, back);
    EXPECT_EQ(std::string_view(back.apszField[TF_TEXTFILE]), file);
}

namespace {

// Each vector level is held to the plain one on the same files; a level this
// processor or build lacks is skipped, not run as a lower one.
class LoaderLevel : public testing::TestWithParam<lv::LoaderLevel> {
protected:
    void SetUp() override {
        if (GetParam() > lv::TopLoaderLevel()) GTEST_SKIP() << "not run by this processor or build";
    }
    void TearDown() override { lv::CapLoaderLevel(lv::LoaderLevel::Avx512); }

    // Loads the files by the plain level into `plain` and by the level under
    // test into `tested`; each title of one equals the other's.
    void LoadBoth(Loaded& plain, Loaded& tested, const std::string& model, const std::string& disc,
                  const std::string& library) {
        TempDir dir;
        lv::CapLoaderLevel(lv::LoaderLevel::Plain);
        Load(plain, model, dir, disc, library);
        lv::CapLoaderLevel(GetParam());
        Load(tested, model, dir, disc, library);
        ASSERT_EQ(tested.lib.Titles().size(), plain.lib.Titles().size());
        for (std::size_t i = 0; i < plain.lib.Titles().size(); ++i) {
            const CRDTitleInfo& want = plain.lib.Title(static_cast<int>(i));
            const CRDTitleInfo& got = tested.lib.Title(static_cast<int>(i));
            for (int f = 0; f < TF_COUNT; ++f) {
                const auto field = static_cast<TITLE_FIELD>(f);
                ASSERT_EQ(got.Field(field), want.Field(field)) << "field " << f << " of title " << i;
                ASSERT_EQ(std::string_view(got.CStr(field)), got.Field(field)) << f;
            }
            ASSERT_EQ(got.m_nGenre, want.m_nGenre) << i;
        }
        // A scan at the level reads the ids as the plain load read them.
        std::size_t at = 0, scanned = 0;
        const auto& titles = plain.lib.Titles();
        EXPECT_TRUE(tested.lib.ScanTitleIds(dir.file("Library.csv"), [&](const std::vector<TITLE_ID_VIEW>& ids) {
            scanned += ids.size();
            for (const TITLE_ID_VIEW& id : ids) {
                if (at >= titles.size()) break;  // too many: the count below says so
                const CRDTitleInfo& t = titles[at++];
                EXPECT_EQ(id.date, t.Field(TF_DATE)) << at;
                EXPECT_EQ(id.time, t.Field(TF_TIME)) << at;
                EXPECT_EQ(id.channel, t.Field(TF_CHANNEL)) << at;
                EXPECT_EQ(id.title, t.Field(TF_TITLE)) << at;
            }
            return !HasFailure();
        }));
        EXPECT_EQ(scanned, titles.size());
    }
};

const std::string kTwoDiscs = std::string(kHeader) +
                              "\"HDD_\",\"\",\"1:00\",\"0:1\",\"0:2\",\"0:3\",\"0:4\",\"0:5\"\r\n" +
                              "\"0001\",\"d\",\"2:00\",\"1:1\",\"1:2\",\"1:3\",\"1:4\",\"1:5\"\r\n";

const char* const kLevelNames[] = {"Plain", "Sse2", "Avx2", "Avx512"};

std::string LevelName(const testing::TestParamInfo<lv::LoaderLevel>& info) {
    return kLevelNames[static_cast<int>(info.param)];
}

}  // namespace

namespace lv {

// The level's name in the tests' list, instead of its bytes.
void PrintTo(LoaderLevel level, std::ostream* os) { *os << kLevelNames[static_cast<int>(level)]; }

}  // namespace lv

INSTANTIATE_TEST_SUITE_P(Levels, LoaderLevel,
                         testing::Values(lv::LoaderLevel::Sse2, lv::LoaderLevel::Avx2, lv::LoaderLevel::Avx512),
                         LevelName);

// Lines made of the bytes that matter to the splitter (quotes, commas, lead
// bytes, backslashes, "_", spaces, digits), in both quoting modes; a title
// parsed on its own is the same as loaded.
TEST_P(LoaderLevel, RandomLinesLoadAsThePlainLevelLoadsThem) {
    const char alphabet[] = {'"', '"', '"', ',', ',', ',', ',',    'a', 'b', '\x83', '\x5c', '_',
                             ' ', '0', '1', '9', ':', '/', '\x81', '+', '-', 'H',    'D'};
    unsigned seed = 12345;
    auto next = [&seed](unsigned n) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 16) % n;
    };
    std::vector<std::string> lines;
    for (int i = 0; i < 3000; ++i) {
        std::string line;
        const unsigned length = next(3) == 0 ? next(300) : next(60);
        // Mostly well-formed fields, with stray bytes among them.
        for (unsigned k = 0; k < length; ++k) line += alphabet[next(sizeof alphabet)];
        if (next(2)) line = "\"" + std::string(next(2) ? "HDD" : "0001") + "\"," + line;
        lines.push_back(line);
    }
    std::string file;
    for (const auto& line : lines) file += line + "\r\n";
    for (const char* model : {"RD-XS40", "RD-XS41"}) {
        SCOPED_TRACE(model);
        Loaded plain, tested;
        LoadBoth(plain, tested, model, kTwoDiscs, file);
        std::size_t index = 0;
        for (const auto& raw : lines) {
            std::string line = raw.substr(0, lv::TrimmedLength(raw.data(), raw.size(), true));
            if (line.empty()) continue;
            ASSERT_LT(index, tested.lib.Titles().size());
            const CRDTitleInfo& got = tested.lib.Title(static_cast<int>(index++));
            CRDTitleInfo alone;
            ParseTitleLine(line.c_str(), tested.lib.GetModelClass(), tested.lib, alone);
            for (int f = 0; f < TF_COUNT; ++f)
                ASSERT_EQ(alone.Field(static_cast<TITLE_FIELD>(f)), got.Field(static_cast<TITLE_FIELD>(f))) << f;
            ASSERT_EQ(alone.m_nGenre, got.m_nGenre) << line;
        }
        EXPECT_EQ(index, tested.lib.Titles().size());
    }
}

// Lines longer than one line's masks reach, or than the read buffer, lines
// holding a NUL, genre keys that are nearly ten digits, lines quoted all but
// at their end, lines across the buffer's refills and a last line without
// its line end.
TEST_P(LoaderLevel, LongLinesNulsAndTheLastLineLoadAsThePlainLevelLoadsThem) {
    const std::string pad(700, 'x');
    const std::string tail = "\",\"2005/12/21\",\"w\",\"21:00\",\"081\",\"";
    std::vector<std::string> lines;
    for (std::size_t i = 0; i < 100; ++i) {
        const std::string cut = pad.substr(0, i * 7);
        lines.push_back("\"HDD\",\"" + cut + tail + "u\",\"_g\",\"1:00\",\"0\",\"p\",\"y\",\"0000100002\"");
        lines.push_back("\"0001\",\"t" + tail + cut + "\",\"g\",\"1:00\",\"0\",\"p\",\"y\",\"0000200003\"");
        lines.push_back("\"HDD\",\"a\"\"b" + cut + "\",c,\"d\"");
        lines.push_back(std::string("\"HDD\",\"a\0b\",\"c\",\"d\"\0", 20) + cut);
    }
    // Genre keys of ten digits, and near misses, which take the slow reading.
    for (const char* key : {"0000600084", "9999999999", "0000000000", "12345678x0", "+000100002", " 000100002",
                            "00001000020", "000010000"})
        lines.push_back("\"0001\",\"k" + tail + "u\",\"g\",\"1:00\",\"0\",\"p\",\"y\",\"" + key + "\"");
    // Every field quoted but the last, which is a lone quote, empty, or
    // unquoted; every field quoted, a quote doubled inside one.
    for (const char* key : {"\"", "\"\"", "", "0000100002", "\"0000100002\",\""})
        lines.push_back("\"0001\",\"k" + tail + "u\",\"g\",\"1:00\",\"0\",\"p\",\"y\"," + key);
    lines.push_back("\"0001\",\"a\"\"b" + tail + "u\",\"g\",\"1:00\",\"0\",\"p\",\"y\",\"0000100002\"");
    lines.push_back("\"HDD\",\"" + std::string(600000, 'y') + tail + "u\"");
    lines.push_back("\"0001\",\"last" + tail + "u\",\"g\",\"2:00\",\"0\",\"p\",\"y\",\"0000300004\"");
    std::string file;
    for (const auto& line : lines) file += line + (&line == &lines.back() ? "" : "\r\n");
    for (const char* model : {"RD-XS40", "RD-XS41"}) {
        SCOPED_TRACE(model);
        Loaded plain, tested;
        LoadBoth(plain, tested, model, kTwoDiscs, file);
        EXPECT_EQ(tested.lib.Titles().size(), lines.size());
    }
}

// A scan sees what tells each title a load keeps, block after block, with
// lines across the blocks, lines longer than a block, odd lines and a last
// line without its line end; a scan told to stop stops.
TEST(TitleRecord, AScanHandsTheLoadedTitlesIdsABlockAtATime) {
    const std::string odd[] = {std::string("\"0001\",\"n\0ul\",\"x\"", 17),
                               "\"HDD\",\"" + std::string(300000, 'y') + "\"",
                               std::string("\"HDD\",a,2005/12/21,w,21:00,\"08\0\",\"x\"", 36) + "  ",
                               "\"HDD\",\"a\"b\",\"2005/12/21\",w,21:00,081,x, ",
                               "HDD,\"" + SJ("表") + "\",2005/12/210,w,21:00:00,0123456789,\"x",
                               std::string("HDD,t\0x,2005/12/21,w,21:00,081", 30)};
    std::string file;
    for (int i = 0; i < 6000; ++i)
        file +=
            TitleLine(i % 3 ? "HDD" : "0001",
                      std::string(static_cast<std::size_t>(i % 150), 't') + std::to_string(i) + (i % 7 ? "" : "\"\"q"),
                      "0000100002") +
            (i % 400 ? "" : odd[i / 400 % 6] + "\r\n");
    file += "\"0001\",\"last\",\"2005/12/21\"";
    for (const char* model : {"RD-XS40", "RD-XS41"}) {
        SCOPED_TRACE(model);
        TempDir dir;
        Loaded l;
        Load(l, model, dir, kHeader, file);
        std::vector<std::vector<std::string>> seen;
        int blocks = 0;
        EXPECT_TRUE(l.lib.ScanTitleIds(dir.file("Library.csv"), [&](const auto& ids) {
            ++blocks;
            for (const TITLE_ID_VIEW& id : ids)
                seen.push_back(
                    {std::string(id.date), std::string(id.time), std::string(id.channel), std::string(id.title)});
            return true;
        }));
        int stoppedAfter = 0;
        EXPECT_FALSE(l.lib.ScanTitleIds(dir.file("Library.csv"), [&](const auto&) { return ++stoppedAfter < 2; }));
        EXPECT_GT(blocks, 3);
        EXPECT_EQ(stoppedAfter, 2);
        ASSERT_EQ(seen.size(), l.lib.Titles().size());
        for (std::size_t i = 0; i < seen.size(); ++i) {
            const CRDTitleInfo& t = l.lib.Title(static_cast<int>(i));
            ASSERT_EQ(seen[i],
                      (std::vector<std::string>{std::string(t.Field(TF_DATE)), std::string(t.Field(TF_TIME)),
                                                std::string(t.Field(TF_CHANNEL)), std::string(t.Field(TF_TITLE))}))
                << "title " << i;
        }
    }
    EXPECT_FALSE(CRDRecorderLibrary("RD").ScanTitleIds("missing.csv", [](const auto&) { return true; }));
}
