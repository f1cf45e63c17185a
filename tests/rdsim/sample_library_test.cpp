#include "sample/sample_library.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <set>

#include "core/library/recorder_library.h"
#include "core/text/codec.h"
#include "core/text/cp932.h"
#include "support/sjis.h"
#include "support/temp_dir.h"

using lv::sample::SampleDisc;
using lv::sample::SampleLibrary;
using lv::sample::SampleOptions;
using lv::sample::SampleTitle;
using lv::test::TempDir;

namespace {

// A model name of each class, as a recorder profile would name it.
const char* ModelOf(int modelClass) {
    switch (modelClass) {
    case 1: return "RD-XS40";
    case 2: return "RD-XS41";
    case 3: return "RD-Z1";
    default: return "";
    }
}

std::string Hm(int minutes) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d:%02d", minutes / 60, minutes % 60);
    return buf;
}

std::string StripGenreLead(std::string s) { return s.substr(std::min(s.size(), s.find_first_not_of("_ "))); }

// Loads the generated cache files the way the document does: discs first.
struct Loaded {
    TempDir dir;
    CRDRecorderLibrary lib{"RD"};
    Loaded(const SampleLibrary& sample, int modelClass) {
        const lv::Result<> written = sample.WriteCacheFiles(dir.dir());
        EXPECT_TRUE(written) << written.Error();
        lib.SetModel(ModelOf(modelClass));
        EXPECT_TRUE(lib.LoadDiscList(dir.file("Disc.csv")));
        EXPECT_TRUE(lib.LoadTitleList(dir.file("Library.csv")));
    }
};

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> out;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find("\r\n", pos);
        if (end == std::string::npos) end = text.size();
        out.push_back(text.substr(pos, end - pos));
        pos = end + 2;
    }
    return out;
}

class SampleByClass : public ::testing::TestWithParam<int> {};

}  // namespace

TEST_P(SampleByClass, CacheFilesParseBackIntoTheGeneratedRecords) {
    const int modelClass = GetParam();
    const SampleLibrary sample({.titles = 600, .discs = 14, .modelClass = modelClass, .seed = 7});
    Loaded l(sample, modelClass);
    const auto& discs = sample.Discs();
    const auto& titles = sample.Titles();

    ASSERT_EQ(l.lib.GetTitleCount(), 600);
    if (modelClass == 1) {
        // The derived list: one line per DVD in order, no hard disk, no labels.
        ASSERT_EQ(l.lib.GetDiscCount(), 14);
        for (int j = 0; j < 14; ++j) {
            const CRDDiscInfo& d = l.lib.Disc(j);
            EXPECT_EQ(d.m_strDiscNo, discs[static_cast<std::size_t>(j + 1)].strNo);
            EXPECT_EQ(d.m_strLabel, "");
            EXPECT_EQ(d.m_strFree, Hm(discs[static_cast<std::size_t>(j + 1)].nFree));
            EXPECT_EQ(d.m_nFlags, DISC_FLAGS_CLASS01);
        }
        EXPECT_EQ(l.lib.ModeLabels(), std::vector<std::string>(5, ""));
    } else {
        ASSERT_EQ(l.lib.GetDiscCount(), 15);
        EXPECT_EQ(l.lib.Disc(0).m_strDiscNo, "HDD");
        EXPECT_EQ(l.lib.Disc(0).m_strLabel, SJ("ハードディスク"));
        for (std::size_t j = 0; j < discs.size(); ++j) {
            const CRDDiscInfo* d = l.lib.FindDisc(discs[j].strNo);
            ASSERT_NE(d, nullptr) << discs[j].strNo;
            EXPECT_EQ(d->m_strLabel, discs[j].strLabel);
            EXPECT_EQ(d->m_strFree, Hm(discs[j].nFree));
            for (int s = 0; s < 5; ++s) EXPECT_EQ(d->m_strFreeN[s], Hm(discs[j].aFree[s]));
        }
        const auto& labels = l.lib.ModeLabels();
        ASSERT_EQ(labels.size(), 5u);
        EXPECT_EQ(labels[0], SJ("XP(高画質)"));
        EXPECT_EQ(labels[1], SJ("SP(標準)"));
        EXPECT_EQ(std::vector<std::string>(labels.begin(), labels.end()),
                  std::vector<std::string>(sample.ModeLabels().begin(), sample.ModeLabels().end()));
    }

    for (std::size_t i = 0; i < titles.size(); ++i) {
        const SampleTitle& want = titles[i];
        const CRDTitleInfo& got = l.lib.Title(static_cast<int>(i));
        const SampleDisc& disc = discs[static_cast<std::size_t>(want.nDisc)];
        ASSERT_EQ(got.Field(TF_DISC), disc.strNo) << i;
        ASSERT_EQ(got.Field(TF_TITLE), want.strTitle) << i;
        ASSERT_EQ(got.Field(TF_DATE), want.strDate);
        ASSERT_EQ(got.Field(TF_WEEK), want.strWeek);
        ASSERT_EQ(got.Field(TF_TIME), want.strTime);
        ASSERT_EQ(got.Field(TF_CHANNEL), want.strChannel);
        ASSERT_EQ(got.Field(TF_GENRE), StripGenreLead(want.strGenre));
        ASSERT_EQ(got.Field(TF_PAGE), want.strPage);
        ASSERT_EQ(got.m_nGenre, want.GenreCode()) << i;
        // Per-setting times: class 1 repeats the line's own time, the others
        // come from the disc the title was found on.
        for (int s = 0; s < 5; ++s) {
            const std::string expected = modelClass == 1 ? Hm(disc.nFree) : Hm(disc.aFree[static_cast<std::size_t>(s)]);
            ASSERT_EQ(got.GetRemaining(s), expected) << i << " setting " << s;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(AllClasses, SampleByClass, ::testing::Values(0, 1, 2, 3));

TEST(SampleLibrary, GenreKeysUseRealMainAndSubGenreCodes) {
    const int subCount[16] = {15, 15, 13, 8, 15, 12, 8, 8, 14, 10, 15, 12, 0, 0, 0, 0};
    const SampleLibrary sample({.titles = 3000, .discs = 30, .modelClass = 2, .seed = 3});
    Loaded l(sample, 2);
    std::set<int> mains;
    int wholeMain = 0, sub = 0, none = 0;
    for (const CRDTitleInfo& t : l.lib.Titles()) {
        const int code = t.m_nGenre;
        if (code == 0) {
            ++none;
            continue;
        }
        const int main = code >> 16, low = code & 0xFFFF;
        ASSERT_TRUE((main >= 0 && main <= 11) || main == 15) << std::hex << code;
        mains.insert(main);
        if (low == 0x40) {
            ++wholeMain;
        } else {
            ASSERT_GE(low, 0x50) << std::hex << code;
            ASSERT_LT(low - 0x50, subCount[main]) << std::hex << code;
            ++sub;
        }
    }
    EXPECT_EQ(mains.size(), 13u);  // 0..11 and 15 all occur
    EXPECT_GT(wholeMain, 0);
    EXPECT_GT(sub, wholeMain);
    EXPECT_GT(none, 0);
    EXPECT_LT(none, 300);
}

TEST(SampleLibrary, TitlesAreRealisticCodePage932Text) {
    const SampleLibrary sample({.titles = 2000, .discs = 20, .modelClass = 2, .seed = 11});
    bool kanji = false, halfKana = false, wideAscii = false, asciiLetter = false, quote = false, comma = false;
    std::set<std::string> pages;
    for (const SampleTitle& t : sample.Titles()) {
        ASSERT_LE(t.strTitle.size(), 128u);
        bool ok = true;
        lv::text::Utf8ToCp932(lv::text::Cp932ToUtf8(t.strTitle), &ok);
        ASSERT_TRUE(ok);
        ASSERT_EQ(lv::text::Cp932ToUtf8(t.strTitle).find("\xEF\xBF\xBD"), std::string::npos) << t.strTitle;
        for (std::size_t i = 0; i < t.strTitle.size(); ++i) {
            const auto c = static_cast<unsigned char>(t.strTitle[i]);
            if (c >= 0xA1 && c <= 0xDF) halfKana = true;
            if (lv::text::IsLeadByte(c)) {
                const auto c2 = static_cast<unsigned char>(t.strTitle[i + 1]);
                if (c >= 0x88) kanji = true;
                if (c == 0x82 && c2 >= 0x4F && c2 <= 0x9A) wideAscii = true;
                ++i;
            }
        }
        for (char c : t.strTitle)
            if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) asciiLetter = true;
        if (t.strTitle.find('"') != std::string::npos) quote = true;
        if (t.strTitle.find(',') != std::string::npos) comma = true;
        EXPECT_TRUE(pages.insert(t.strPage).second) << "page names must be unique: " << t.strPage;
        EXPECT_LE(t.strPage.size(), 32u);
    }
    EXPECT_TRUE(kanji);
    EXPECT_TRUE(halfKana);
    EXPECT_TRUE(wideAscii);
    EXPECT_TRUE(asciiLetter);
    EXPECT_TRUE(quote);
    EXPECT_TRUE(comma);
}

TEST(SampleLibrary, DatesWeekdaysTimesAndChannelsAreWellFormed) {
    using namespace std::chrono;
    const char* const week[] = {"日", "月", "火", "水", "木", "金", "土"};
    const SampleLibrary sample({.titles = 1500, .discs = 10, .modelClass = 3, .seed = 5});
    for (const SampleTitle& t : sample.Titles()) {
        int y = 0, m = 0, d = 0, hh = 0, mm = 0;
        ASSERT_EQ(t.strDate.size(), 10u);
        ASSERT_EQ(std::sscanf(t.strDate.c_str(), "%4d/%2d/%2d", &y, &m, &d), 3) << t.strDate;
        const year_month_day ymd{year{y}, month{static_cast<unsigned>(m)}, day{static_cast<unsigned>(d)}};
        ASSERT_TRUE(ymd.ok()) << t.strDate;
        EXPECT_GE(y, 2004);
        EXPECT_LE(y, 2008);
        EXPECT_EQ(t.strWeek, SJ(week[weekday{sys_days{ymd}}.c_encoding()])) << t.strDate;
        ASSERT_EQ(t.strTime.size(), 5u);
        ASSERT_EQ(std::sscanf(t.strTime.c_str(), "%2d:%2d", &hh, &mm), 2);
        EXPECT_LT(hh, 24);
        EXPECT_LT(mm, 60);
        EXPECT_FALSE(t.strChannel.empty());
        EXPECT_LE(t.strChannel.size(), 8u);
    }
    // The hard disk holds the newer recordings.
    for (const SampleTitle& t : sample.Titles()) {
        if (t.nDisc == 0) {
            EXPECT_GE(t.strDate, "2008/07/01");
        }
    }
}

TEST(SampleLibrary, ClassOneLinesEndWithDiscNumberAndTime) {
    const SampleLibrary sample({.titles = 40, .discs = 3, .modelClass = 1, .seed = 2});
    const auto lines = Lines(sample.LibraryCsv());
    ASSERT_EQ(lines.size(), 40u);
    std::set<std::string> dvdKeys;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        ASSERT_GE(line.size(), 11u);
        const std::string key = line.substr(line.size() - 11);
        const SampleTitle& t = sample.Titles()[i];
        const SampleDisc& d = sample.Discs()[static_cast<std::size_t>(t.nDisc)];
        EXPECT_EQ(key, "\"" + (t.nDisc == 0 ? std::string("HDD_") : d.strNo) + Hm(d.nFree) + "\"") << line;
        if (t.nDisc != 0) dvdKeys.insert(key);
    }
    EXPECT_EQ(dvdKeys.size(), 3u);
    EXPECT_EQ(sample.DiscListCsv(), "");
    EXPECT_EQ(Lines(sample.DiscCacheCsv()).front(), SJ("\"Disc No.\",\"ディスク名\",\"残量時間\""));
}

TEST(SampleLibrary, DoubledQuotingRoundTripsQuotesAndCommas) {
    // Enough titles that some carry a quote and some a comma.
    const SampleLibrary sample({.titles = 2000, .discs = 4, .modelClass = 2, .seed = 9});
    const std::string csv = sample.LibraryCsv();
    int quoted = 0;
    for (const SampleTitle& t : sample.Titles()) {
        if (t.strTitle.find('"') == std::string::npos) continue;
        std::string doubled;
        for (char c : t.strTitle) doubled += c == '"' ? std::string("\"\"") : std::string(1, c);
        EXPECT_NE(csv.find(",\"" + doubled + "\","), std::string::npos) << t.strTitle;
        ++quoted;
    }
    EXPECT_GT(quoted, 0);
}

TEST(SampleLibrary, SameSeedSameBytesOtherSeedOtherLibrary) {
    const SampleOptions a{.titles = 300, .discs = 5, .modelClass = 3, .seed = 42};
    SampleOptions b = a;
    b.seed = 43;
    EXPECT_EQ(lv::sample::GenerateLibraryCsv(a), lv::sample::GenerateLibraryCsv(a));
    EXPECT_EQ(lv::sample::GenerateDiscCsv(a), lv::sample::GenerateDiscCsv(a));
    EXPECT_EQ(SampleLibrary(a).DescriptionPage(17), SampleLibrary(a).DescriptionPage(17));
    EXPECT_NE(lv::sample::GenerateLibraryCsv(a), lv::sample::GenerateLibraryCsv(b));
}

TEST(SampleLibrary, SmallAndDegenerateSizes) {
    {
        // No titles: an empty list, but the disc list still has its header and the hard disk.
        const SampleLibrary s({.titles = 0, .discs = 3, .modelClass = 2, .seed = 1});
        EXPECT_EQ(s.LibraryCsv(), "");
        EXPECT_EQ(Lines(s.DiscListCsv()).size(), 5u);
    }
    {
        // No DVDs: every title on the hard disk; class 1 derives a header alone.
        const SampleLibrary s({.titles = 50, .discs = 0, .modelClass = 1, .seed = 1});
        for (const SampleTitle& t : s.Titles()) EXPECT_EQ(t.nDisc, 0);
        EXPECT_EQ(Lines(s.DiscCacheCsv()).size(), 1u);
    }
    {
        // Fewer titles than DVDs: each title on its own DVD, the rest stay empty.
        const SampleLibrary s({.titles = 3, .discs = 8, .modelClass = 1, .seed = 1});
        Loaded l(s, 1);
        EXPECT_EQ(l.lib.GetTitleCount(), 3);
        EXPECT_EQ(l.lib.GetDiscCount(), 3);
    }
    {
        // Negative counts are taken as none; disc numbers stop at 9999.
        const SampleLibrary s({.titles = -5, .discs = 20000, .modelClass = 2, .seed = 1});
        EXPECT_TRUE(s.Titles().empty());
        EXPECT_EQ(s.Discs().back().strNo, "9999");
    }
}

TEST(SampleLibrary, DescriptionPagesCarryTheTextInAnUpperCaseTextarea) {
    const SampleLibrary sample({.titles = 400, .discs = 4, .modelClass = 2, .seed = 4});
    int multiLine = 0, empty = 0, startsOnNextLine = 0;
    for (std::size_t i = 0; i < sample.Titles().size(); ++i) {
        const std::string page = sample.DescriptionPage(i);
        const std::string text = sample.Description(i);
        const std::size_t open = page.find("<TEXTAREA");
        ASSERT_NE(open, std::string::npos);
        const std::size_t gt = page.find('>', open);
        ASSERT_LT(gt, page.find("\r\n", open)) << "the tag closes on its own line";
        const std::size_t close = page.find("</TEXTAREA>", gt);
        ASSERT_NE(close, std::string::npos);
        EXPECT_EQ(page.substr(gt + 1, close - gt - 1), text);
        EXPECT_EQ(page.find("<textarea"), std::string::npos);
        if (text.empty()) ++empty;
        if (text.rfind("\r\n", 0) == 0) ++startsOnNextLine;
        if (text.find("\r\n", 1) != std::string::npos) ++multiLine;
        // The title shows escaped in the page.
        EXPECT_NE(page.find(lv::sample::EscapeHtml(sample.Titles()[i].strTitle)), std::string::npos);
    }
    EXPECT_GT(multiLine, 100);
    EXPECT_GT(empty, 0);
    EXPECT_GT(startsOnNextLine, 0);
    EXPECT_NE(sample.DescriptionPage(0).find(SJ("番組情報")), std::string::npos);
}

// What a class 2 folder holds is checked by serving it and by rdsim --save.
TEST(SampleLibrary, RecorderFilesForAFolderServer) {
    TempDir dir1;
    const SampleLibrary one({.titles = 5, .discs = 1, .modelClass = 1, .seed = 1});
    ASSERT_TRUE(one.WriteRecorderFiles(dir1.dir()));
    EXPECT_FALSE(std::filesystem::exists(dir1.file("Disc.csv")));

    const lv::Result<> written = one.WriteCacheFiles(dir1.file("missing/folder"));
    EXPECT_FALSE(written);
    EXPECT_NE(written.Error().find("Library.csv"), std::string::npos);
}
