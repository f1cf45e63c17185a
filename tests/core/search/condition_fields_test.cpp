#include "core/search/condition_fields.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/sjis.h"

namespace {

CONDITION_FIELDS Full() {
    CONDITION_FIELDS f;
    f.strText = SJ("映画");
    f.strRecorder = "RDS";
    f.strDisc = "HDD";
    f.nGenre = 0x60040;
    f.strDateFrom = "2006/01/15";
    f.strDateTo = "2006/01/31";
    return f;
}

}  // namespace

TEST(ConditionFields, EachFilledFieldAddsItsCriterion) {
    CSearchCondition c = MakeCondition(Full());
    EXPECT_EQ(c.m_nFlags, SC_DVD_TITLES | SC_RECORDER | SC_TEXT | SC_DISC | SC_GENRE | SC_DATE_FROM | SC_DATE_TO);
    EXPECT_EQ(c.m_strRecorder, "RDS");
    EXPECT_EQ(c.m_strText, SJ("映画"));
    EXPECT_EQ(c.m_strDisc, "HDD");
    EXPECT_EQ(c.m_nGenre, 0x60040);
    EXPECT_EQ(c.m_strDateFrom, "2006/01/15");
    EXPECT_EQ(c.m_strDateTo, "2006/01/31");

    // Nothing filled: the titles of every recorder, DVDs included.
    c = MakeCondition({});
    EXPECT_EQ(c.m_nFlags, SC_DVD_TITLES);
    // Without the DVD titles flag "DVD" lists the discs, as the tree's node does.
    CONDITION_FIELDS dvd;
    dvd.strDisc = "DVD";
    dvd.bDvdTitles = false;
    c = MakeCondition(dvd);
    EXPECT_EQ(c.m_nFlags, SC_DISC);
    EXPECT_TRUE(c.NeedsDiscView());
}

TEST(ConditionFields, AConditionShowsOnlyTheValuesOfItsFlags) {
    const CSearchCondition full = MakeCondition(Full());
    const CONDITION_FIELDS back = FieldsOf(full);
    EXPECT_EQ(back.strRecorder, "RDS");
    EXPECT_EQ(back.nGenre, 0x60040);
    EXPECT_EQ(back.strDateTo, "2006/01/31");
    EXPECT_TRUE(back.bDvdTitles);
    const CSearchCondition again = MakeCondition(back);
    EXPECT_EQ(again.m_nFlags, full.m_nFlags);
    EXPECT_EQ(again.m_strDisc, full.m_strDisc);
    EXPECT_EQ(again.m_strDateFrom, full.m_strDateFrom);

    // After a quick search only the text comes back.
    CSearchCondition quick = full;
    quick.m_nFlags = SC_DVD_TITLES | SC_TEXT;
    const CONDITION_FIELDS shown = FieldsOf(quick);
    EXPECT_EQ(shown.strText, SJ("映画"));
    EXPECT_EQ(shown.strRecorder, "");
    EXPECT_EQ(shown.strDisc, "");
    EXPECT_EQ(shown.nGenre, 0);
    EXPECT_EQ(shown.strDateFrom, "");
    EXPECT_EQ(shown.strDateTo, "");
}

TEST(ConditionFields, DatesAreWrittenInFullAndReadLoosely) {
    EXPECT_EQ(FormatConditionDate(2006, 2, 3), "2006/02/03");
    int y = 0, m = 0, d = 0;
    ASSERT_TRUE(ScanConditionDate("2006/2/3", y, m, d));
    EXPECT_EQ((std::vector<int>{y, m, d}), (std::vector<int>{2006, 2, 3}));
    // Whether the date exists is the caller's question.
    ASSERT_TRUE(ScanConditionDate("2006/13/40", y, m, d));
    EXPECT_EQ(m, 13);
    EXPECT_FALSE(ScanConditionDate("2006-02-03", y, m, d));
    EXPECT_FALSE(ScanConditionDate("", y, m, d));

    EXPECT_TRUE(IsConditionDate("2005/12/01"));
    for (const char* bad : {"2005/1/1", "2005/12/1 ", "2005-12-01", "2005/12/0x", ""})
        EXPECT_FALSE(IsConditionDate(bad)) << bad;
}

TEST(ConditionFields, AnItemIsChosenByItsTextThenByItsBeginningInAnyCase) {
    const std::vector<std::string> recorders{"", "RDA", "RDB", "rdb2", "RDS"};
    EXPECT_EQ(ChooseItemByText(recorders, "RDB"), 2);
    EXPECT_EQ(ChooseItemByText(recorders, "rdb2"), 3);
    EXPECT_EQ(ChooseItemByText(recorders, "rdb"), 2);
    EXPECT_EQ(ChooseItemByText(recorders, "rd"), 1);
    EXPECT_EQ(ChooseItemByText(recorders, "RDX"), 0);
    EXPECT_EQ(ChooseItemByText(recorders, ""), 0);
}

TEST(ConditionFields, AGenreIsACodeInDecimalOrHexOrAName) {
    EXPECT_EQ(ParseGenre(SJ("スポーツ全般")), 0x10040);
    EXPECT_EQ(ParseGenre("0x10040"), 0x10040);
    EXPECT_EQ(ParseGenre("0X10051"), 0x10051);
    EXPECT_EQ(ParseGenre("65600"), 0x10040);
    EXPECT_EQ(ParseGenre(SJ("02 野球")), 0x10051);
    // A code outside the table is still a code.
    EXPECT_EQ(ParseGenre("0x70077"), 0x70077);
    for (const char* bad : {"野球", "-1", "+1", " 1", "1 ", "0x", "12x", "2147483648", ""})
        EXPECT_EQ(ParseGenre(SJ(bad)), std::nullopt) << bad;
}
