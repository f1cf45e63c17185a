#include "core/text/entities.h"

#include <gtest/gtest.h>

#include "support/sjis.h"

using lv::text::DecodeHtmlEntities;

TEST(HtmlEntities, NamedReferencesARecorderPageUses) {
    EXPECT_EQ(DecodeHtmlEntities(SJ("Ｑ&amp;Ａ")), SJ("Ｑ&Ａ"));
    EXPECT_EQ(DecodeHtmlEntities("&lt;b&gt; &quot;x&quot; it&apos;s a&nbsp;b"), "<b> \"x\" it's a b");
    // Decoded once: "&amp;lt;" is the text "&lt;".
    EXPECT_EQ(DecodeHtmlEntities("&amp;lt;"), "&lt;");
}

TEST(HtmlEntities, NumericReferencesWhereCodePage932HasTheCharacter) {
    EXPECT_EQ(DecodeHtmlEntities("&#38;&#x26;&#X3C;"), "&&<");
    EXPECT_EQ(DecodeHtmlEntities("&#12354;&#x30A2;&#xff71;"), SJ("あアｱ"));
    EXPECT_EQ(DecodeHtmlEntities("a&#160;b"), "a b");
    // No code page 932 form, nothing, or no character at all: left as written.
    for (const char* kept : {"&#x1F600;", "&#233;", "&#0;", "&#xD800;", "&#99999999;", "&#;", "&#x;", "&#12a;"})
        EXPECT_EQ(DecodeHtmlEntities(kept), kept);
}

TEST(HtmlEntities, TextThatIsNoReferenceStaysAsItIs) {
    for (const char* kept : {"AT&T", "a & b", "&amp", "&copy;", "&AMP;", "&", "&;", "x&amp y;"})
        EXPECT_EQ(DecodeHtmlEntities(kept), kept);
    EXPECT_EQ(DecodeHtmlEntities(SJ("ソ&amp;表")), SJ("ソ&表"));
    // A lead byte at the very end is one character.
    EXPECT_EQ(DecodeHtmlEntities("&lt;\x83"), "<\x83");
}
