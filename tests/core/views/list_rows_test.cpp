#include "core/views/list_rows.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/text/cp932.h"
#include "support/sjis.h"

namespace {

struct T {
    const char* disc;
    const char* title;  // UTF-8
    const char* date;
    const char* time;
    int genre;
    const char* free = "0:30";
};

CListRow TitleRow(const std::string& rd, const T& t) {
    std::string title = SJ(t.title);
    std::string genre = SJ("_ ドラマ");
    TITLEINFO info{};
    info.apszField[TF_DISC] = t.disc;
    info.apszField[TF_TITLE] = title.c_str();
    info.apszField[TF_GENRE] = genre.c_str();
    info.apszField[TF_DATE] = t.date;
    info.apszField[TF_WEEK] = "Wed";
    info.apszField[TF_TIME] = t.time;
    info.apszField[TF_CHANNEL] = "081";
    info.apszField[TF_DISCFREE] = t.free;
    info.apszField[TF_DISCFREE1] = "1:00";
    info.apszField[TF_DISCFREE2] = "2:00";
    info.apszField[TF_DISCFREE3] = "3:00";
    info.apszField[TF_DISCFREE4] = "4:00";
    info.apszField[TF_DISCFREE5] = "5:00";
    info.nGenre = t.genre;
    CRDTitleInfo rec;
    rec.SetInfo(info);
    return CListRow::FromTitle(rd, rec);
}

CListRow DiscRow(const char* rd, const char* no, const char* label, const char* free = "1:00") {
    DISCINFO info{DISC_FLAGS_CLASS23, rd, no, free, label, "0:11", "0:22", "0:33", "0:44", "0:55"};
    CRDDiscInfo d;
    d.SetInfo(info);
    return CListRow::FromDisc(d);
}

std::vector<std::string> SortedTitles(std::vector<CListRow> rows, int key) {
    std::stable_sort(rows.begin(), rows.end(),
                     [key](const CListRow& a, const CListRow& b) { return CompareRows(a, b, key) < 0; });
    std::vector<std::string> out;
    for (const auto& r : rows) out.push_back(r.m_bDisc ? r.m_disc.m_strDiscNo : std::string(r.m_title.Field(TF_TITLE)));
    return out;
}

using Strings = std::vector<std::string>;

TEST(ListCells, TitleRowShowsItsSevenColumns) {
    CListRow r = TitleRow("Living", {"001", "夜のドラマ", "2005/12/21", "21:00", 0x30050, "0:45"});
    EXPECT_FALSE(r.m_bDisc);
    EXPECT_EQ(GetCellText(r, 0, 0), SJ("夜のドラマ"));
    EXPECT_EQ(GetCellText(r, 1, 0), "001");
    EXPECT_EQ(GetCellText(r, 2, 0), SJ("ドラマ"));  // the recorder's own genre text
    EXPECT_EQ(GetCellText(r, 3, 0), "2005/12/21(Wed) 21:00");
    EXPECT_EQ(GetCellText(r, 4, 0), "081");
    EXPECT_EQ(GetCellText(r, 5, 0), "Living");
    EXPECT_EQ(GetCellText(r, 6, 0), "1:00");
    EXPECT_EQ(GetCellText(r, 6, 4), "5:00");
    EXPECT_EQ(GetCellText(r, 6, 7), "0:45");  // outside 0..4: the plain field
    EXPECT_EQ(GetCellText(r, 7, 0), "");
    EXPECT_EQ(r.GetImage(), 19);
    EXPECT_EQ(TitleRow("R", {"HDD", "x", "", "", 0}).GetImage(), -1);
    EXPECT_EQ(TitleRow("R", {"HDD", "x", "", "", 0xF0040}).GetImage(), 31);
}

TEST(ListCells, DiscRowShowsItsEightColumns) {
    CListRow r = DiscRow("Living", "001", SJ("映画集").c_str(), "2:10");
    EXPECT_TRUE(r.m_bDisc);
    EXPECT_EQ(r.m_strRDName, "Living");
    Strings cells;
    for (int s = 0; s < 8; ++s) cells.push_back(GetCellText(r, s, 0));
    EXPECT_EQ(cells, (Strings{"001", "2:10", SJ("映画集"), "0:11", "0:22", "0:33", "0:44", "0:55"}));
    EXPECT_EQ(r.GetImage(), 4);
}

TEST(CompareRows, TextColumnsCompareAsCodePage932Characters) {
    std::vector<CListRow> rows = {
        TitleRow("B", {"002", "ab", "2005/12/02", "10:00", 0}),
        TitleRow("A", {"001", "a", "2005/12/01", "10:00", 0}),
        TitleRow("C", {"003", "あ", "2005/12/03", "10:00", 0}),
        TitleRow("D", {"004", "zz", "2005/12/04", "10:00", 0}),
    };
    // A prefix first; a double-byte character above every single byte.
    EXPECT_EQ(SortedTitles(rows, 0), (Strings{"a", "ab", "zz", SJ("あ")}));
    EXPECT_EQ(SortedTitles(rows, 0 | SORT_DESCENDING), (Strings{SJ("あ"), "zz", "ab", "a"}));
    EXPECT_EQ(SortedTitles(rows, 5), (Strings{"a", "ab", SJ("あ"), "zz"}));  // by recorder name
    EXPECT_EQ(CompareRows(rows[0], rows[1], 4), 0);                          // same channel
}

TEST(CompareRows, DiscNumberPutsTheHardDiskFirst) {
    std::vector<CListRow> rows = {
        TitleRow("R", {"001", "d1", "", "", 0}), TitleRow("R", {"HDD", "h1", "", "", 0}),
        TitleRow("R", {"000", "d0", "", "", 0}), TitleRow("R", {"HDD", "h2", "", "", 0}),
        TitleRow("R", {"AAA", "da", "", "", 0}),
    };
    // "000" and "AAA" would rank before "HDD" as texts.
    EXPECT_EQ(SortedTitles(rows, 1), (Strings{"h1", "h2", "d0", "d1", "da"}));
    EXPECT_EQ(SortedTitles(rows, 1 | SORT_DESCENDING), (Strings{"da", "d1", "d0", "h1", "h2"}));
}

TEST(CompareRows, GenreAsIntegersAndDateThenTime) {
    std::vector<CListRow> rows = {
        TitleRow("R", {"HDD", "sub", "2005/12/01", "21:00", 0x10051}),
        TitleRow("R", {"HDD", "none", "2005/12/01", "09:00", 0}),
        TitleRow("R", {"HDD", "main", "2005/11/30", "23:59", 0x10040}),
        TitleRow("R", {"HDD", "other", "2005/12/01", "10:00", 0xF0040}),
        TitleRow("R", {"HDD", "news", "2005/12/02", "00:00", 0x40}),
    };
    EXPECT_EQ(SortedTitles(rows, 2), (Strings{"none", "news", "main", "sub", "other"}));
    EXPECT_EQ(SortedTitles(rows, 3), (Strings{"main", "none", "other", "sub", "news"}));
    EXPECT_EQ(SortedTitles(rows, 3 | SORT_DESCENDING), (Strings{"news", "sub", "other", "none", "main"}));
    // Codes far apart do not overflow the comparison.
    CListRow big = TitleRow("R", {"HDD", "big", "", "", 0x7FFF0040});
    CListRow neg = TitleRow("R", {"HDD", "neg", "", "", static_cast<int>(0x80000040u)});
    EXPECT_GT(CompareRows(big, neg, 2), 0);
}

TEST(CompareRows, RemainingTimeUsesThePlainFieldWhateverTheMode) {
    CListRow a = TitleRow("R", {"HDD", "a", "", "", 0, "0:10"});
    CListRow b = TitleRow("R", {"HDD", "b", "", "", 0, "0:20"});
    EXPECT_LT(CompareRows(a, b, 6), 0);
    EXPECT_GT(CompareRows(a, b, 6 | SORT_DESCENDING), 0);
}

TEST(CompareRows, DiscColumnsAndKeysOutOfRange) {
    CListRow a = DiscRow("R1", "002", "b", "1:00");
    CListRow b = DiscRow("R2", "001", "a", "2:00");
    EXPECT_GT(CompareRows(a, b, 7), 0);
    EXPECT_GT(CompareRows(a, b, 0), 0);  // no sort column: disc number
    EXPECT_LT(CompareRows(a, b, 8), 0);
    EXPECT_GT(CompareRows(a, b, 9), 0);
    EXPECT_LT(CompareRows(a, b, 5), 0);
    for (int k = 10; k <= 14; ++k) EXPECT_EQ(CompareRows(a, b, k), 0) << k;
    CListRow c = DiscRow("R", "003", "c");
    c.m_disc.m_strFreeN[3] = "9:99";
    EXPECT_LT(CompareRows(a, c, 13), 0);
    EXPECT_GT(CompareRows(a, c, 13 | SORT_DESCENDING), 0);
    EXPECT_EQ(CompareRows(a, c, 12), 0);
    EXPECT_EQ(CompareRows(a, b, 15), 0);
    EXPECT_EQ(CompareRows(a, b, 0xFFFF | SORT_DESCENDING), 0);
}

COLUMN_DESCS DefaultDescs() {
    COLUMN_DESCS d{};
    for (int i = 0; i < COLUMN_COUNT; ++i) d[i].nOrder = i < TITLE_COLUMNS ? i : i - TITLE_COLUMNS;
    return d;
}

TEST(SortKey, FirstSortColumnOfTheViewWithItsDirection) {
    COLUMN_DESCS d = DefaultDescs();
    EXPECT_EQ(GetSortKey(d, VIEW_TITLES), 0);
    EXPECT_EQ(GetSortKey(d, VIEW_DISCS), 0);
    d[3].bSortColumn = true;
    d[3].nDirection = 1;
    d[5].bSortColumn = true;
    d[9].bSortColumn = true;
    EXPECT_EQ(GetSortKey(d, VIEW_TITLES), 3 | SORT_DESCENDING);
    EXPECT_EQ(GetSortKey(d, VIEW_DISCS), 9);
}

TEST(SortKey, HeaderClicksFlipTheDirectionPerColumn) {
    COLUMN_DESCS d = DefaultDescs();
    ClickColumn(d, VIEW_TITLES, 2);  // never sorted: descending
    EXPECT_EQ(GetSortKey(d, VIEW_TITLES), 2 | SORT_DESCENDING);
    ClickColumn(d, VIEW_TITLES, 2);
    EXPECT_EQ(GetSortKey(d, VIEW_TITLES), 2);
    ClickColumn(d, VIEW_TITLES, 4);
    EXPECT_EQ(GetSortKey(d, VIEW_TITLES), 4 | SORT_DESCENDING);
    EXPECT_FALSE(d[2].bSortColumn);
    EXPECT_EQ(d[2].nDirection, 0);  // remembered for its next click
    ClickColumn(d, VIEW_TITLES, 2);
    EXPECT_EQ(GetSortKey(d, VIEW_TITLES), 2 | SORT_DESCENDING);
    // The disc view's columns are its own: sub-item 1 is descriptor 8.
    ClickColumn(d, VIEW_DISCS, 1);
    EXPECT_EQ(GetSortKey(d, VIEW_DISCS), 8 | SORT_DESCENDING);
    EXPECT_EQ(GetSortKey(d, VIEW_TITLES), 2 | SORT_DESCENDING);
    ClickColumn(d, VIEW_DISCS, 8);  // no such column: nothing changes
    EXPECT_EQ(GetSortKey(d, VIEW_DISCS), 8 | SORT_DESCENDING);
}

TEST(SortKey, ColumnRecordsKeepTheSortState) {
    EXPECT_EQ(SettingFromDesc(DescFromSetting({120, 3, -1})).nSort, -1);
    EXPECT_EQ(SettingFromDesc(DescFromSetting({120, 3, 1})).nSort, 1);
    COLUMN_DESC unsorted = DescFromSetting({80, 2, 0});
    EXPECT_FALSE(unsorted.bSortColumn);
    EXPECT_EQ(unsorted.nDirection, 0);
    COLUMN_SETTING s = SettingFromDesc(DescFromSetting({80, 2, 0}));
    EXPECT_EQ(s.nWidth, 80);
    EXPECT_EQ(s.nOrder, 2);
    EXPECT_EQ(s.nSort, 0);
    // A column that last sorted descending and then lost the sort stores 0.
    COLUMN_DESC was{10, 0, false, 1};
    EXPECT_EQ(SettingFromDesc(was).nSort, 0);
}

TEST(DisplayOrder, FollowsPositionsOrFallsBackToIndexOrder) {
    COLUMN_DESCS d = DefaultDescs();
    d[2].nOrder = 0;
    d[0].nOrder = 1;
    d[1].nOrder = 2;
    EXPECT_EQ(DisplayOrder(d, VIEW_TITLES), (std::vector<int>{2, 0, 1, 3, 4, 5, 6}));
    EXPECT_EQ(DisplayOrder(d, VIEW_DISCS), (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7}));
    d[1].nOrder = 0;  // two columns at position 0
    EXPECT_EQ(DisplayOrder(d, VIEW_TITLES), (std::vector<int>{0, 1, 2, 3, 4, 5, 6}));
    d = DefaultDescs();
    d[14].nOrder = 8;  // out of range
    EXPECT_EQ(DisplayOrder(d, VIEW_DISCS), (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7}));
}

TEST(ClipboardText, NamesRunTogetherAndDetailsAreTabbedLines) {
    std::vector<CListRow> rows = {
        TitleRow("RD", {"HDD", "一", "2005/12/01", "21:00", 0, "0:01"}),
        TitleRow("RD", {"001", "二", "2005/12/02", "22:00", 0, "0:02"}),
        TitleRow("RD", {"002", "三", "2005/12/03", "23:00", 0, "0:03"}),
    };
    std::vector<const CListRow*> sel{&rows[0], &rows[1], &rows[2]};
    EXPECT_EQ(CopyNamesText(sel), SJ("一二三"));

    std::vector<int> order{2, 0, 1, 3, 4, 5, 6};  // "ジャンル" dragged to the front
    std::string genre = SJ("ドラマ");
    EXPECT_EQ(CopyDetailsText(sel, order, 1), genre + "\t" + SJ("一") +
                                                  "\tHDD\t2005/12/01(Wed) 21:00\t081\tRD\t2:00\r\n" + genre + "\t" +
                                                  SJ("二") + "\t001\t2005/12/02(Wed) 22:00\t081\tRD\t2:00\r\n" + genre +
                                                  "\t" + SJ("三") + "\t002\t2005/12/03(Wed) 23:00\t081\tRD\t2:00\r\n");
    EXPECT_EQ(CopyDetailsText({&rows[1]}, order, 9),
              genre + "\t" + SJ("二") + "\t001\t2005/12/02(Wed) 22:00\t081\tRD\t0:02\r\n");
    EXPECT_EQ(CopyNamesText({}), "");
    EXPECT_EQ(CopyDetailsText({}, order, 0), "");
}

TEST(ClipboardText, DiscRowsGiveTheirDiscNames) {
    CListRow a = DiscRow("RD", "001", "alpha");
    CListRow b = DiscRow("RD", "002", "beta");
    EXPECT_EQ(CopyNamesText({&a, &b}), "alphabeta");
    EXPECT_EQ(CopyDetailsText({&b}, {0, 1, 2, 3, 4, 5, 6, 7}, 0), "002\t1:00\tbeta\t0:11\t0:22\t0:33\t0:44\t0:55\r\n");
}

}  // namespace

namespace {

// The comparison the list has always used, character by character: the sort
// must give exactly its order.
int CharacterOrder(const CListRowRef& a, const CListRowRef& b, int key) {
    using lv::text::Compare;
    const int column = key & 0xFFFF;
    int r = 0;
    if (a.IsDisc()) {
        const CRDDiscInfo &x = *a.m_pDisc, &y = *b.m_pDisc;
        const std::string* texts[][2] = {
            {&x.m_strDiscNo, &y.m_strDiscNo}, {&x.m_strFree, &y.m_strFree}, {&x.m_strLabel, &y.m_strLabel}};
        if (column == 0 || column == 7 || column == 8 || column == 9)
            r = Compare(*texts[column < 8 ? 0 : column - 7][0], *texts[column < 8 ? 0 : column - 7][1]);
        else if (column >= 10 && column <= 14)
            r = Compare(x.m_strFreeN[column - 10], y.m_strFreeN[column - 10]);
    } else {
        const CRDTitleInfo &x = *a.m_pTitle, &y = *b.m_pTitle;
        const TITLE_FIELD fields[] = {TF_TITLE,   TF_DISC,  TF_GENRE,    TF_DATE,
                                      TF_CHANNEL, TF_TITLE, TF_DISCFREE, TF_TITLE};
        const bool hx = x.Field(TF_DISC) == "HDD", hy = y.Field(TF_DISC) == "HDD";
        if (column == 1 && (hx || hy))
            r = hx == hy ? 0 : hx ? -1 : 1;
        else if (column == 2)
            r = x.m_nGenre < y.m_nGenre ? -1 : x.m_nGenre > y.m_nGenre;
        else if (column <= 7 && column != 5)
            r = Compare(x.Field(fields[column]), y.Field(fields[column]));
        if (column == 3 && r == 0) r = Compare(x.Field(TF_TIME), y.Field(TF_TIME));
    }
    if (column == 5) r = Compare(*a.m_pRDName, *b.m_pRDName);
    return (key & SORT_DESCENDING) ? -r : r;
}

}  // namespace

// Titles of one series share long beginnings; two that then differ only in
// a trail byte are ordered by that character, even where the first trail
// byte could lead a character and the second could not.
TEST(SortRows, TitlesWithALongSharedBeginningDifferInTheirFirstUnsharedCharacter) {
    const CListRow small = TitleRow("R", {"HDD", "連続ドラマ 第ぁA", "", "", 0});  // ぁ: 82 9F
    const CListRow large = TitleRow("R", {"HDD", "連続ドラマ 第あA", "", "", 0});  // あ: 82 A0
    for (int sortKey : {0, SORT_DESCENDING}) {
        std::vector<CListRowRef> rows{large.Ref(), small.Ref(), large.Ref()};
        SortRows(rows, sortKey);
        const CRDTitleInfo* first = sortKey ? &large.m_title : &small.m_title;
        EXPECT_EQ(rows[0].m_pTitle, first) << sortKey;
        EXPECT_NE(rows[2].m_pTitle, first) << sortKey;
    }
}

TEST(SortRows, GivesTheCharacterOrderOfEveryColumnBothWays) {
    // Kana, kanji (trail bytes in the lead range too), ASCII, half-width kana,
    // bytes no character starts with, and a lead byte at the very end.
    const char* const pieces[] = {"a",        "A",        "1",        " ",        "\x82\xa0", "\x82\xa2",
                                  "\x88\x9f", "\x81\x81", "\x83\x8b", "\xe0\x40", "\xb1",     "\xdf",
                                  "\xa1",     "\x80",     "\xfd",     "\x82"};
    const char* const discs[] = {"HDD", "0001", "001", "\xb1"};
    const char* const channels[] = {"011", "L1", "101"};
    unsigned seed = 12345;
    auto next = [&seed](unsigned n) { return (seed = seed * 1103515245U + 12345U) / 65536U % n; };
    auto text = [&](const std::vector<std::string>& earlier) {
        std::string s = earlier.empty() || next(3) ? "" : earlier[next(static_cast<unsigned>(earlier.size()))];
        for (unsigned k = next(7); k > 0; --k) s += pieces[next(16)];
        return s;
    };
    for (bool recorderShapes : {true, false}) {
        std::vector<CListRow> rows;
        std::vector<std::string> titles, others;
        for (int i = 0; i < 600; ++i) {
            titles.push_back(text(titles));
            others.push_back(text(others));
            char date[16], time[8];
            std::snprintf(date, sizeof date, "200%u/%02u/%02u", next(3), 1 + next(2), 1 + next(3));
            std::snprintf(time, sizeof time, "%02u:%02u", next(3), next(2) * 30);
            std::string_view texts[TF_COUNT] = {};
            texts[TF_TITLE] = titles.back();
            texts[TF_DISC] = next(4) ? std::string_view(discs[next(4)]) : std::string_view(others.back());
            texts[TF_DATE] = recorderShapes || next(4) ? std::string_view(date) : std::string_view(others.back());
            texts[TF_TIME] = time;
            texts[TF_CHANNEL] = next(3) ? std::string_view(channels[next(3)]) : std::string_view(others.back());
            texts[TF_DISCFREE] = others.back();
            CRDTitleInfo t;
            t.SetTexts(texts, next(5) ? static_cast<int>(next(4)) : (next(2) ? INT_MIN : INT_MAX));
            rows.push_back(CListRow::FromTitle(next(2) ? "RD" : others[next(static_cast<unsigned>(others.size()))], t));
            if (recorderShapes) continue;
            rows.push_back(DiscRow(next(2) ? "RD" : "R2", titles.back().c_str(), others.back().c_str(),
                                   titles[next(static_cast<unsigned>(titles.size()))].c_str()));
            rows.back().m_disc.m_strFreeN[next(5)] = others[next(static_cast<unsigned>(others.size()))];
        }
        // Titles alone, discs alone, and (last) both in one list.
        std::vector<CListRowRef> lists[3];
        for (const CListRow& row : rows) {
            lists[row.m_bDisc].push_back(row.Ref());
            lists[2].push_back(row.Ref());
        }
        for (const auto& list : lists) {
            for (int key = 0; key <= 15; ++key) {
                for (int sortKey : {key, key | SORT_DESCENDING}) {
                    std::vector<CListRowRef> expected = list, sorted = list;
                    std::stable_sort(expected.begin(), expected.end(), [sortKey](const auto& a, const auto& b) {
                        return a.IsDisc() == b.IsDisc() && CharacterOrder(a, b, sortKey) < 0;
                    });
                    SortRows(sorted, sortKey);
                    ASSERT_EQ(sorted.size(), expected.size());
                    for (std::size_t i = 0; i < sorted.size(); ++i)
                        ASSERT_TRUE(sorted[i].m_pTitle == expected[i].m_pTitle &&
                                    sorted[i].m_pDisc == expected[i].m_pDisc)
                            << "shapes " << recorderShapes << " key " << sortKey << " at " << i;
                }
            }
        }
    }
}

TEST(SortedRows, GivesSortRowsOrderFromRunsOfEveryLength) {
    // Long shared beginnings, equal titles in several recorders, dates of one
    // shape and of another, and recorders that come back after another's rows.
    const char* const titles[] = {"ドラマ 第1話", "ドラマ 第10話", "ドラマ 第2話", "ニュース", "abc", "ドラマ 第1話"};
    const char* const dates[] = {"2005/12/01", "2005/12/01", "2006/01/15", "05/1/1"};
    const char* const rds[] = {"RD1", "RD2", "RD1", "RD3", "RD2"};
    std::vector<CListRow> rows;
    unsigned seed = 7;
    auto next = [&seed](unsigned n) { return (seed = seed * 1103515245U + 12345U) / 65536U % n; };
    for (int block = 0; block < 5; ++block)
        for (int i = 0; i < 23; ++i) {
            const T t{next(2) ? "HDD" : "0012",    titles[next(6)],           dates[next(4)],
                      next(2) ? "21:00" : "09:30", static_cast<int>(next(3)), next(2) ? "0:30" : "1:05"};
            rows.push_back(TitleRow(rds[block], t));
            const char* no = next(2) ? "0003" : "0001";
            rows.push_back(DiscRow(rds[block], no, SJ(titles[next(6)]).c_str(), next(2) ? "1:00" : "0:45"));
        }
    auto expectOrder = [](const std::vector<CListRowRef>& refs, int sortKey, std::size_t runRows,
                          const std::vector<CListRowRef>& expected) {
        // Blocks of 7 or 20 rows: the merge runs on its own thread, and the
        // reader fetches rows ahead within a block.
        CSortedRows sorted(runRows, runRows == 5 ? 7 : runRows == 1 ? 20 : CSortedRows::kBlockRows);
        for (const CListRowRef& r : refs) sorted.Add(r);
        sorted.Sort(sortKey);
        std::vector<CListRowRef> got;
        sorted.ForEach([&](const CListRowRef& r) {
            got.push_back(r);
            return true;
        });
        ASSERT_EQ(got.size(), expected.size());
        for (std::size_t i = 0; i < got.size(); ++i)
            ASSERT_TRUE(got[i].m_pTitle == expected[i].m_pTitle && got[i].m_pDisc == expected[i].m_pDisc &&
                        got[i].m_pRDName == expected[i].m_pRDName && got[i].m_bNew == expected[i].m_bNew)
                << "key " << sortKey << " run " << runRows << " at " << i;
    };
    std::vector<CListRowRef> kinds[2], both;
    for (const CListRow& row : rows) {
        // A disc as a search gives it, naming its recorder by its own text.
        kinds[row.m_bDisc].push_back(row.m_bDisc ? CListRowRef::OfDisc(row.m_disc) : row.Ref());
        kinds[row.m_bDisc].back().m_bNew = !row.m_bDisc && next(3) == 0;
        both.push_back(kinds[row.m_bDisc].back());
    }
    for (bool disc : {false, true})
        for (int key = disc ? 7 : 0; key <= (disc ? 14 : 7); ++key)
            for (int sortKey : {key, key | SORT_DESCENDING})
                for (std::size_t runRows : {1, 5, 1000}) {
                    std::vector<CListRowRef> expected = kinds[disc];
                    SortRows(expected, sortKey);
                    expectOrder(kinds[disc], sortKey, runRows, expected);
                }
    // A user that stops, or throws, ends the merge beside it; the rows it had are the first.
    CSortedRows sorted(5, 3);
    for (const CListRowRef& r : kinds[0]) sorted.Add(r);
    sorted.Sort(0);
    std::vector<CListRowRef> expected = kinds[0];
    SortRows(expected, 0);
    for (std::size_t stopAt : {1, 3, 50}) {
        std::size_t n = 0;
        EXPECT_FALSE(sorted.ForEach([&](const CListRowRef& r) {
            EXPECT_EQ(r.m_pTitle, expected[n].m_pTitle) << n;
            return ++n < stopAt;
        }));
        EXPECT_EQ(n, stopAt);
        n = 0;
        EXPECT_THROW(sorted.ForEach([&](const CListRowRef&) {
            if (++n == stopAt) throw std::runtime_error("write failed");
            return true;
        }),
                     std::runtime_error);
        EXPECT_EQ(n, stopAt);
    }
    // Both kinds (a title first): the titles, then the discs, each in their own order.
    for (int sortKey : {5, 7 | SORT_DESCENDING}) {
        std::vector<CListRowRef> titles = kinds[0], discs = kinds[1];
        SortRows(titles, sortKey);
        SortRows(discs, sortKey);
        titles.insert(titles.end(), discs.begin(), discs.end());
        expectOrder(both, sortKey, 5, titles);
    }
}
