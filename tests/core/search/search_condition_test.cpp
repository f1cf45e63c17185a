#include "core/search/search_condition.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "core/library/recorder_library.h"
#include "support/sjis.h"

namespace {

using Recorders = std::vector<std::unique_ptr<CRDRecorderLibrary>>;

struct TitleSpec {
    const char* disc;
    const char* title;  // UTF-8
    const char* date;
    const char* time;
    int genre;
};

std::unique_ptr<CRDRecorderLibrary> MakeRecorder(const char* name, std::vector<const char*> discs,
                                                 std::vector<TitleSpec> titles) {
    auto lib = std::make_unique<CRDRecorderLibrary>(name);
    const char* labels[5] = {"SP", "LP", "EP", "XP", "MN"};
    lib->AddModeLabels(labels, 5);
    for (const char* d : discs) {
        DISCINFO info{7, name, d, "1:00", "label", "1:00", "2:00", "3:00", "4:00", "5:00"};
        lib->AddDisc(info);
    }
    for (const TitleSpec& t : titles) {
        std::string title = SJ(t.title);
        TITLEINFO info{};
        info.apszField[TF_DISC] = t.disc;
        info.apszField[TF_TITLE] = title.c_str();
        info.apszField[TF_DATE] = t.date;
        info.apszField[TF_TIME] = t.time;
        info.apszField[TF_CHANNEL] = "081";
        info.nGenre = t.genre;
        lib->AddTitle(info);
    }
    return lib;
}

// Three recorders as a household might have them.
Recorders MakeLibrary() {
    Recorders r;
    r.push_back(MakeRecorder("Living", {"HDD", "001", "002"},
                             {{"HDD", "ＮＨＫスペシャル", "2005/12/01", "21:00", 0x80050},
                              {"001", "プロ野球ニュース", "2005/11/30", "23:00", 0x10051},
                              {"002", "サッカー中継", "2005/12/02", "19:00", 0x10052},
                              {"HDD", "きょうの料理", "", "12:00", 0}}));
    r.push_back(MakeRecorder("Bedroom", {"HDD", "001"},
                             {{"HDD", "nhk news", "2005/12/01", "07:00", 0x40},
                              {"001", "ﾄﾞﾗﾏ特集", "2005/12/01", "22:00", 0x30040},
                              {"HDD", "テレビ体操", "2005/12/03", "06:00", 0x20040}}));
    r.push_back(MakeRecorder("Study", {"HDD", "003"},
                             {{"003", "ゴルフ中継", "2005/10/10", "14:00", 0x10053},
                              {"HDD", "てれび絵本", "2005/12/01", "08:00", 0x70050}}));
    return r;
}

struct Recorded : CConditionSink {
    std::vector<std::string> rows;
    std::vector<std::string> labels;
    void OnModeLabels(const CRDRecorderLibrary& rec) override {
        labels.push_back(rec.GetName() + ":" + rec.ModeLabels().at(0));
    }
    void OnDisc(const CRDRecorderLibrary& rec, const CRDDiscInfo& disc) override {
        rows.push_back("D " + rec.GetName() + " " + disc.m_strDiscNo);
    }
    void OnTitle(const CRDRecorderLibrary& rec, const CRDTitleInfo& title) override {
        rows.push_back(rec.GetName() + " " + lv::text::Cp932ToUtf8(title.Field(TF_TITLE)));
    }
};

Recorded Select(const Recorders& recs, int flags, std::string recorder = "", std::string disc = "",
                std::string text = "", std::string from = "", std::string to = "", int genre = 0) {
    CSearchCondition c;
    c.m_nFlags = flags;
    c.m_strRecorder = recorder;
    c.m_strDisc = disc;
    c.m_strText = SJ(text.c_str());
    c.m_strDateFrom = from;
    c.m_strDateTo = to;
    c.m_nGenre = genre;
    Recorded out;
    RunCondition(c, recs, out);
    return out;
}

using Rows = std::vector<std::string>;

TEST(SearchConditionRecord, CopiesItsSevenValuesBothWays) {
    SEARCHCONDITION in{SC_RECORDER | SC_GENRE, "RD1", "HDD", "abc", "2005/01/01", "2005/12/31", 0x10051};
    CSearchCondition c;
    c.SetCondition(in);
    EXPECT_EQ(c.m_nFlags, SC_RECORDER | SC_GENRE);
    EXPECT_EQ(c.m_strRecorder, "RD1");
    EXPECT_EQ(c.m_strDisc, "HDD");
    EXPECT_EQ(c.m_strText, "abc");
    EXPECT_EQ(c.m_strDateFrom, "2005/01/01");
    EXPECT_EQ(c.m_strDateTo, "2005/12/31");
    EXPECT_EQ(c.m_nGenre, 0x10051);

    SEARCHCONDITION out{};
    c.GetCondition(out);
    EXPECT_EQ(out.nFlags, in.nFlags);
    EXPECT_EQ(out.pszRecorder, c.m_strRecorder.c_str());  // the object's own texts
    EXPECT_STREQ(out.pszText, "abc");
    EXPECT_STREQ(out.pszDateTo, "2005/12/31");
    EXPECT_EQ(out.nGenre, 0x10051);
}

TEST(SearchConditionRecord, NullTextsBecomeEmptyAndANewOneIsEmpty) {
    CSearchCondition fresh;
    EXPECT_EQ(fresh.m_nFlags, 0);
    EXPECT_EQ(fresh.m_nGenre, 0);
    EXPECT_TRUE(fresh.m_strText.empty());

    CSearchCondition c;
    c.SetCondition({SC_TEXT, "x", "y", "z", "a", "b", 5});
    c.SetCondition({SC_DVD_TITLES, nullptr, nullptr, nullptr, nullptr, nullptr, 0});
    EXPECT_EQ(c.m_nFlags, SC_DVD_TITLES);
    EXPECT_TRUE(c.m_strRecorder.empty() && c.m_strDisc.empty() && c.m_strText.empty() && c.m_strDateFrom.empty() &&
                c.m_strDateTo.empty());
}

TEST(SearchConditionView, OnlyTheDvdNodeConditionNeedsTheDiscView) {
    CSearchCondition c;
    c.m_strDisc = "DVD";
    c.m_nFlags = SC_RECORDER | SC_DISC;
    EXPECT_TRUE(c.NeedsDiscView());
    c.m_nFlags = SC_DISC;
    EXPECT_TRUE(c.NeedsDiscView());
    c.m_nFlags = SC_DISC | SC_DVD_TITLES;
    EXPECT_FALSE(c.NeedsDiscView());
    c.m_nFlags = SC_RECORDER;
    EXPECT_FALSE(c.NeedsDiscView());
    c.m_nFlags = SC_DISC;
    c.m_strDisc = "HDD";
    EXPECT_FALSE(c.NeedsDiscView());
    c.m_strDisc = "dvd";
    EXPECT_FALSE(c.NeedsDiscView());
}

TEST(SearchConditionResult, QuickSearchCoversEveryRecorderDiskAndDvdInDocumentOrder) {
    auto recs = MakeLibrary();
    // Upper-case ASCII finds full-width and ASCII lower case alike.
    EXPECT_EQ(Select(recs, SC_DVD_TITLES | SC_TEXT, "", "", "NHK").rows,
              (Rows{"Living ＮＨＫスペシャル", "Bedroom nhk news"}));
    EXPECT_EQ(Select(recs, SC_DVD_TITLES | SC_TEXT, "", "", "中継").rows,
              (Rows{"Living サッカー中継", "Study ゴルフ中継"}));
    // Katakana finds half-width katakana, never hiragana.
    EXPECT_EQ(Select(recs, SC_DVD_TITLES | SC_TEXT, "", "", "テレビ").rows, (Rows{"Bedroom テレビ体操"}));
    EXPECT_EQ(Select(recs, SC_DVD_TITLES | SC_TEXT, "", "", "ドラマ").rows, (Rows{"Bedroom ﾄﾞﾗﾏ特集"}));
    // No recorder is named, so no recorder hands over its mode labels.
    EXPECT_TRUE(Select(recs, SC_DVD_TITLES | SC_TEXT, "", "", "NHK").labels.empty());
}

TEST(SearchConditionResult, EmptySearchTextMatchesEveryTitle) {
    auto recs = MakeLibrary();
    EXPECT_EQ(Select(recs, SC_DVD_TITLES | SC_TEXT).rows.size(), 9u);
    // Without SC_TEXT a text is not looked at.
    EXPECT_EQ(Select(recs, SC_DVD_TITLES, "", "", "zzz").rows.size(), 9u);
}

TEST(SearchConditionResult, DvdListsTitlesForTheSearchButDiscsForTheTreeNode) {
    auto recs = MakeLibrary();
    EXPECT_EQ(Select(recs, SC_DVD_TITLES | SC_DISC, "", "DVD").rows,
              (Rows{"Living プロ野球ニュース", "Living サッカー中継", "Bedroom ﾄﾞﾗﾏ特集", "Study ゴルフ中継"}));
    Recorded node = Select(recs, SC_RECORDER | SC_DISC, "Living", "DVD");
    EXPECT_EQ(node.rows, (Rows{"D Living 001", "D Living 002"}));
    EXPECT_EQ(node.labels, (Rows{"Living:SP"}));
    // The disc view takes no other criterion.
    EXPECT_EQ(Select(recs, SC_DISC | SC_TEXT | SC_GENRE, "", "DVD", "zzz", "", "", 0x40).rows,
              (Rows{"D Living 001", "D Living 002", "D Bedroom 001", "D Study 003"}));
}

TEST(SearchConditionResult, RecorderAndDiscCriteriaCompareExactly) {
    auto recs = MakeLibrary();
    Recorded rec = Select(recs, SC_RECORDER, "Bedroom");
    EXPECT_EQ(rec.rows, (Rows{"Bedroom nhk news", "Bedroom ﾄﾞﾗﾏ特集", "Bedroom テレビ体操"}));
    EXPECT_EQ(rec.labels, (Rows{"Bedroom:SP"}));
    EXPECT_EQ(Select(recs, SC_RECORDER | SC_DISC, "Living", "HDD").rows,
              (Rows{"Living ＮＨＫスペシャル", "Living きょうの料理"}));
    EXPECT_EQ(Select(recs, SC_RECORDER | SC_DISC, "Living", "001").rows, (Rows{"Living プロ野球ニュース"}));
    // Disc 001 of every recorder when no recorder is named.
    EXPECT_EQ(Select(recs, SC_DISC, "", "001").rows, (Rows{"Living プロ野球ニュース", "Bedroom ﾄﾞﾗﾏ特集"}));
    // Unknown recorder, a name in another case, or a disc no title has: nothing.
    Recorded none = Select(recs, SC_RECORDER, "Kitchen");
    EXPECT_TRUE(none.rows.empty());
    EXPECT_TRUE(none.labels.empty());
    EXPECT_TRUE(Select(recs, SC_RECORDER, "living").rows.empty());
    EXPECT_TRUE(Select(recs, SC_RECORDER | SC_DISC, "Living", "009").rows.empty());
    // A recorder that passes hands its labels over even when none of its titles match.
    EXPECT_EQ(Select(recs, SC_RECORDER | SC_DISC, "Living", "009").labels, (Rows{"Living:SP"}));
}

TEST(SearchConditionResult, GenreCriterionUsesTheGenreMatch) {
    auto recs = MakeLibrary();
    EXPECT_EQ(Select(recs, SC_DVD_TITLES | SC_GENRE, "", "", "", "", "", 0x10040).rows,
              (Rows{"Living プロ野球ニュース", "Living サッカー中継", "Study ゴルフ中継"}));
}

TEST(SearchConditionResult, DateBoundsAreInclusiveTexts) {
    auto recs = MakeLibrary();
    EXPECT_EQ(Select(recs, SC_DVD_TITLES | SC_DATE_FROM | SC_DATE_TO, "", "", "", "2005/12/01", "2005/12/01").rows,
              (Rows{"Living ＮＨＫスペシャル", "Bedroom nhk news", "Bedroom ﾄﾞﾗﾏ特集", "Study てれび絵本"}));
    // Only a last date: the undated title is below every bound and comes along.
    EXPECT_EQ(Select(recs, SC_DVD_TITLES | SC_DATE_TO, "", "", "", "", "2005/11/30").rows,
              (Rows{"Living プロ野球ニュース", "Living きょうの料理", "Study ゴルフ中継"}));
    // Only a first date: the undated title stays out.
    EXPECT_EQ(Select(recs, SC_DVD_TITLES | SC_DATE_FROM, "", "", "", "2005/12/02").rows,
              (Rows{"Living サッカー中継", "Bedroom テレビ体操"}));
    // A reversed range selects nothing.
    EXPECT_TRUE(
        Select(recs, SC_DVD_TITLES | SC_DATE_FROM | SC_DATE_TO, "", "", "", "2005/12/02", "2005/12/01").rows.empty());
}

TEST(SearchConditionResult, CriteriaCombine) {
    auto recs = MakeLibrary();
    EXPECT_EQ(Select(recs, SC_DVD_TITLES | SC_RECORDER | SC_DISC | SC_GENRE | SC_TEXT, "Living", "DVD", "中継", "", "",
                     0x10040)
                  .rows,
              (Rows{"Living サッカー中継"}));
    EXPECT_EQ(Select(recs, SC_DVD_TITLES | SC_DISC | SC_DATE_FROM | SC_TEXT, "", "HDD", "nhk", "2005/12/01").rows,
              (Rows{"Living ＮＨＫスペシャル", "Bedroom nhk news"}));
    EXPECT_TRUE(Select(recs, SC_DVD_TITLES | SC_DISC | SC_TEXT, "", "HDD", "ゴルフ").rows.empty());
}

}  // namespace
