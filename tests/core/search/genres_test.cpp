#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "core/library/recorder_library.h"
#include "core/search/genres.h"
#include "support/sjis.h"

namespace {

// Every genre name in table order: each main genre, then its sub-genres.
const std::vector<std::vector<const char*>> kNames = {
    {"ﾆｭｰｽ/報道全般", "01 定刻・総合", "02 天気", "03 特集・ドキュメント", "04 政治・国会", "05 経済・市況",
     "06 海外・国際", "07 解説", "08 討論・会談", "09 報道特番", "10 ローカル・地域", "11 交通", "12 ﾆｭｰｽ/報道1",
     "13 ﾆｭｰｽ/報道2", "14 ﾆｭｰｽ/報道3", "15 ﾆｭｰｽ/報道4"},
    {"スポーツ全般", "01 ｽﾎﾟｰﾂﾆｭｰｽ", "02 野球", "03 サッカー", "04 ゴルフ", "05 その他の球技", "06 相撲・格闘技",
     "07 ｵﾘﾝﾋﾟｯｸ・国際大会", "08 ﾏﾗｿﾝ・陸上・水泳", "09 モータースポーツ", "10 ﾏﾘﾝ・ｳｨﾝﾀｰｽﾎﾟｰﾂ", "11 競馬・公営競技",
     "12 スポーツ1", "13 スポーツ2", "14 スポーツ3", "15 スポーツ4"},
    {"情報/ﾜｲﾄﾞｼｮｰ全般", "01 芸能・ﾜｲﾄﾞシｮｰ", "02 ファッション", "03 暮らし・住まい", "04 健康・医療",
     "05 ｼｮｯﾋﾟﾝｸﾞ・通販", "06 グルメ・料理", "07 イベント", "08 番組紹介・お知らせ", "09 情報/ﾜｲﾄﾞｼｮｰ1",
     "10 情報/ﾜｲﾄﾞｼｮｰ2", "11 情報/ﾜｲﾄﾞｼｮｰ3", "12 情報/ﾜｲﾄﾞｼｮｰ4", "13 情報/ﾜｲﾄﾞｼｮｰ5"},
    {"ドラマ全般", "01 国内ドラマ", "02 海外ドラマ", "03 時代劇", "04 ドラマ1", "05 ドラマ2", "06 ドラマ3",
     "07 ドラマ4", "08 ドラマ5"},
    {"音楽全般", "01 国内ロック・ポップス", "02 海外ロック・ポップス", "03 クラシック・オペラ",
     "04 ジャズ・フュージョン", "05 歌謡曲・演歌", "06 ﾗｲﾌﾞ・ｺﾝｻｰﾄ", "07 ﾗﾝｷﾝｸﾞ・ﾘｸｴｽﾄ", "08 ｶﾗｵｹ・のど自慢",
     "09 民謡・邦楽", "10 童謡・キッズ", "11 民族音楽・ﾜｰﾙﾄﾞﾐｭｰｼﾞｯｸ", "12 音楽1", "13 音楽2", "14 音楽3", "15 音楽4"},
    {"バラエティ全般", "01 クイズ", "02 ゲーム", "03 トークバラエティ", "04 お笑い・コメディ", "05 音楽バラエティ",
     "06 旅バラエティ", "07 料理バラエティ", "08 バラエティ1", "09 バラエティ2", "10 バラエティ3", "11 バラエティ4",
     "12 バラエティ5"},
    {"映画全般", "01 洋画", "02 邦画", "03 アニメ", "04 映画1", "05 映画2", "06 映画3", "07 映画4", "08 映画5"},
    {"アニメ/特撮全般", "01 国内アニメ", "02 海外アニメ", "03 特撮", "04 アニメ/特撮1", "05 アニメ/特撮2",
     "06 アニメ/特撮3", "07 アニメ/特撮4", "08 アニメ/特撮5"},
    {"ﾄﾞｷｭﾒﾝﾀﾘｰ教養全般", "01 社会・時事", "02 歴史・紀行", "03 自然・動物・環境", "04 宇宙・科学・医学",
     "05 カルチャー・伝統文化", "06 文学・文芸", "07 スポーツ", "08 ドキュメンタリー全般", "09 インタビュー・討論",
     "10 ﾄﾞｷｭﾒﾝﾀﾘｰ教養1", "11 ﾄﾞｷｭﾒﾝﾀﾘｰ教養2", "12 ﾄﾞｷｭﾒﾝﾀﾘｰ教養3", "13 ﾄﾞｷｭﾒﾝﾀﾘｰ教養4", "14 ﾄﾞｷｭﾒﾝﾀﾘｰ教養5"},
    {"劇場公演全般", "01 現代劇・新劇", "02 ミュージカル", "03 ダンス・バレエ", "04 落語・演芸", "05 歌舞伎・古典",
     "06 劇場公演1", "07 劇場公演2", "08 劇場公演3", "09 劇場公演4", "10 劇場公演5"},
    {"趣味教育全般", "01 旅・釣り・アウトドア", "02 園芸・ペット・手芸", "03 音楽・美術・工芸", "04 囲碁・将棋",
     "05 麻雀・パチンコ", "06 車・オートバイ", "07 ｺﾝﾋﾟｭｰﾀ・TVｹﾞｰﾑ", "08 会話・語学", "09 幼児・小学生",
     "10 中学生・高校生", "11 大学生・受験", "12 生涯教育・資格", "13 教育問題", "14 趣味/教育1", "15 趣味/教育2"},
    {"福祉全般", "01 高齢者", "02 障害者", "03 社会福祉", "04 ボランティア", "05 手話", "06 文字（字幕）",
     "07 音声解説", "08 福祉1", "09 福祉2", "10 福祉3", "11 福祉4", "12 福祉5"},
    {"その他"},
};

TEST(GenreTable, CodesAscendAndEverySubGenreFollowsItsMainGenre) {
    ASSERT_EQ(g_aGenres.end() - g_aGenres.begin(), GENRE_COUNT);
    int previous = -1;
    int main = -1;  // the code of the main genre the rows are under
    for (const GENRE_ENTRY& g : g_aGenres) {
        SCOPED_TRACE(testing::Message() << std::hex << g.nCode);
        EXPECT_GT(g.nCode, previous);
        previous = g.nCode;
        // Bit 6 always; bit 4 and a number 0-14 for a sub-genre; the main genre 0-11 or 15.
        EXPECT_EQ(g.nCode & ~0xF001F, 0x40);
        const int number = g.nCode >> 16;
        EXPECT_TRUE(number <= 11 || number == 15);
        if (IsMainGenre(g.nCode)) {
            main = g.nCode;
        } else {
            EXPECT_EQ(main, (g.nCode & 0xF0000) | 0x40);
            EXPECT_NE(g.nCode & 0xF, 0xF);
        }
        // Images 16 to 27 and 31 of the 32 in the shared list.
        EXPECT_EQ(GetGenreImage(g.nCode), 16 + number);
        EXPECT_LT(GetGenreImage(g.nCode), 32);
    }
    EXPECT_EQ(g_aGenres[GENRE_COUNT].nCode, 0);
    EXPECT_EQ(g_aGenres[GENRE_COUNT].pszName, nullptr);
}

TEST(GenreTable, NamesInTableOrderEachSubGenreNumberedFromOne) {
    std::vector<const char*> names;
    for (const auto& group : kNames) names.insert(names.end(), group.begin(), group.end());
    ASSERT_EQ(names.size(), g_aGenres.size());
    for (std::size_t row = 0; row < names.size(); ++row) {
        const GENRE_ENTRY& g = g_aGenres[row];
        ASSERT_NE(g.pszName, nullptr) << row;
        EXPECT_EQ(U8(g.pszName), names[row]) << "row " << row;
        char number[8];
        std::snprintf(number, sizeof number, "%02d ", (g.nCode & 0xF) + 1);
        if (!IsMainGenre(g.nCode)) {
            EXPECT_EQ(std::string(g.pszName).rfind(number, 0), 0u) << names[row];
        }
    }
}

TEST(GenreTable, NamesAreCodePage932BytesWithTheirWidthsKept) {
    // The full-width "シ" among half-width katakana is kept as it is spelled.
    const GENRE_ENTRY* g = FindGenre(0x20050);
    ASSERT_NE(g, nullptr);
    EXPECT_EQ(std::string(g->pszName), SJ("01 芸能・ﾜｲﾄﾞシｮｰ"));
    EXPECT_EQ(std::string(g->pszName), std::string("01 \x8c\x7c\x94\x5c\x81\x45\xdc\xb2\xc4\xde\x83\x56\xae\xb0"));
    ASSERT_NE(FindGenre(0x40), nullptr);
    EXPECT_EQ(std::string(FindGenre(0x40)->pszName), std::string("\xc6\xad\xb0\xbd/\x95\xf1\x93\xb9\x91\x53\x94\xca"));
}

TEST(GenreCode, KeysOfTheLibraryListGiveCodeImageAndName) {
    CRDRecorderLibrary lib("RD");
    auto genreOf = [&lib](const char* key) {
        std::string line = std::string("HDD,t,2005/12/21,Wed,21:00,081,x,g,1:00,x,page,x,") + key;
        CRDTitleInfo title;
        ParseTitleLine(line.c_str(), 0, lib, title);
        return title.m_nGenre;
    };
    int baseball = genreOf("0000100081");
    EXPECT_EQ(baseball, 0x10051);
    EXPECT_EQ(GetGenreImage(baseball), 17);
    ASSERT_NE(FindGenre(baseball), nullptr);
    EXPECT_EQ(U8(FindGenre(baseball)->pszName), "02 野球");

    int other = genreOf("0001500064");
    EXPECT_EQ(other, 0xF0040);
    EXPECT_EQ(GetGenreImage(other), 31);
    EXPECT_EQ(U8(FindGenre(other)->pszName), "その他");
    EXPECT_TRUE(IsMainGenre(other));

    EXPECT_EQ(FindGenre(0), nullptr);
    EXPECT_EQ(FindGenre(0x1005F), nullptr);
}

TEST(GenreCode, FindsARowByItsName) {
    const GENRE_ENTRY* g = FindGenre(SJ("スポーツ全般"));
    ASSERT_NE(g, nullptr);
    EXPECT_EQ(g->nCode, 0x10040);
    EXPECT_EQ(FindGenre(SJ("02 野球"))->nCode, 0x10051);
    EXPECT_EQ(FindGenre(SJ("野球")), nullptr);
    EXPECT_EQ(FindGenre(std::string_view()), nullptr);
}

TEST(GenreMatch, MainGenreTakesItsSubGenresInAndSubGenreOnlyItself) {
    EXPECT_TRUE(GenreMatches(0x10040, 0x10040));
    for (int code = 0x10050; code <= 0x1005E; ++code) EXPECT_TRUE(GenreMatches(code, 0x10040)) << std::hex << code;
    EXPECT_FALSE(GenreMatches(0x20040, 0x10040));
    EXPECT_FALSE(GenreMatches(0x20051, 0x10040));
    EXPECT_FALSE(GenreMatches(0x00051, 0x10040));

    EXPECT_TRUE(GenreMatches(0x10051, 0x10051));
    EXPECT_FALSE(GenreMatches(0x10040, 0x10051));
    EXPECT_FALSE(GenreMatches(0x10052, 0x10051));

    // Main genre 0 has the code 0x40 and takes in its own sub-genres only.
    EXPECT_TRUE(GenreMatches(0x40, 0x40));
    EXPECT_TRUE(GenreMatches(0x5E, 0x40));
    EXPECT_FALSE(GenreMatches(0x10050, 0x40));
}

TEST(GenreMatch, ATitleWithoutGenreMatchesNothing) {
    for (const GENRE_ENTRY& g : g_aGenres) EXPECT_FALSE(GenreMatches(0, g.nCode));
    EXPECT_FALSE(GenreMatches(0, 0));
}

}  // namespace
