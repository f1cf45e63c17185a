#include "core/library/csv.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

namespace {

// Splits into n slots of the given capacity and returns their texts.
std::vector<std::string> Split(const std::string& line, CSV_MODE mode, int n = 4, std::size_t cap = 32) {
    std::vector<std::vector<char>> bufs(n, std::vector<char>(cap, 'X'));
    std::vector<CSV_FIELD> slots;
    for (auto& b : bufs) slots.push_back({b.data(), cap});
    slots.push_back({nullptr, 0});
    SplitCsvLine(line.c_str(), slots.data(), mode);
    std::vector<std::string> out;
    for (auto& b : bufs) out.emplace_back(b.data());
    return out;
}

using V = std::vector<std::string>;

std::string Normalized(const char* in) {
    char f[TIME_FIELD_SIZE] = {};
    std::snprintf(f, sizeof f, "%s", in);
    NormalizeTime(f);
    return f;
}

}  // namespace

TEST(SplitCsvLine, QuotingModesDifferOnDoubledAndInnerQuotes) {
    EXPECT_EQ(Split("\"a\"\"b\",c", CSV_DOUBLED), (V{"a\"b", "c", "", ""}));
    EXPECT_EQ(Split("\"a\"\"b\",c", CSV_PLAIN), (V{"a\"\"b", "c", "", ""}));
    EXPECT_EQ(Split("\"ab\"c,d\",e", CSV_PLAIN), (V{"ab\"c,d", "e", "", ""}));
    // In the doubled mode the inner quote closes the field and "c" makes it malformed.
    EXPECT_EQ(Split("\"ab\"c,d", CSV_DOUBLED), (V{"ab", "", "", ""}));
    EXPECT_EQ(Split("\"a,b\",c", CSV_DOUBLED), (V{"a,b", "c", "", ""}));
}

TEST(SplitCsvLine, UnterminatedAndEmptyFields) {
    for (CSV_MODE mode : {CSV_PLAIN, CSV_DOUBLED}) {
        EXPECT_EQ(Split("\"abc", mode), (V{"abc", "", "", ""}));
        EXPECT_EQ(Split("\"abc,d", mode), (V{"abc,d", "", "", ""}));
        EXPECT_EQ(Split("x,,y", mode), (V{"x", "", "y", ""}));
        EXPECT_EQ(Split("a\"b,c", mode), (V{"a\"b", "c", "", ""}));
        EXPECT_EQ(Split("", mode), (V{"", "", "", ""}));
        EXPECT_EQ(Split("a,b,c,d,e,f", mode), (V{"a", "b", "c", "d"}));
        EXPECT_EQ(Split("\"\",x", mode), (V{"", "x", "", ""}));
        EXPECT_EQ(Split("a,", mode), (V{"a", "", "", ""}));
    }
    // An even number of quotes at the end of the line is fine in the plain mode.
    EXPECT_EQ(Split("\"a\"b\"c,d", CSV_PLAIN), (V{"a\"b\"c,d", "", "", ""}));
}

TEST(SplitCsvLine, OverlongFieldIsCutAndTheNextStillFound) {
    std::string title(130, 'T');
    auto f = Split("\"" + title + "\",next", CSV_DOUBLED, 2, 129);
    EXPECT_EQ(f[0], std::string(128, 'T'));
    EXPECT_EQ(f[1], "next");
    auto g = Split(title + ",next", CSV_PLAIN, 2, 129);
    EXPECT_EQ(g[0].size(), 128u);
    EXPECT_EQ(g[1], "next");
    // The cut is at the byte limit, even inside a double-byte character.
    auto h = Split("\x82\xA0\x82\xA0,z", CSV_PLAIN, 2, 4);
    EXPECT_EQ(h[0], "\x82\xA0\x82");
    EXPECT_EQ(h[1], "z");
}

TEST(SplitCsvLine, TinySlotsNeverOverflow) {
    std::array<char, 1> one{'X'};
    std::array<char, 3> guard{'G', 'G', 'G'};
    CSV_FIELD slots[] = {{one.data(), one.size()}, {nullptr, 0}};
    SplitCsvLine("abcdef", slots, CSV_DOUBLED);
    EXPECT_EQ(one[0], '\0');
    EXPECT_EQ(guard[0], 'G');
}

TEST(NormalizeTime, PadsSplitsAndCuts) {
    EXPECT_EQ(Normalized("1:30"), "01:30");
    EXPECT_EQ(Normalized("0:5"), "00:05");
    EXPECT_EQ(Normalized("12:34"), "12:34");
    EXPECT_EQ(Normalized("--"), "--");
    EXPECT_EQ(Normalized(""), "");
    EXPECT_EQ(Normalized("123:45"), "123:04");
    EXPECT_EQ(Normalized("1234:5"), "1234:0");
    EXPECT_EQ(Normalized(":"), "00:00");
    EXPECT_EQ(Normalized("12345:"), "12345:");  // no colon within the first five bytes
}
