#include "core/text/fold.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#else
#include <iconv.h>
#endif

#include <string>

#include "support/sjis.h"

namespace {

using lv::text::CFoldedMatcher;
using lv::text::FindAtBoundary;
using lv::text::FoldHalfWidth;

TEST(FoldHalfWidth, FullWidthAsciiBecomesSingleByteAndLowerCase) {
    EXPECT_EQ(FoldHalfWidth(SJ("ＡＢＣａｂｃ０１９")), "abcabc019");
    EXPECT_EQ(FoldHalfWidth(SJ("！＃＄％＆（）＊＋，－．／：；＜＝＞？＠［］＾＿｀｛｜｝～")),
              "!#$%&()*+,-./:;<=>?@[]^_`{|}~");
    EXPECT_EQ(FoldHalfWidth(SJ("Ｘ　Ｙ")), "x y");
    EXPECT_EQ(FoldHalfWidth("ABC xyz 09"), "abc xyz 09");
    // The quotes, opening and closing, the yen sign and the broken bar of
    // Japanese fonts fold too; the full-width backslash does not.
    EXPECT_EQ(FoldHalfWidth(SJ("‘’“”￥")), "''\"\"\\");
    EXPECT_EQ(FoldHalfWidth("\xFA\x55"), "|");
    EXPECT_EQ(FoldHalfWidth(SJ("＼")), SJ("＼"));
}

TEST(FoldHalfWidth, KatakanaBecomeHalfWidthWithSeparateMarks) {
    EXPECT_EQ(FoldHalfWidth(SJ("アイウエオ")), SJ("ｱｲｳｴｵ"));
    EXPECT_EQ(FoldHalfWidth(SJ("ガ")), "\xb6\xde");
    EXPECT_EQ(FoldHalfWidth(SJ("パ")), "\xca\xdf");
    EXPECT_EQ(FoldHalfWidth(SJ("ヴ")), "\xb3\xde");
    EXPECT_EQ(FoldHalfWidth(SJ("ガギグゲゴザジズゼゾダヂヅデドバビブベボパピプペポ")),
              SJ("ｶﾞｷﾞｸﾞｹﾞｺﾞｻﾞｼﾞｽﾞｾﾞｿﾞﾀﾞﾁﾞﾂﾞﾃﾞﾄﾞﾊﾞﾋﾞﾌﾞﾍﾞﾎﾞﾊﾟﾋﾟﾌﾟﾍﾟﾎﾟ"));
    EXPECT_EQ(FoldHalfWidth(SJ("ァィゥェォッャュョヲン")), SJ("ｧｨｩｪｫｯｬｭｮｦﾝ"));
    EXPECT_EQ(FoldHalfWidth(SJ("ナニヌネノマミムメモヤユヨラリルレロワ")), SJ("ﾅﾆﾇﾈﾉﾏﾐﾑﾒﾓﾔﾕﾖﾗﾘﾙﾚﾛﾜ"));
    // Katakana without a half-width form stay; the voiced iteration mark keeps its base.
    EXPECT_EQ(FoldHalfWidth(SJ("ヮヰヱヵヶヽ")), SJ("ヮヰヱヵヶヽ"));
    EXPECT_EQ(FoldHalfWidth(SJ("ヾ")), "\x81\x52\xde");
    // Half-width katakana are already folded.
    EXPECT_EQ(FoldHalfWidth(SJ("ﾃﾚﾋﾞ")), SJ("ﾃﾚﾋﾞ"));
}

TEST(FoldHalfWidth, KatakanaPunctuationBecomesHalfWidth) {
    EXPECT_EQ(FoldHalfWidth(SJ("、。「」・ー゛゜")), "\xa4\xa1\xa2\xa3\xa5\xb0\xde\xdf");
}

TEST(FoldHalfWidth, HiraganaKanjiAndOtherCharactersStay) {
    const std::string text = SJ("がっこう漢字〒※→①");
    EXPECT_EQ(FoldHalfWidth(text), text);
    // Trail bytes in the letter range are not letters: 陰 is 0x89 0x41, 餌 0x89 0x61.
    EXPECT_EQ(FoldHalfWidth("\x89\x41\x89\x61"), "\x89\x41\x89\x61");
    // A lead byte at the very end is one character and is kept.
    EXPECT_EQ(FoldHalfWidth("AB\x82"), "ab\x82");
    EXPECT_EQ(FoldHalfWidth(""), "");
}

// The code the system's converter writes for the character of a code: the
// C library's, or Windows' own for code page 932.
#ifdef _WIN32
std::string PlatformCode(const std::string& code) {
    wchar_t u[4];
    const int n = ::MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, code.data(), static_cast<int>(code.size()), u, 4);
    if (n != 1) return {};
    char b[8];
    BOOL lossy = FALSE;
    const int m = ::WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS, u, 1, b, sizeof b, nullptr, &lossy);
    return m > 0 && !lossy ? std::string(b, static_cast<std::size_t>(m)) : std::string();
}
#else
std::string PlatformCode(const std::string& code) {
    std::string back;
    iconv_t dec = iconv_open("UTF-32LE", "CP932");
    iconv_t enc = iconv_open("CP932", "UTF-32LE");
    if (dec == reinterpret_cast<iconv_t>(-1) || enc == reinterpret_cast<iconv_t>(-1)) return back;  // NOLINT
    char u[8], b[8];
    char* in = const_cast<char*>(code.data());
    char* out = u;
    std::size_t il = code.size(), ol = sizeof u;
    if (iconv(dec, &in, &il, &out, &ol) != static_cast<std::size_t>(-1) && ol == sizeof u - 4) {
        in = u;
        il = 4;
        out = b;
        ol = sizeof b;
        if (iconv(enc, &in, &il, &out, &ol) != static_cast<std::size_t>(-1)) back.assign(b, sizeof b - ol);
    }
    iconv_close(dec);
    iconv_close(enc);
    return back;
}
#endif

TEST(FoldHalfWidth, DuplicateCodesOfNecAndIbmFoldToTheOneThePlatformWrites) {
    EXPECT_EQ(FoldHalfWidth("\xFA\x4A\x87\x54"), "\x87\x54\x87\x54");  // Roman numeral one
    EXPECT_EQ(FoldHalfWidth("\xEE\xEF\xFA\x40"), "\xFA\x40\xFA\x40");  // small Roman numeral one
    EXPECT_EQ(FoldHalfWidth("\x87\x90"), "\x81\xE0");                  // nearly equal
    EXPECT_EQ(FoldHalfWidth("\xEE\xF9\xFA\x54"), "\x81\xCA\x81\xCA");  // not sign
    // Every code of the extensions against the converter: a title stored with
    // one code is found with any other.
    int duplicates = 0;
    for (int lead : {0x87, 0xED, 0xEE, 0xFA, 0xFB, 0xFC}) {
        for (int trail = 0x40; trail <= 0xFC; ++trail) {
            const std::string code = {static_cast<char>(lead), static_cast<char>(trail)};
            const std::string platform = PlatformCode(code);
            if (platform.empty() || platform == code) continue;
            ++duplicates;
            SCOPED_TRACE(lead * 256 + trail);
            EXPECT_EQ(FoldHalfWidth(code), FoldHalfWidth(platform));
            EXPECT_TRUE(CFoldedMatcher(code).Contains("x" + platform));
            EXPECT_TRUE(CFoldedMatcher(platform).Contains(code + "x"));
        }
    }
    EXPECT_GT(duplicates, 390);
}

TEST(FindAtBoundary, MatchesOnlyAtCharacterStarts) {
    // "a" appears only as the trail byte of 餌.
    EXPECT_EQ(FindAtBoundary("\x89\x61x", "a"), std::string::npos);
    EXPECT_EQ(FindAtBoundary("\x89\x61xa", "a"), 3u);
    // 0x61 0x89 ... : a candidate inside a character, then a real one after it.
    EXPECT_EQ(FindAtBoundary("\x89\x61\x89\x61"
                             "a\x89",
                             "a\x89"),
              4u);
    EXPECT_EQ(FindAtBoundary("abc", ""), 0u);
    EXPECT_EQ(FindAtBoundary("ab", "abc"), std::string::npos);
    EXPECT_EQ(FindAtBoundary("xxabc", "abc"), 2u);
    // A match is whole characters: a lone lead byte is not the first half of 表 (95 5C).
    EXPECT_EQ(FindAtBoundary(SJ("表"), "\x95"), std::string::npos);
    EXPECT_EQ(FindAtBoundary(SJ("a表b") + "\x95", "b\x95"), 3u);
    EXPECT_EQ(FindAtBoundary("x\x95\x5C\x95", "\x95"), 3u);
    EXPECT_FALSE(CFoldedMatcher("\x95").Contains(SJ("表")));
}

TEST(FoldedMatcher, UpperCaseAsciiFindsFullWidthAndAsciiLowerCase) {
    CFoldedMatcher m("NHK");
    EXPECT_TRUE(m.Contains(SJ("ｎｈｋスペシャル")));
    EXPECT_TRUE(m.Contains(SJ("特集nhkニュース")));
    EXPECT_TRUE(m.Contains(SJ("ＮＨＫ")));
    EXPECT_FALSE(m.Contains(SJ("ＮＨ Ｋ")));
    EXPECT_EQ(m.Needle(), "nhk");
}

TEST(FoldedMatcher, KatakanaWidthsMeetButHiraganaStaysApart) {
    CFoldedMatcher m(SJ("テレビ"));
    EXPECT_TRUE(m.Contains(SJ("ﾃﾚﾋﾞ東京")));
    EXPECT_TRUE(m.Contains(SJ("おはようテレビ")));
    EXPECT_FALSE(m.Contains(SJ("てれび")));
    CFoldedMatcher h(SJ("てれび"));
    EXPECT_FALSE(h.Contains(SJ("テレビ")));
    EXPECT_TRUE(h.Contains(SJ("てれび絵本")));
    // A voiced katakana needle meets its decomposed half-width form in a title.
    CFoldedMatcher v(SJ("ｶﾞ"));
    EXPECT_TRUE(v.Contains(SJ("ガンダム")));
}

TEST(FoldedMatcher, NeverMatchesInsideADoubleByteCharacter) {
    CFoldedMatcher m("a");
    EXPECT_FALSE(m.Contains("\x89\x61\x8a\x61"));  // 餌蛎
    EXPECT_TRUE(
        m.Contains("\x89\x61\x8a\x61"
                   "A"));
    // 0x5C is the trail byte of ソ and 能, but ソ folds to ｿ and 能 stays.
    CFoldedMatcher backslash("\\");
    EXPECT_FALSE(backslash.Contains(SJ("能力")));
    EXPECT_TRUE(backslash.Contains(SJ("￥100")));
}

TEST(FoldedMatcher, EmptyNeedleMatchesEveryText) {
    CFoldedMatcher m("");
    EXPECT_TRUE(m.Contains(""));
    EXPECT_TRUE(m.Contains(SJ("何でも")));
}

TEST(FoldedMatcher, LongTitlesAreFoldedWhole) {
    // Past the first 1024 bytes of a title the search still sees folded text.
    std::string title;
    for (int i = 0; i < 700; ++i) title += SJ("あ");
    title += SJ("ＥＮＤ");
    CFoldedMatcher m("end");
    EXPECT_TRUE(m.Contains(title));
    CFoldedMatcher miss("ends");
    EXPECT_FALSE(miss.Contains(title));
    // A short title after the long one is not mixed with its leftovers.
    EXPECT_FALSE(m.Contains(SJ("ＥＮ")));
}

}  // namespace
