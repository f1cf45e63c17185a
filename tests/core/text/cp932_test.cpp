#include "core/text/cp932.h"

#include <gtest/gtest.h>

#include "core/text/codec.h"
#include "core/text/messages.h"
#include "support/sjis.h"

using namespace lv::text;

// "ソ" is 0x83 0x5C: its trail byte is a backslash, "表" is 0x95 0x5C.
TEST(Cp932Text, StepsOverTrailBytesThatLookLikeAscii) {
    std::string so = SJ("ソ");
    ASSERT_EQ(so, "\x83\x5C");
    EXPECT_EQ(RemoveChars(so + "\\a\\", "\\"), so + "a");
    std::string trimmed = "x" + so;
    TrimRight(trimmed, "\\");
    EXPECT_EQ(trimmed, "x" + so);
    std::string both = so + "  ";
    TrimRight(both, " ");
    EXPECT_EQ(both, so);
    std::string lead = "__" + SJ("表") + "_";
    TrimLeft(lead, "_ ");
    EXPECT_EQ(lead, SJ("表") + "_");
}

TEST(Cp932Text, LeadByteAtTheEndIsOneCharacter) {
    std::string s = "ab\x83";
    EXPECT_EQ(CharLength(s, 2), 1u);
    EXPECT_EQ(RemoveChars(s, "b"), "a\x83");
    EXPECT_EQ(CutLength(s, 3), 3u);
    EXPECT_EQ(Find(s, "\x83"), 2u);
}

TEST(Cp932Text, CutNeverSplitsACharacter) {
    std::string s = "a" + SJ("日本");  // a, 2 bytes, 2 bytes
    EXPECT_EQ(CutLength(s, 0), 0u);
    EXPECT_EQ(CutLength(s, 1), 1u);
    EXPECT_EQ(CutLength(s, 2), 1u);
    EXPECT_EQ(CutLength(s, 3), 3u);
    EXPECT_EQ(CutLength(s, 4), 3u);
    EXPECT_EQ(CutLength(s, 99), 5u);
}

TEST(Cp932Text, CompareRanksDoubleByteAboveSingleAndPrefixFirst) {
    EXPECT_LT(Compare("abc", "abd"), 0);
    EXPECT_LT(Compare("ab", "abc"), 0);
    EXPECT_GT(Compare("abc", "ab"), 0);
    EXPECT_EQ(Compare("", ""), 0);
    // Half-width katakana (single bytes 0xA1-0xDF) rank below every double-byte character.
    EXPECT_LT(Compare(SJ("ｱ"), SJ("ア")), 0);
    EXPECT_LT(Compare("z", SJ("あ")), 0);
    // Within double-byte characters the lead byte weighs more than the trail byte.
    EXPECT_LT(Compare("\x82\xFC", "\x83\x40"), 0);
    EXPECT_LT(Compare(SJ("あ"), SJ("い")), 0);
}

TEST(Cp932Text, FindMatchesOnlyAtCharacterBoundaries) {
    // "ア" is 0x83 0x41; its trail byte is "A".
    std::string s = SJ("ア") + "A";
    EXPECT_EQ(Find(s, "A"), 2u);
    EXPECT_EQ(Find(SJ("ア"), "A"), std::string::npos);
    EXPECT_EQ(Find("abc", ""), 0u);
    EXPECT_EQ(Find("abcabc", "abc", 1), 3u);
    EXPECT_EQ(Find("ab", "abc"), std::string::npos);
}

TEST(Cp932Text, BeginsWithNoCaseFoldsOnlySingleByteLetters) {
    EXPECT_TRUE(BeginsWithNoCase("News-7", "nEWS"));
    EXPECT_TRUE(BeginsWithNoCase("abc", ""));
    EXPECT_FALSE(BeginsWithNoCase("ab", "abc"));
    // 陰 (0x89 0x41) and 餌 (0x89 0x61) differ only in a trail byte in the letter range.
    EXPECT_FALSE(BeginsWithNoCase("\x89\x41", "\x89\x61"));
    EXPECT_TRUE(BeginsWithNoCase(SJ("ニュース7"), SJ("ニュース")));
    // Full-width letters are not folded either.
    EXPECT_FALSE(BeginsWithNoCase(SJ("ＡＢＣ"), SJ("ａｂ")));
    // A prefix ending in a lone lead byte does not match the first half of a character.
    EXPECT_FALSE(BeginsWithNoCase("\x89\x41", "\x89"));
}

TEST(Codec, RoundTripsJapaneseAndMarksInvalidBytes) {
    const char* utf8 = "テスト ｱｲｳ 日本語～ＡＢＣ①";
    bool ok = false;
    std::string cp = Utf8ToCp932(utf8, &ok);
    EXPECT_TRUE(ok);
    EXPECT_EQ(Cp932ToUtf8(cp), utf8);
    EXPECT_EQ(Cp932ToUtf8("a\x83"), "a\xEF\xBF\xBD");       // lead byte at the end
    EXPECT_EQ(Cp932ToUtf8("\x81\x20x"), "\xEF\xBF\xBD x");  // invalid trail keeps the ASCII after it
    EXPECT_EQ(Cp932ToUtf8(std::string("a\0b", 3)), std::string("a\0b", 3));
    EXPECT_EQ(Utf8ToCp932("\xF0\x9F\x98\x80", &ok), "?");  // no code page 932 form
    EXPECT_FALSE(ok);
    // The wave dash typed on other platforms becomes the code page 932 one.
    EXPECT_EQ(Utf8ToCp932("\xE3\x80\x9C"), "\x81\x60");
}

TEST(Messages, EveryTextHasAnExactCodePage932Form) {
#define LV_CHECK_MESSAGE(name, utf8)                            \
    {                                                           \
        bool ok = false;                                        \
        EXPECT_EQ(lv::msg::name(), Utf8ToCp932(utf8, &ok));     \
        EXPECT_TRUE(ok) << #name;                               \
        EXPECT_EQ(Cp932ToUtf8(lv::msg::name()), utf8) << #name; \
    }
    LV_MESSAGES(LV_CHECK_MESSAGE)
#undef LV_CHECK_MESSAGE
    EXPECT_EQ(lv::msg::NotFetched(), "\x81\x69\x96\xA2\x8E\xE6\x93\xBE\x81\x6A");
}
