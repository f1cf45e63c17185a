#include "core/text/system_errors.h"

#include <gtest/gtest.h>
#ifdef _WIN32
#include <windows.h>
#include <wininet.h>
#else
#include <curl/curl.h>
#endif

#include <cerrno>
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
