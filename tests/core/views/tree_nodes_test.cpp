#include "core/views/tree_nodes.h"

#include <gtest/gtest.h>

#include "support/sjis.h"

namespace {

CRDDiscInfo Disc(const char* no, const char* label) {
    DISCINFO info{DISC_FLAGS_CLASS23, "RD", no, "3:10", label, "1:01", "2:02", "3:03", "4:04", "5:05"};
    CRDDiscInfo d;
    d.SetInfo(info);
    return d;
}

TEST(TreeNodeKind, IsDecidedInTheTreeOrder) {
    CRDDiscInfo rd = MakeBlankRecord(NODE_MARKER_RECORDER);
    CRDDiscInfo hdd = MakeBlankRecord(NODE_MARKER_HDD);
    CRDDiscInfo dvd = MakeBlankRecord(NODE_MARKER_DVD);
    CRDDiscInfo disc = Disc("001", "x");
    EXPECT_EQ(ClassifyNode(true, false, &disc), NODE_ROOT);
    EXPECT_EQ(ClassifyNode(false, true, &rd), NODE_SEARCH_RESULTS);
    EXPECT_EQ(ClassifyNode(false, false, nullptr), NODE_NO_RECORD);
    EXPECT_EQ(ClassifyNode(false, false, &rd), NODE_RECORDER);
    EXPECT_EQ(ClassifyNode(false, false, &hdd), NODE_HDD);
    EXPECT_EQ(ClassifyNode(false, false, &dvd), NODE_DVD);
    EXPECT_EQ(ClassifyNode(false, false, &disc), NODE_DISC);
    // Blank records are not discs for the re-labelling pass; disc records are.
    EXPECT_EQ(rd.m_nFlags, 0);
    EXPECT_TRUE(rd.m_strRDName.empty() && rd.m_strLabel.empty() && rd.m_strFree.empty());
    EXPECT_FALSE(IsDiscRecord(hdd));
    EXPECT_TRUE(IsDiscRecord(disc));
    CRDDiscInfo class01 = disc;
    class01.m_nFlags = DISC_FLAGS_CLASS01;
    EXPECT_TRUE(IsDiscRecord(class01));
}

TEST(TreeNodeCondition, RecorderHddDvdAndDiscNodes) {
    NODESELECTION rec =
        MakeNodeCondition(NODE_RECORDER, "Living", std::string_view("Librovista"), std::nullopt, nullptr);
    ASSERT_TRUE(rec.condition);
    EXPECT_EQ(rec.condition->m_nFlags, SC_RECORDER);
    EXPECT_EQ(rec.condition->m_strRecorder, "Living");
    EXPECT_EQ(rec.strRecorder, "Living");

    NODESELECTION hdd = MakeNodeCondition(NODE_HDD, "HDD", std::string_view("Living"), std::nullopt, nullptr);
    ASSERT_TRUE(hdd.condition);
    EXPECT_EQ(hdd.condition->m_nFlags, SC_RECORDER | SC_DISC);
    EXPECT_EQ(hdd.condition->m_strDisc, "HDD");
    EXPECT_EQ(hdd.condition->m_strRecorder, "Living");
    EXPECT_FALSE(hdd.condition->NeedsDiscView());

    NODESELECTION dvd = MakeNodeCondition(NODE_DVD, "DVD", std::string_view("Living"), std::nullopt, nullptr);
    ASSERT_TRUE(dvd.condition);
    EXPECT_EQ(dvd.condition->m_nFlags, SC_RECORDER | SC_DISC);  // no SC_DVD_TITLES: the discs are listed
    EXPECT_TRUE(dvd.condition->NeedsDiscView());
    EXPECT_EQ(dvd.strRecorder, "Living");

    // The disc number is the label up to its first space; the recorder is the grandparent.
    NODESELECTION disc = MakeNodeCondition(NODE_DISC, SJ("001 [ 01:30 ] 映画"), std::string_view("DVD"),
                                           std::string_view("My RD"), nullptr);
    ASSERT_TRUE(disc.condition);
    EXPECT_EQ(disc.condition->m_nFlags, SC_RECORDER | SC_DISC);
    EXPECT_EQ(disc.condition->m_strDisc, "001");
    EXPECT_EQ(disc.condition->m_strRecorder, "My RD");
    EXPECT_EQ(disc.strRecorder, "My RD");
    EXPECT_TRUE(disc.condition->m_strText.empty());
    EXPECT_EQ(disc.condition->m_nGenre, 0);

    // A label without a space is the disc number whole; a full-width space does not cut.
    NODESELECTION whole =
        MakeNodeCondition(NODE_DISC, SJ("002　映画"), std::string_view("DVD"), std::string_view("RD"), nullptr);
    EXPECT_EQ(whole.condition->m_strDisc, SJ("002　映画"));
}

TEST(TreeNodeCondition, RootUnsearchedResultsAndBrokenNodesGiveNone) {
    EXPECT_FALSE(MakeNodeCondition(NODE_ROOT, "Librovista", std::nullopt, std::nullopt, nullptr).condition);
    EXPECT_FALSE(
        MakeNodeCondition(NODE_NO_RECORD, "x", std::string_view("p"), std::string_view("g"), nullptr).condition);
    EXPECT_FALSE(MakeNodeCondition(NODE_SEARCH_RESULTS, "x", std::string_view("p"), std::nullopt, nullptr).condition);
    NODESELECTION orphan = MakeNodeCondition(NODE_HDD, "HDD", std::nullopt, std::nullopt, nullptr);
    EXPECT_FALSE(orphan.condition);
    EXPECT_TRUE(orphan.strRecorder.empty());
    EXPECT_FALSE(MakeNodeCondition(NODE_DISC, "001", std::string_view("DVD"), std::nullopt, nullptr).condition);
    EXPECT_FALSE(MakeNodeCondition(NODE_DISC, "001", std::nullopt, std::nullopt, nullptr).condition);
}

TEST(TreeNodeCondition, SearchResultsStandForTheStoredCondition) {
    CSearchCondition stored;
    stored.m_nFlags = SC_DVD_TITLES | SC_TEXT;
    stored.m_strText = "news";
    NODESELECTION sel =
        MakeNodeCondition(NODE_SEARCH_RESULTS, SJ("検索結果"), std::string_view("Librovista"), std::nullopt, &stored);
    ASSERT_TRUE(sel.condition);
    EXPECT_EQ(sel.condition->m_nFlags, SC_DVD_TITLES | SC_TEXT);
    EXPECT_EQ(sel.condition->m_strText, "news");
    EXPECT_TRUE(sel.strRecorder.empty());
}

TEST(DiscLabel, FollowsTheDisplayFlagsAndRecordingMode) {
    const std::string movie = SJ("映画");
    CRDDiscInfo d = Disc("001", movie.c_str());
    EXPECT_EQ(MakeDiscLabel(d, 0, 0), "001");
    EXPECT_EQ(MakeDiscLabel(d, 1, 0), "001 [ 1:01 ]");
    EXPECT_EQ(MakeDiscLabel(d, 2, 0), "001 " + SJ("映画"));
    EXPECT_EQ(MakeDiscLabel(d, 3, 0), "001 [ 1:01 ] " + SJ("映画"));
    EXPECT_EQ(MakeDiscLabel(d, 1, 2), "001 [ 3:03 ]");
    EXPECT_EQ(MakeDiscLabel(d, 1, 4), "001 [ 5:05 ]");
    // A hand-edited mode outside 0..4 shows the plain remaining time.
    EXPECT_EQ(MakeDiscLabel(d, 1, 7), "001 [ 3:10 ]");
    EXPECT_EQ(MakeDiscLabel(d, 1, -1), "001 [ 3:10 ]");
    // Other bits of the flags do nothing.
    EXPECT_EQ(MakeDiscLabel(d, 4, 0), "001");
    // The label head brings the disc number back.
    EXPECT_EQ(LabelHead(MakeDiscLabel(d, 3, 1)), "001");
}

TEST(DiscLabel, LongDiscNamesAreKeptWhole) {
    std::string name;
    for (int i = 0; i < 64; ++i) name += SJ("長");
    CRDDiscInfo d = Disc("010", name.c_str());
    std::string label = MakeDiscLabel(d, 3, 0);
    EXPECT_EQ(label, "010 [ 1:01 ] " + name);
}

std::vector<std::string> Labels(const std::vector<DISCNODE>& nodes) {
    std::vector<std::string> labels;
    for (const DISCNODE& n : nodes) labels.push_back(n.strLabel);
    return labels;
}

TEST(DiscNodes, SkipTheHardDiskAndSortByLabel) {
    std::vector<CRDDiscInfo> discs{Disc("010", "a"),     Disc("HDD", ""), Disc(SJ("映画").c_str(), ""),
                                   Disc("\xC3\xDE", ""),  // half-width katakana
                                   Disc("002", "b"),     Disc("hdd", ""), Disc("HDD2", "")};
    std::vector<DISCNODE> nodes = MakeDiscNodes(discs, 0, 0);
    // Only the exact "HDD" is the hard disk's entry; single bytes rank below
    // double-byte characters, katakana above ASCII.
    EXPECT_EQ(Labels(nodes), (std::vector<std::string>{"002", "010", "HDD2", "hdd", "\xC3\xDE", SJ("映画")}));
    EXPECT_EQ(nodes[0].pDisc, &discs[4]);
    EXPECT_EQ(nodes[5].pDisc, &discs[2]);
    // The labels follow the display flags and the recording mode.
    EXPECT_EQ(MakeDiscNodes(discs, 3, 1)[0].strLabel, "002 [ 2:02 ] b");
    EXPECT_TRUE(MakeDiscNodes({Disc("HDD", "")}, 3, 0).empty());
}

TEST(DiscNodes, EqualLabelsKeepTheRecordersOrder) {
    std::vector<CRDDiscInfo> discs{Disc("005", "z"), Disc("001", "x"), Disc("005", "a")};
    std::vector<DISCNODE> plain = MakeDiscNodes(discs, 0, 0);
    ASSERT_EQ(plain.size(), 3u);
    EXPECT_EQ(plain[1].pDisc, &discs[0]);
    EXPECT_EQ(plain[2].pDisc, &discs[2]);
    // With names the label decides.
    std::vector<DISCNODE> named = MakeDiscNodes(discs, 2, 0);
    EXPECT_EQ(Labels(named), (std::vector<std::string>{"001 x", "005 a", "005 z"}));
}

TEST(LabelHead, StopsAtTheFirstSingleByteSpace) {
    EXPECT_EQ(LabelHead("My RD"), "My");
    EXPECT_EQ(LabelHead("RD"), "RD");
    EXPECT_EQ(LabelHead(""), "");
    EXPECT_EQ(LabelHead(" x"), "");
}

}  // namespace
