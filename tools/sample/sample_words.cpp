#include "sample/sample_words.h"

#include <initializer_list>
#include <stdexcept>

#include "core/text/codec.h"

namespace lv::sample {

const int kMainGenre[13] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 15};
const int kSubGenreCount[13] = {15, 15, 13, 8, 15, 12, 8, 8, 14, 10, 15, 12, 0};

namespace {

// Every word must have a code page 932 form; a "?" in the sample would hide a typo.
std::string S(const char* utf8) {
    bool ok = true;
    std::string out = lv::text::Utf8ToCp932(utf8, &ok);
    if (!ok) throw std::logic_error(std::string("no code page 932 form: ") + utf8);
    return out;
}

std::vector<std::string> L(std::initializer_list<const char*> utf8) {
    std::vector<std::string> out;
    out.reserve(utf8.size());
    for (const char* s : utf8) out.push_back(S(s));
    return out;
}

// Programme names by main genre, in the order of kMainGenre.
std::vector<std::vector<std::string>> SeriesByGenre() {
    return {
        L({"ＮＨＫニュース７", "ニュースウオッチ９", "報道ステーション", "ワールドビジネスサテライト", "ＮＥＷＳ２３",
           "ｽｰﾊﾟｰﾆｭｰｽ", "クローズアップ現代", "天気予報", "ＮＨＫニュース おはよう日本", "JNNニュース"}),
        L({"プロ野球　巨人×阪神", "Ｊリーグ中継", "大相撲九州場所", "ｽﾎﾟｰﾂﾆｭｰｽ", "全米オープンゴルフ", "Ｆ１グランプリ",
           "箱根駅伝", "世界陸上", "UEFAチャンピオンズリーグ", "高校野球　決勝"}),
        L({"はなまるマーケット", "ためしてガッテン", "きょうの料理", "王様のブランチ", "ぶらり途中下車の旅", "ｽｯｷﾘ!!",
           "いい旅・夢気分", "アド街ック天国"}),
        L({"相棒", "のだめカンタービレ", "ガリレオ", "花より男子２", "篤姫", "風林火山", "医龍", "ＨＥＲＯ",
           "ＣＳＩ：科学捜査班", "水戸黄門", "ちりとてちん", "24 -TWENTY FOUR-"}),
        L({"ミュージックステーション", "ＨＥＹ！ＨＥＹ！ＨＥＹ！", "ＮＨＫ紅白歌合戦", "ｶｳﾝﾄﾀﾞｳﾝTV", "題名のない音楽会",
           "ＮＨＫ歌謡コンサート", "MUSIC JAPAN"}),
        L({"笑っていいとも！", "めちゃ×２イケてるッ！", "ＳＭＡＰ×ＳＭＡＰ", "アメトーーク！", "クイズ＄ミリオネア",
           "世界の果てまでイッテＱ！", "ﾄﾘﾋﾞｱの泉", "ぐるぐるナインティナイン"}),
        L({"金曜ロードショー「千と千尋の神隠し」", "日曜洋画劇場「ダイ・ハード」", "土曜プレミアム「踊る大捜査線」",
           "BS映画劇場「ローマの休日」", "午後のロードショー「ｼﾞｭﾗｼｯｸ・ﾊﾟｰｸ」", "プレミアムシネマ「七人の侍」"}),
        L({"名探偵コナン", "ＮＡＲＵＴＯ－ナルト－", "ケロロ軍曹", "涼宮ハルヒの憂鬱", "コードギアス　反逆のルルーシュ",
           "機動戦士ガンダム００", "ﾃﾞｽﾉｰﾄ", "仮面ライダー電王", "ちびまる子ちゃん", "ONE PIECE",
           "天元突破グレンラガン"}),
        L({"ＮＨＫスペシャル", "プロジェクトＸ～挑戦者たち～", "世界遺産", "ダーウィンが来た！", "情熱大陸",
           "ｶﾞｲｱの夜明け", "その時歴史が動いた"}),
        L({"芸術劇場", "笑点", "古典芸能への招待", "劇団四季「ライオンキング」", "日本の話芸"}),
        L({"趣味悠々", "将棋講座", "囲碁の時間", "ＮＨＫ英会話", "ﾆｭｰｽで英会話", "おしゃれ工房",
           "3か月トピック英会話"}),
        L({"きらっといきる", "手話ニュース", "福祉ネットワーク"}),
        L({"ショップチャンネル", "放送休止", "外部入力"}),
    };
}

Words Build() {
    Words w;
    w.series = SeriesByGenre();
    w.genreNames = L({"ﾆｭｰｽ/報道", "スポーツ", "情報/ﾜｲﾄﾞｼｮｰ", "ドラマ", "音楽", "バラエティ", "映画", "アニメ/特撮",
                      "ﾄﾞｷｭﾒﾝﾀﾘｰ/教養", "劇場/公演", "趣味/教育", "福祉", "その他"});
    w.subtitles = L({"運命の再会", "謎の転校生", "最後の戦い", "新たなる旅立ち", "秘密の扉", "約束の場所", "嵐の前夜",
                     "消えた証拠", "真夏の夜の夢", "さよなら、また明日", "ＳＯＳ！", "決断の時", "ﾋﾐﾂの作戦"});
    w.marks = L({"[字]", "[二]", "[再]", "[解]", "[新]", "[終]", "[SS]", "ＨＤ", "【デ】"});
    w.extras = L({"特集", "完全版", "総集編", "ﾀﾞｲｼﾞｪｽﾄ", "前編", "後編"});
    w.sentences = L({
        "今夜は豪華ゲストが登場！",
        "事件の鍵を握る人物が姿を現す。",
        "シリーズ最大の危機が訪れる。",
        "全国各地の話題をお伝えします。",
        "出演：山田太郎、鈴木花子　ほか",
        "ﾅﾚｰｼｮﾝ：佐藤一郎",
        "【ゲスト】ＡＢＣ４８",
        "視聴者からの質問にお答えするＱ&amp;Ａコーナーも。",
        "今回のテーマは「冬の鍋料理」。",
        "<前回までのあらすじ>",
        "選手たちの熱い戦いを生中継でお届けします。",
        "監督：黒沢明　1954年　日本",
        "字幕スーパー版でお送りします。",
        "〜番組の内容は変更になる場合があります〜",
        "ついに明かされる真実とは…？",
        "ハイビジョン放送。",
        "Vol.2 \"The Return\"",
        "詳しくは番組ホームページへ。",
        "司会：明石家さんま",
        "第１部　オープニング　第２部　トーク",
    });
    w.discLabels = L({"ドラマ保存用", "アニメ", "映画コレクション", "ﾊﾞﾗｴﾃｨ", "ＮＨＫスペシャル", "DVD-RAM", "音楽番組",
                      "スポーツ名場面", "子供用", "保存版", "ﾄﾞｷｭﾒﾝﾀﾘｰ"});
    w.weekdays = L({"日", "月", "火", "水", "木", "金", "土"});
    w.hddLabel = S("ハードディスク");
    w.spaceWide = S("　");
    w.episodePrefix = S("第");
    w.episodeSuffix = S("話");
    w.roundSuffix = S("回");
    w.parenOpen = S("（");
    w.parenClose = S("）");
    w.quoteOpen = S("「");
    w.quoteClose = S("」");
    w.pageTitle = S("番組情報");
    w.labelTitle = S("番組名");
    w.labelDate = S("録画日時");
    w.labelChannel = S("チャンネル");
    w.labelGenre = S("ジャンル");
    w.modeLabels[0] = S("XP(高画質)");
    w.modeLabels[1] = S("SP(標準)");
    w.modeLabels[2] = S("LP(長時間)");
    w.modeLabels[3] = S("EP(3倍)");
    w.modeLabels[4] = S("MN6.0");
    w.discHeader = S("\"Disc No.\",\"ディスク名\",\"残量時間\"");
    return w;
}

}  // namespace

const Words& GetWords() {
    static const Words words = Build();
    return words;
}

}  // namespace lv::sample
