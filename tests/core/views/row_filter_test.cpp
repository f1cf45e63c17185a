#include "core/views/row_filter.h"

#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

#include "support/sjis.h"

namespace {

CListRow Title(const char* utf8) {
    const std::string title = SJ(utf8);
    TITLEINFO info{};
    for (const char*& field : info.apszField) field = "";
    info.apszField[TF_TITLE] = title.c_str();
    CRDTitleInfo rec;
    rec.SetInfo(info);
    return CListRow::FromTitle("RD", rec);
}

}  // namespace

// The quick search's rule is its own test's; here the narrowing that reuses
// the last result, and the rows it is told about.
TEST(RowFilter, NarrowsWidensAndFollowsTheRowsOrder) {
    CRDDiscInfo disc;
    disc.m_strLabel = SJ("ＡＢＣ館");
    const std::deque<CListRow> own{Title("映画ＡＢＣ"), Title("abc news"), Title("ドラマ"), CListRow::FromDisc(disc)};
    std::vector<CListRowRef> rows;
    for (const CListRow& row : own) rows.push_back(row.Ref());
    CRowFilter filter;
    filter.SetRows(rows);

    const struct {
        const char* text;
        std::vector<int> rows;
    } steps[] = {
        {"a", {0, 1, 3}}, {"ab", {0, 1, 3}},
        {"abc ", {1}},    {"ab", {0, 1, 3}},  // a shorter text searches every row again
        {"ドラマ", {2}},  {"", {0, 1, 2, 3}},
    };
    for (const auto& step : steps) EXPECT_EQ(filter.Match(SJ(step.text)), step.rows) << step.text;

    filter.Reorder({3, 2, 1, 0});
    EXPECT_EQ(filter.Match("ab"), (std::vector<int>{0, 2, 3}));
}
