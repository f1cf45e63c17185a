#include "core/views/disc_labels.h"

#include <gtest/gtest.h>

#include <deque>

namespace {

TEST(DiscLabels, InsertsFillTheSheetTurnedWhenMoreFitAndShrinkOnlyWhenNoneFits) {
    const CASE_INSERT& dvd = CaseInsert(CASE_DVD_TALL);
    const CASE_INSERT& jewel = CaseInsert(CASE_SLIM_JEWEL);
    EXPECT_DOUBLE_EQ(dvd.back.w + dvd.spine.w + dvd.front.w, dvd.dWidth);

    // A4 less 5 mm margins: a DVD insert only turned, two slim ones one above the other.
    SHEET_LAYOUT a4 = LayOutSheet(200, 287, dvd);
    EXPECT_TRUE(a4.bTurned);
    ASSERT_EQ(a4.aSlots.size(), 1u);
    EXPECT_DOUBLE_EQ(a4.aSlots[0].x, (200 - 183) / 2.0);
    EXPECT_DOUBLE_EQ(a4.aSlots[0].h, 273);
    a4 = LayOutSheet(200, 287, jewel);
    ASSERT_EQ(a4.aSlots.size(), 2u);
    EXPECT_DOUBLE_EQ(a4.aSlots[1].y - a4.aSlots[0].y, 120);
    // A3 landscape: two DVD inserts side by side turned, six slim ones.
    EXPECT_EQ(LayOutSheet(410, 287, dvd).aSlots.size(), 2u);
    EXPECT_EQ(LayOutSheet(410, 287, jewel).aSlots.size(), 6u);
    // Letter less margins is too short for a DVD insert either way: one, shrunk as little as may be.
    const SHEET_LAYOUT letter = LayOutSheet(206, 269, dvd);
    ASSERT_EQ(letter.aSlots.size(), 1u);
    EXPECT_TRUE(letter.bTurned);
    EXPECT_DOUBLE_EQ(letter.dScale, 269 / 273.0);
    EXPECT_DOUBLE_EQ(letter.aSlots[0].y, 0);
    EXPECT_DOUBLE_EQ(LayOutSheet(200, 287, jewel).dScale, 1);
}

TEST(DiscLabels, TitleRowsGiveTheirDiscsOnceWithoutTheHardDisk) {
    std::deque<CListRow> rows;
    auto title = [&](const char* disc, const char* name, const char* date) {
        TITLEINFO info{};
        for (const char*& f : info.apszField) f = "";
        info.apszField[TF_DISC] = disc;
        info.apszField[TF_TITLE] = name;
        info.apszField[TF_DATE] = date;
        CRDTitleInfo rec;
        rec.SetInfo(info);
        rows.push_back(CListRow::FromTitle("RD", rec));
    };
    title("002", "late", "2006/02/01");
    title("HDD", "on the disk", "2006/01/01");
    title("001", "one", "2006/01/05");
    title("002", "early", "2006/01/03");
    std::vector<CListRowRef> refs;
    for (const CListRow& r : rows) refs.push_back(r.Ref());
    EXPECT_FALSE(HasDiscLabel(refs[1]));
    const std::vector<DISC_LABEL> labels = DiscLabels(refs, nullptr, 0);
    ASSERT_EQ(labels.size(), 2u);
    EXPECT_EQ(labels[0].strDiscNo, "002");
    ASSERT_EQ(labels[0].aTitles.size(), 2u);
    EXPECT_EQ(labels[0].aTitles[0].strTitle, "early");
    EXPECT_EQ(labels[1].strDiscNo, "001");
}

}  // namespace
