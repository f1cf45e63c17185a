// The system's text of a failure reaches the program's code page 932 texts
// readable, whatever the locale's character set.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <algorithm>
#include <cerrno>
#include <clocale>
#include <cstring>
#include <string>

#include "core/platform/errors.h"
#include "core/text/codec.h"
#include "core/text/system_errors.h"

namespace {

using lv::text::Cp932ToUtf8;

// Sets the locale for one test and puts the previous one back.
class LocaleScope {
public:
    explicit LocaleScope(const char* name) : m_previous(std::setlocale(LC_ALL, nullptr)) {
        m_ok = std::setlocale(LC_ALL, name) != nullptr;
    }
    ~LocaleScope() { std::setlocale(LC_ALL, m_previous.c_str()); }
    LocaleScope(const LocaleScope&) = delete;
    LocaleScope& operator=(const LocaleScope&) = delete;
    bool ok() const { return m_ok; }

private:
    std::string m_previous;
    bool m_ok = false;
};

TEST(LocaleText, UnicodeLocaleTextBecomesCodePage932) {
    LocaleScope utf8("C.UTF-8");
    ASSERT_TRUE(utf8.ok()) << "C.UTF-8 is part of the C library";
    // "?" for a character code page 932 has no form for, and for broken bytes.
    EXPECT_EQ(Cp932ToUtf8(lv::platform::LocaleTextToCp932("許可がありません ☃ ﾊﾟｽ")), "許可がありません ? ﾊﾟｽ");
    EXPECT_EQ(lv::platform::LocaleTextToCp932("No such file\xE8"), "No such file?");

    // Without a locale the bytes have no known meaning: only ASCII stays.
    LocaleScope plain("C");
    EXPECT_EQ(lv::platform::LocaleTextToCp932("a\xE8\xA8\xB1z"), "a???z");
}

TEST(LocaleText, TheSystemsJapaneseTextReadsBackWhole) {
    LocaleScope japanese("ja_JP.UTF-8");
    if (!japanese.ok()) GTEST_SKIP() << "no ja_JP.UTF-8 locale here (localedef -i ja_JP -f UTF-8 ja_JP.UTF-8)";
    const std::string original = std::strerror(EACCES);
    if (std::all_of(original.begin(), original.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
        GTEST_SKIP() << "the C library has no Japanese messages here: " << original;
    EXPECT_EQ(Cp932ToUtf8(lv::platform::ErrorMessage(EACCES)), original);
    EXPECT_EQ(Cp932ToUtf8(lv::text::FileErrorText("R1.ini", EACCES)),
              "R1.ini: アクセスが拒否されました。 (" + original + ")");
}

}  // namespace
#endif
