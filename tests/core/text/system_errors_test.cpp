#include "core/text/system_errors.h"

#include <gtest/gtest.h>
#ifdef _WIN32
#include <windows.h>
#include <wininet.h>
#else
#include <curl/curl.h>
#endif

#include <algorithm>
#include <cerrno>
#include <clocale>
#include <cstring>

#include "core/net/error_text.h"
#include "core/platform/errors.h"
#include "core/text/codec.h"

using lv::text::Cp932ToUtf8;

namespace {
// The system's own text for an error: strerror, or Windows' message in the user's language.
std::string Original(int err) {
#ifdef _WIN32
    return Cp932ToUtf8(lv::platform::ErrorMessage(err));
#else
    return std::strerror(err);
#endif
}
}  // namespace

// The failures users meet read in Japanese, with the original text kept in
// brackets for diagnosis; anything else keeps its original text alone.
TEST(SystemErrors, FileErrorsNameTheFileAndTheReasonInJapanese) {
    const std::string original = Original(ENOSPC);
    EXPECT_EQ(Cp932ToUtf8(lv::text::FileErrorText("R3.ini", ENOSPC)),
              "R3.ini: ディスクの空き容量が不足しています。 (" + original + ")");
    struct CASE {
        int err;
        const char* japanese;
    };
    for (const CASE& c :
         {CASE{EACCES, "アクセスが拒否されました。"}, CASE{EPERM, "アクセスが拒否されました。"},
          CASE{ENOENT, "ファイルが見つかりません。"}, CASE{EROFS, "読み取り専用のため書き込めません。"}})
        EXPECT_EQ(Cp932ToUtf8(lv::text::SystemErrorText(c.err)),
                  std::string(c.japanese) + " (" + Original(c.err) + ")");
    EXPECT_EQ(Cp932ToUtf8(lv::text::SystemErrorText(EBADF)), Original(EBADF));
}

#ifndef _WIN32
namespace {
// The locale for one test, the previous one put back after it.
struct LocaleScope {
    explicit LocaleScope(const char* name) : previous(std::setlocale(LC_ALL, nullptr)) {
        ok = std::setlocale(LC_ALL, name) != nullptr;
    }
    ~LocaleScope() { std::setlocale(LC_ALL, previous.c_str()); }
    std::string previous;
    bool ok = false;
};
}  // namespace

// The system's text comes in the locale's character set; it reaches the
// program's texts as code page 932, "?" where that has no form.
TEST(SystemErrors, TheLocalesTextBecomesCodePage932) {
    LocaleScope utf8("C.UTF-8");
    ASSERT_TRUE(utf8.ok);
    EXPECT_EQ(Cp932ToUtf8(lv::platform::LocaleTextToCp932("許可がありません ☃ ﾊﾟｽ")), "許可がありません ? ﾊﾟｽ");
    EXPECT_EQ(lv::platform::LocaleTextToCp932("No such file\xE8"), "No such file?");
    LocaleScope plain("C");  // bytes of no known meaning: only ASCII stays
    EXPECT_EQ(lv::platform::LocaleTextToCp932("a\xE8\xA8\xB1z"), "a???z");
}

TEST(SystemErrors, AJapaneseLocalesTextReadsBackWhole) {
    LocaleScope japanese("ja_JP.UTF-8");
    if (!japanese.ok) GTEST_SKIP() << "no ja_JP.UTF-8 locale (localedef -i ja_JP -f UTF-8 ja_JP.UTF-8)";
    const std::string original = std::strerror(EACCES);
    if (std::all_of(original.begin(), original.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
        GTEST_SKIP() << "the C library has no Japanese messages here: " << original;
    EXPECT_EQ(Cp932ToUtf8(lv::text::FileErrorText("R1.ini", EACCES)),
              "R1.ini: アクセスが拒否されました。 (" + original + ")");
}
#endif

#ifdef _WIN32
// WinINet's codes, and Winsock's where Wine reports those instead: the
// Japanese text alone; a failure without one keeps the library's text.
TEST(SystemErrors, TransferErrorsInJapaneseAlone) {
    struct CASE {
        DWORD code;
        const char* japanese;
    };
    for (const CASE& c :
         {CASE{ERROR_INTERNET_CANNOT_CONNECT, "サーバーに接続できません。"},
          CASE{WSAECONNREFUSED, "サーバーに接続できません。"},
          CASE{ERROR_INTERNET_NAME_NOT_RESOLVED, "ホストが見つかりません。ホスト名を確認してください。"},
          CASE{ERROR_INTERNET_PROXY_SERVER_UNREACHABLE,
               "プロキシ サーバーが見つかりません。プロキシの設定を確認してください。"},
          CASE{ERROR_INTERNET_TIMEOUT, "サーバーからの応答がタイムアウトしました。"},
          CASE{WSAETIMEDOUT, "サーバーからの応答がタイムアウトしました。"},
          CASE{ERROR_INTERNET_CONNECTION_RESET, "サーバーとの接続がリセットされました。"},
          CASE{WSAECONNRESET, "サーバーとの接続がリセットされました。"},
          CASE{ERROR_INTERNET_SECURITY_CHANNEL_ERROR, "暗号化された通信（TLS）を確立できませんでした。"},
          CASE{ERROR_HTTP_REDIRECT_FAILED, "リダイレクトが多すぎるか、たどれません。"},
          CASE{ERROR_HTTP_INVALID_SERVER_RESPONSE, "サーバーからの応答が正しくないか、長すぎます。"}})
        EXPECT_EQ(Cp932ToUtf8(TransferErrorText(static_cast<int>(c.code), "x")), c.japanese) << c.code;
    EXPECT_EQ(Cp932ToUtf8(TransferErrorText(ERROR_INTERNET_CANNOT_CONNECT, "x", true)),
              "プロキシ サーバーに接続できません。プロキシの設定を確認してください。");
    EXPECT_EQ(TransferErrorText(ERROR_INTERNET_OUT_OF_HANDLES, "handles"), "handles");
}
#else
TEST(SystemErrors, TransferErrorsInJapaneseAlone) {
    struct CASE {
        CURLcode code;
        const char* japanese;
    };
    for (const CASE& c :
         {CASE{CURLE_COULDNT_CONNECT, "サーバーに接続できません。"},
          CASE{CURLE_COULDNT_RESOLVE_HOST, "ホストが見つかりません。ホスト名を確認してください。"},
          CASE{CURLE_COULDNT_RESOLVE_PROXY, "プロキシ サーバーが見つかりません。プロキシの設定を確認してください。"},
          CASE{CURLE_OPERATION_TIMEDOUT, "サーバーからの応答がタイムアウトしました。"},
          CASE{CURLE_RECV_ERROR, "サーバーとの接続がリセットされました。"},
          CASE{CURLE_GOT_NOTHING, "サーバーとの接続がリセットされました。"},
          CASE{CURLE_PROXY, "プロキシ サーバーとの通信に失敗しました。"},
          CASE{CURLE_SSL_CONNECT_ERROR, "暗号化された通信（TLS）を確立できませんでした。"},
          CASE{CURLE_PEER_FAILED_VERIFICATION, "暗号化された通信（TLS）を確立できませんでした。"},
          CASE{CURLE_TOO_MANY_REDIRECTS, "リダイレクトが多すぎるか、たどれません。"},
          CASE{CURLE_WEIRD_SERVER_REPLY, "サーバーからの応答が正しくないか、長すぎます。"}})
        EXPECT_EQ(Cp932ToUtf8(TransferErrorText(c.code, "x")), c.japanese) << c.code;
    // Through a named proxy, the peer refusing is the proxy.
    EXPECT_EQ(Cp932ToUtf8(TransferErrorText(CURLE_COULDNT_CONNECT, "x", true)),
              "プロキシ サーバーに接続できません。プロキシの設定を確認してください。");
    EXPECT_EQ(TransferErrorText(CURLE_OUT_OF_MEMORY, "Out of memory"), "Out of memory");
}
#endif
