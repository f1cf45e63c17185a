#include "app/shell/commands.h"

#include <array>

namespace lv::app {
namespace {

constexpr std::array<COMMAND_TEXT, 36> kCommands{{
    {ID_DOWNLOAD_LIBRARY, "ﾗｲﾌﾞﾗﾘ情報を取得(&R)\tF5", "RD本体から最新のﾗｲﾌﾞﾗﾘ情報を取得します", "ﾗｲﾌﾞﾗﾘ情報を取得"},
    {ID_DOWNLOAD_ALL_LIBRARIES, "すべてのRD本体からﾗｲﾌﾞﾗﾘ情報を取得(&L)\tShift+F5",
     "すべてのRD本体から最新のﾗｲﾌﾞﾗﾘ情報を順に取得します", "すべてのRD本体からﾗｲﾌﾞﾗﾘ情報を取得"},
    {ID_DOWNLOAD_TITLE, "番組説明を取得(&D)\tF4", "RD本体から選択中の番組説明を取得します", "番組説明を取得"},
    {ID_ABORT, "中止(&A)\tEsc", "ﾗｲﾌﾞﾗﾘ情報の取得を中止します", "中止"},
    {ID_CLEAN_LIBRARY, "ﾗｲﾌﾞﾗﾘ情報を削除(&L)", "ｷｬｯｼｭからﾗｲﾌﾞﾗﾘ情報を削除します", "ﾗｲﾌﾞﾗﾘ情報を削除"},
    {ID_CLEAN_UNUSED, "未使用の番組説明を削除(&U)", "ｷｬｯｼｭから未使用の番組説明を削除します", "未使用の番組説明を削除"},
    {ID_CLEAN_DESCRIPTIONS, "番組説明をすべて削除(&D)", "ｷｬｯｼｭから番組説明をすべて削除します", "番組説明をすべて削除"},
    {ID_EXPORT_LIST, "一覧のｴｸｽﾎﾟｰﾄ(&E)...", "表示中の一覧をCSV/HTML/JSONﾌｧｲﾙに保存します", "一覧のｴｸｽﾎﾟｰﾄ"},
    {ID_PRINT_DISC_LABELS, "ﾃﾞｨｽｸﾗﾍﾞﾙの印刷(&P)...", "選択中のﾃﾞｨｽｸのﾀｲﾄﾙをｹｰｽのﾗﾍﾞﾙに印刷します", "ﾃﾞｨｽｸﾗﾍﾞﾙの印刷"},
    {ID_APP_EXIT, "ｱﾌﾟﾘｹｰｼｮﾝの終了(&X)", "ｱﾌﾟﾘｹｰｼｮﾝを終了します", "終了"},
    {ID_EDIT_COPY, "ｺﾋﾟｰ(&C)\tCtrl+C", "選択範囲のﾀｲﾄﾙ名/ﾃﾞｨｽｸ名をｺﾋﾟｰしてｸﾘｯﾌﾟﾎﾞｰﾄﾞに保存", "コピー"},
    {ID_EDIT_COPY_DETAILS, "詳細ｺﾋﾟｰ(&D)\tCtrl+D", "選択範囲のﾀｲﾄﾙ/ﾃﾞｨｽｸ詳細をｺﾋﾟｰしてｸﾘｯﾌﾟﾎﾞｰﾄﾞに保存",
     "ﾀｲﾄﾙ詳細ｺﾋﾟｰ"},
    {ID_EDIT_SELECT_ALL, "すべて選択(&A)\tCtrl+A", "すべてのﾀｲﾄﾙを選択します", "すべて選択"},
    {ID_QUICK_SEARCH, "ｸｲｯｸｻｰﾁ(&Q)\tF3", "ｷｰﾜｰﾄﾞ検索します", "ｸｲｯｸｻｰﾁ"},
    {ID_SEARCH, "条件検索(&S)\tCtrl+F", "条件を組み合わせて検索します", "条件検索"},
    {ID_UP_ONE_LEVEL, "一つ上の階層へ(&U)\tBS", "一つ上の階層へ移動します", "上へ"},
    {ID_VIEW_TOOLBAR, "ﾂｰﾙ ﾊﾞｰ(&T)", "ﾂｰﾙ ﾊﾞｰの 表示/非表示", "ﾂｰﾙ ﾊﾞｰの表示切り替え"},
    {ID_VIEW_STATUS_BAR, "ｽﾃｰﾀｽ ﾊﾞｰ(&S)", "ｽﾃｰﾀｽ ﾊﾞｰの 表示/非表示", "ｽﾃｰﾀｽ ﾊﾞｰの表示切り替え"},
    {ID_VIEW_QUICKSEARCHBAR, "ｸｲｯｸｻｰﾁ ﾊﾞｰ(&Q)", "ｸｲｯｸｻｰﾁ ﾊﾞｰの 表示/非表示", "ｸｲｯｸｻｰﾁ ﾊﾞｰの表示切り替え"},
    {ID_VIEW_FILTER, "入力中に絞り込む(&F)", "ｸｲｯｸｻｰﾁのｷｰﾜｰﾄﾞを入力するうちに一覧を絞り込みます", "入力中に絞り込む"},
    {ID_VIEW_LIST, "一覧(&L)", "ﾀｲﾄﾙを一覧表示します", "一覧"},
    {ID_VIEW_DETAILS, "詳細(&D)", "ﾀｲﾄﾙの詳細情報を表示します", "詳細"},
    {ID_DISC_NAME, "ﾃﾞｨｽｸ名(&N)", "ﾃﾞｨｽｸ名を表示", "ﾃﾞｨｽｸ名を表示"},
    {ID_DISC_FREE, "残量時間表示(&F)", "残量時間を表示", "残量時間を表示"},
    {ID_REC_MODE1, "録画モード設定1", "録画モード設定1のときの残量時間を表示します", "録画モード設定1"},
    {ID_REC_MODE1 + 1, "録画モード設定2", "録画モード設定2のときの残量時間を表示します", "録画モード設定2"},
    {ID_REC_MODE1 + 2, "録画モード設定3", "録画モード設定3のときの残量時間を表示します", "録画モード設定3"},
    {ID_REC_MODE1 + 3, "録画モード設定4", "録画モード設定4のときの残量時間を表示します", "録画モード設定4"},
    {ID_REC_MODE1 + 4, "録画モード設定5", "録画モード設定5のときの残量時間を表示します", "録画モード設定5"},
    {ID_NETNAVI_SETTING, "ﾈｯﾄdeﾅﾋﾞ設定(&N)", "ﾈｯﾄdeﾅﾋﾞの設定を追加/変更/削除します", "ﾈｯﾄdeﾅﾋﾞ設定"},
    {ID_OPTIONS, "オプション(&O)", "設定を変更します", "ｵﾌﾟｼｮﾝ"},
    {ID_HELP_README, "Readme.txtを開く(&R)", "Readme.txtを開きます", "Readme.txtを開く"},
    {ID_HELP_HOMEPAGE, "ﾎｰﾑﾍﾟｰｼﾞを開く(&H)", "配布元のﾎｰﾑﾍﾟｰｼﾞを開きます", "ﾎｰﾑﾍﾟｰｼﾞを開く"},
    {ID_APP_ABOUT, "Librovista のﾊﾞｰｼﾞｮﾝ情報(&A)...", "ﾌﾟﾛｸﾞﾗﾑの情報、ﾊﾞｰｼﾞｮﾝそして著作権を表示", "ﾊﾞｰｼﾞｮﾝ情報"},
    {ID_VIEW_SMALLICON, "小さいアイコン", "", ""},
    {ID_VIEW_LARGEICON, "大きいアイコン", "", ""},
}};

}  // namespace

const COMMAND_TEXT* FindCommandText(int id) {
    for (const COMMAND_TEXT& c : kCommands)
        if (c.nId == id) return &c;
    return nullptr;
}

QString MenuLabel(const char* menuText) {
    const QString text = QString::fromUtf8(menuText);
    const qsizetype tab = text.indexOf(QLatin1Char('\t'));
    return tab < 0 ? text : text.left(tab);
}

QString MenuShortcut(const char* menuText) {
    const QString text = QString::fromUtf8(menuText);
    const qsizetype tab = text.indexOf(QLatin1Char('\t'));
    if (tab < 0) return {};
    const QString key = text.mid(tab + 1);
    return key == QLatin1String("BS") ? QStringLiteral("Backspace") : key;
}

}  // namespace lv::app
