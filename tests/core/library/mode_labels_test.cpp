// The recorder's names of its recording-mode settings, copied out into the
// fixed 32-byte buffers the title list keeps for the status bar.
#include <gtest/gtest.h>

#include <array>
#include <string>

#include "core/library/recorder_library.h"
#include "sample/sample_library.h"
#include "support/sjis.h"
#include "support/temp_dir.h"

namespace {

struct Buffers {
    std::array<std::array<char, 32>, 5> text{};
    std::array<char*, 5> ptr{};
    Buffers() {
        for (std::size_t i = 0; i < text.size(); ++i) {
            text[i].fill('\0');
            text[i][0] = '?';  // a buffer left alone still reads "?"
            ptr[i] = text[i].data();
        }
    }
    std::string operator[](std::size_t i) const { return text[i].data(); }
};

}  // namespace

TEST(ModeLabels, CopiesTheLabelsReadFromTheDiscListIntoTheBuffers) {
    lv::test::TempDir dir;
    const lv::sample::SampleLibrary sample({.titles = 10, .discs = 2, .modelClass = 2, .seed = 7});
    ASSERT_TRUE(sample.WriteCacheFiles(dir.dir()));
    CRDRecorderLibrary lib("RD");
    ASSERT_TRUE(lib.LoadDiscList(dir.file("Disc.csv")));

    Buffers all;
    lib.GetModeLabels(all.ptr.data(), 5);
    for (std::size_t i = 0; i < 5; ++i) EXPECT_EQ(all[i], sample.ModeLabels()[i]) << i;

    // Only the first `count`, and a null buffer is passed over.
    Buffers some;
    some.ptr[0] = nullptr;
    lib.GetModeLabels(some.ptr.data(), 3);
    EXPECT_EQ(some[0], "?");
    EXPECT_EQ(some[1], sample.ModeLabels()[1]);
    EXPECT_EQ(some[2], sample.ModeLabels()[2]);
    EXPECT_EQ(some[3], "?");
}

TEST(ModeLabels, StopsAtTheLabelsHeldAndKeepsALabelOfThirtyOneBytesWhole) {
    // No disc list: no labels, so nothing is written.
    CRDRecorderLibrary none("RD");
    ASSERT_FALSE(none.LoadDiscList(lv::test::TempDir().file("Disc.csv")));
    Buffers untouched;
    none.GetModeLabels(untouched.ptr.data(), 5);
    for (std::size_t i = 0; i < 5; ++i) EXPECT_EQ(untouched[i], "?") << i;

    // 15 double-byte characters and one more byte: a buffer's whole room.
    const std::string longest = SJ("録画モード設定の名前がとても長い").substr(0, 30) + "X";
    ASSERT_EQ(longest.size(), 31u);
    const char* values[] = {longest.c_str(), nullptr};
    CRDRecorderLibrary two("RD");
    two.AddModeLabels(values, 2);
    Buffers got;
    two.GetModeLabels(got.ptr.data(), 5);
    EXPECT_EQ(got[0], longest);
    EXPECT_EQ(got[1], "");
    EXPECT_EQ(got[2], "?");
}
