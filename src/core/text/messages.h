#pragma once
// The program's own texts that the core writes or compares, as code page 932
// bytes. Spelled once here in UTF-8 and converted on first use.
#include <string>

namespace lv::msg {

#define LV_MESSAGES(X)                                                                                          \
    X(NotFetched, "（未取得）")                                                                                 \
    X(Interrupted, "処理が中断されました。")                                                                    \
    X(UnknownError, "Unknown Error.")                                                                           \
    X(LibraryFailed, "ライブラリ情報の取得に失敗しますた。\n本体が作業中でないかご確認ください。")              \
    X(DescriptionFailed,                                                                                        \
      "番組説明の取得に失敗しますた。\n本体が作業中でないかご確認ください。\n" \
      "ライブラリ情報が最新でない場合は最新の情報に更新してください。")                                         \
    X(DerivedDiscHeader, "\"Disc No.\",\"ディスク名\",\"残量時間\"")                                            \
    X(StatusConnecting, "RD本体に接続中...")                                                                    \
    X(StatusReceiving, "ﾗｲﾌﾞﾗﾘ情報を取得中...")                                                                 \
    X(StatusReceived, "完了")                                                                                   \
    X(BadModel, "機種名が無効です。")                                                                           \
    X(BadHost, "ﾎｽﾄ名が無効です。")                                                                             \
    X(BadPort, "ﾎﾟｰﾄ番号が無効です。")                                                                          \
    X(PortDefaulted, "ﾎﾟｰﾄ番号が無効です。既定のﾎﾟｰﾄ番号 80 を使います。")                                      \
    X(BadAuth, "本体ｾｷｭﾘﾃｨが無効です。")                                                                        \
    X(BadUser, "ﾕｰｻﾞｰ名が無効です。")                                                                           \
    X(BadPassword, "ﾊﾟｽﾜｰﾄﾞが無効です。")                                                                       \
    X(BadName, "本体名が無効です。")                                                                            \
    X(SaveFailed, "設定保存に失敗しました。")                                                                   \
    X(CacheDeleted, "%d 個のキャッシュファイルを削除しました。")                                                \
    X(SearchResults, "検索結果")                                                                                \
    X(NewTitles, "新着")                                                                                        \
    X(NewsStatus, "新着 %d件 / 削除 %d件")                                                                      \
    X(NewsNotSaved, "新着情報を保存できませんでした。")                                                         \
    X(OutOfMemory, "メモリが足りません。")                                                                      \
    X(UnexpectedError, "予期しないエラーが発生しました。")                                                      \
    X(FetchAllFailed, "次のRD本体からﾗｲﾌﾞﾗﾘ情報を取得できませんでした。")                                       \
    X(AskDeleteLibrary, "のライブラリ情報を削除します。よろしいですか？")                                       \
    X(AskDeleteUnused, "の未使用の番組説明を削除します。よろしいですか？")                                      \
    X(AskDeleteAll, "の番組説明をすべて削除します。よろしいですか？")                                           \
    X(CannotDelete, "%s を削除できません。")                                                                    \
    X(TooLarge, "受信したデータが上限の %s を超えたため中断しました。\n以前の情報はそのまま残ります。")         \
    X(NoDescriptions, "この機種は番組説明の取得に対応していません。")                                           \
    X(ErrHostNotFound, "ホストが見つかりません。ホスト名を確認してください。")                                  \
    X(ErrProxyNotFound, "プロキシ サーバーが見つかりません。プロキシの設定を確認してください。")                \
    X(ErrCannotConnect, "サーバーに接続できません。")                                                           \
    X(ErrTimedOut, "サーバーからの応答がタイムアウトしました。")                                                \
    X(ErrConnectionReset, "サーバーとの接続がリセットされました。")                                             \
    X(ErrProxy, "プロキシ サーバーとの通信に失敗しました。")                                                    \
    X(ErrBadResponse, "サーバーからの応答が正しくないか、長すぎます。")                                         \
    X(ErrProxyRefused, "プロキシ サーバーに接続できません。プロキシの設定を確認してください。")                 \
    X(ErrTls, "暗号化された通信（TLS）を確立できませんでした。")                                                \
    X(ErrTooManyRedirects, "リダイレクトが多すぎるか、たどれません。")                                          \
    X(ErrAuthFailed, "認証に失敗しました。RD本体のｾｷｭﾘﾃｨ設定（ﾕｰｻﾞｰ名とﾊﾟｽﾜｰﾄﾞ）を確認してください。")          \
    X(ErrDiskFull, "ディスクの空き容量が不足しています。")                                                      \
    X(ErrAccessDenied, "アクセスが拒否されました。")                                                            \
    X(ErrFileNotFound, "ファイルが見つかりません。")                                                            \
    X(ErrReadOnly, "読み取り専用のため書き込めません。")                                                        \
    X(ColTitle, "タイトル名")                                                                                   \
    X(ColDiscNo, "Disc No.")                                                                                    \
    X(ColGenre, "ジャンル")                                                                                     \
    X(ColDate, "録画開始日時")                                                                                  \
    X(ColChannel, "ﾁｬﾝﾈﾙ")                                                                                      \
    X(ColRDName, "本体名")                                                                                      \
    X(ColFree, "残量時間")                                                                                      \
    X(ColLabel, "ﾃﾞｨｽｸ名")                                                                                      \
    X(ColFree1, "設定1")                                                                                        \
    X(ColFree2, "設定2")                                                                                        \
    X(ColFree3, "設定3")                                                                                        \
    X(ColFree4, "設定4")                                                                                        \
    X(ColFree5, "設定5")

#define LV_DECLARE_MESSAGE(name, utf8) const std::string& name();
LV_MESSAGES(LV_DECLARE_MESSAGE)
#undef LV_DECLARE_MESSAGE

}  // namespace lv::msg
