#include "core/views/list_export.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <string>
#include <vector>

#include "core/text/codec.h"
#include "support/sjis.h"
#include "support/temp_dir.h"

namespace {

using Strings = std::vector<std::string>;

// Rows over records the test keeps alive.
struct List {
    std::deque<CListRow> rows;
    LIST_EXPORT Export(std::vector<int> columns, int sortKey = 0) const {
        LIST_EXPORT e;
        for (const CListRow& r : rows) e.rows.push_back(r.Ref());
        e.columns = std::move(columns);
        e.nSortKey = sortKey;
        return e;
    }
    void Title(const char* rd, const char* disc, const std::string& title, int genre = 0x30040) {
        const std::string genreText = SJ("ドラマ");
        TITLEINFO info{};
        for (const char*& f : info.apszField) f = "";
        info.apszField[TF_DISC] = disc;
        info.apszField[TF_TITLE] = title.c_str();
        info.apszField[TF_GENRE] = genreText.c_str();
        info.apszField[TF_DATE] = "2006/01/02";
        info.apszField[TF_WEEK] = "Mon";
        info.apszField[TF_TIME] = "21:00";
        info.apszField[TF_DISCFREE1] = disc;  // the disc's time for mode 0: tells the discs apart
        info.nGenre = genre;
        CRDTitleInfo rec;
        rec.SetInfo(info);
        rows.push_back(CListRow::FromTitle(rd, rec));
    }
};

TEST(ListExport, CsvQuotesOnlyWhatNeedsItInBothEncodings) {
    List l;
    // "ソ" and "表" end in the byte of a backslash; quote and comma never do.
    l.Title("RD", "HDD", SJ("\"引用\", ソ表"));
    l.Title("RD", "0001", SJ("二行\r\n目"));
    l.Title("RD", "0001", "bad\x85\x40 end\x83");
    const LIST_EXPORT e = l.Export({3, 0, 1});  // display order: date, title, disc
    EXPECT_EQ(ExportList(e, EXPORT_CSV_UTF8),
              "\xEF\xBB\xBF録画開始日時,タイトル名,Disc No.\r\n"
              "2006/01/02(Mon) 21:00,\"\"\"引用\"\", ソ表\",HDD\r\n"
              "2006/01/02(Mon) 21:00,\"二行\r\n目\",0001\r\n"
              "2006/01/02(Mon) 21:00,bad\xEF\xBF\xBD@ end\xEF\xBF\xBD,0001\r\n");
    // Code page 932 as stored, but no byte sequence that a reader cannot decode.
    EXPECT_EQ(ExportList(e, EXPORT_CSV_CP932), SJ("録画開始日時,タイトル名,Disc No.\r\n"
                                                  "2006/01/02(Mon) 21:00,\"\"\"引用\"\", ソ表\",HDD\r\n"
                                                  "2006/01/02(Mon) 21:00,\"二行\r\n目\",0001\r\n"
                                                  "2006/01/02(Mon) 21:00,bad?@ end?,0001\r\n"));
}

TEST(ListExport, CsvCellsAreNeitherFormulasNorControlBytes) {
    List l;
    for (const char* t : {"=1+2", "+1", "-1", "@SUM(A1)", "\tTab", "\rCR", "a=b", "ESC\x1b[2J\x07.DEL\x7f"})
        l.Title("RD", "HDD", t);
    const LIST_EXPORT e = l.Export({0});
    EXPECT_EQ(ExportList(e, EXPORT_CSV_UTF8),
              "\xEF\xBB\xBFタイトル名\r\n'=1+2\r\n'+1\r\n'-1\r\n'@SUM(A1)\r\n'\tTab\r\n\"'\rCR\"\r\na=b\r\n"
              "ESC\xEF\xBF\xBD[2J\xEF\xBF\xBD.DEL\xEF\xBF\xBD\r\n");
    EXPECT_EQ(
        ExportList(e, EXPORT_CSV_CP932),
        SJ("タイトル名") + "\r\n'=1+2\r\n'+1\r\n'-1\r\n'@SUM(A1)\r\n'\tTab\r\n\"'\rCR\"\r\na=b\r\nESC?[2J?.DEL?\r\n");
}

TEST(ListExport, CatalogueHasASectionPerDiscInTheListsOrderAndEscapesText) {
    List l;
    l.Title("RD", "0002", SJ("<b>A&B</b> \"q\" 'x'"), 0x10051);
    l.Title("RD", "HDD", "ctl\x01x", 0);
    l.Title("RD", "0002", "second", 0x10040);
    l.Title("RX", "0002", "other recorder");
    // The disc and the recorder are in the headings, not in the tables.
    const std::string html = ExportList(l.Export({5, 0, 1, 2}), EXPORT_HTML);

    std::vector<std::string> headings;
    for (std::size_t p = 0; (p = html.find("<h2>", p)) != std::string::npos; ++p)
        headings.push_back(html.substr(p + 4, html.find("</h2>", p) - p - 4));
    EXPECT_EQ(headings, (Strings{"RD 0002", "RD HDD", "RX 0002"}));
    // A browser repeats a table's head on every page the table spans: the
    // disc's heading and the column heads are there.
    Strings heads;
    for (std::size_t p = 0; (p = html.find("<thead>", p)) != std::string::npos; ++p) {
        const std::string head = html.substr(p, html.find("</thead>", p) - p);
        const std::size_t h2 = head.find("<h2>");
        if (h2 != std::string::npos &&
            head.find("<th>タイトル名</th><th class=\"fit\">ジャンル</th>") != std::string::npos)
            heads.push_back(head.substr(h2 + 4, head.find("</h2>") - h2 - 4));
    }
    EXPECT_EQ(heads, headings);
    const std::size_t first = html.find("<h2>RD 0002"), second = html.find("<h2>RD HDD");
    const std::size_t inFirst = html.find("<td>second</td>");
    EXPECT_TRUE(inFirst > first && inFirst < second);
    EXPECT_NE(html.find("<span>残量時間: 0002</span>"), std::string::npos);
    EXPECT_NE(html.find("<tr><th class=\"fit\"></th><th>タイトル名</th><th class=\"fit\">ジャンル</th></tr>"),
              std::string::npos);

    EXPECT_NE(html.find("<td>&lt;b&gt;A&amp;B&lt;/b&gt; &quot;q&quot; &#39;x&#39;</td>"), std::string::npos);
    EXPECT_NE(html.find("<td>ctl\xEF\xBF\xBDx</td>"), std::string::npos) << "no control character in HTML";
    // Sports (17) and drama (19) pictures, each defined once and used by their rows.
    for (const char* id : {"image17", "image19"}) {
        const std::string symbol = std::string("<symbol id=\"") + id + "\" viewBox=\"0 0 16 16\">";
        EXPECT_NE(html.find(symbol), std::string::npos) << id;
        EXPECT_EQ(html.find(symbol), html.rfind(symbol)) << id;
    }
    EXPECT_EQ(html.find("<?xml"), std::string::npos);
    EXPECT_NE(html.find("<use href=\"#image17\"/>"), std::string::npos);
    EXPECT_EQ(html.find("image16"), std::string::npos) << "only pictures in use";
}

TEST(ListExport, JsonIsValidUtf8WithControlCharactersEscaped) {
    List l;
    l.Title("RD", "HDD", "q\"b\\\t\x01\x1F\x7F ok");
    l.Title("RD", "HDD", SJ("ソ") + "\x83");
    const std::string json = ExportList(l.Export({0, 2}, 3 | SORT_DESCENDING), EXPORT_JSON);
    EXPECT_EQ(
        json,
        "{\"view\":\"titles\",\"sort\":{\"column\":\"Date\",\"descending\":true},\n"
        "\"columns\":[{\"key\":\"Title\",\"header\":\"タイトル名\"},{\"key\":\"Genre\",\"header\":\"ジャンル\"}],\n"
        "\"rows\":[\n"
        "{\"Title\":\"q\\\"b\\\\\\t\\u0001\\u001f\x7F ok\",\"Genre\":\"ドラマ\"},\n"
        "{\"Title\":\"ソ\xEF\xBF\xBD\",\"Genre\":\"ドラマ\"}\n"
        "]}\n");
    // Key 0 of the disc view is its disc number column.
    LIST_EXPORT discs = List{}.Export({0});
    discs.nViewMode = VIEW_DISCS;
    EXPECT_NE(ExportList(discs, EXPORT_JSON).find("{\"column\":\"DiscNo\",\"descending\":false}"), std::string::npos);
}

TEST(ListExport, RowsArePassedOnInBoundedPiecesAndAFailedWriteStopsTheExport) {
    List l;
    for (int i = 0; i < 3000; ++i)
        l.Title("RD", i % 2 ? "0001" : "0002", std::string(100, static_cast<char>('a' + i % 26)));
    const LIST_EXPORT e = l.Export({3, 0, 1});
    for (const EXPORT_FORMAT f : {EXPORT_CSV_UTF8, EXPORT_CSV_CP932, EXPORT_HTML, EXPORT_JSON}) {
        std::string joined;
        std::size_t pieces = 0, largest = 0;
        EXPECT_TRUE(WriteExport(e, f, [&](std::string_view piece) {
            joined += piece;
            largest = std::max(largest, piece.size());
            return ++pieces > 0;
        }));
        EXPECT_EQ(joined, ExportList(e, f)) << f;
        EXPECT_GE(pieces, joined.size() / 65536) << f;
        EXPECT_LE(largest, 65536u + 1024u) << f << ": a piece is the buffer and at most one row more";
        int calls = 0;
        EXPECT_FALSE(WriteExport(e, f, [&](std::string_view) { return ++calls < 2; })) << f;
        EXPECT_EQ(calls, 2) << f << ": nothing more is made after a write failed";
    }
}

TEST(ListExport, FormatFollowsTheExtensionElseTheChoiceAndFailuresNameTheFile) {
    struct CASE {
        const char* path;
        EXPORT_FORMAT chosen, format;
        const char* written;
    };
    for (const CASE& c :
         {CASE{"a.csv", EXPORT_JSON, EXPORT_CSV_UTF8, "a.csv"},
          CASE{"a.CSV", EXPORT_CSV_CP932, EXPORT_CSV_CP932, "a.CSV"},
          CASE{"a.Html", EXPORT_CSV_UTF8, EXPORT_HTML, "a.Html"}, CASE{"a.htm", EXPORT_JSON, EXPORT_HTML, "a.htm"},
          CASE{"a.json", EXPORT_HTML, EXPORT_JSON, "a.json"}, CASE{"dir.x/a", EXPORT_HTML, EXPORT_HTML, "dir.x/a.html"},
          CASE{"a.txt", EXPORT_CSV_CP932, EXPORT_CSV_CP932, "a.txt.csv"}}) {
        EXPECT_EQ(ExportFormatFor(c.path, c.chosen), c.format) << c.path;
        EXPECT_EQ(WithExportExtension(c.path, c.format), c.written) << c.path;
    }
    lv::test::TempDir dir;
    List l;
    l.Title("RD", "HDD", "t");
    std::string error;
    EXPECT_FALSE(ExportListToFile(l.Export({0}), EXPORT_JSON, dir.file("missing/一覧.json"), error));
    EXPECT_EQ(lv::text::Cp932ToUtf8(error).rfind("一覧.json: ファイルが見つかりません。", 0), 0u) << error;
    ASSERT_TRUE(ExportListToFile(l.Export({0}), EXPORT_CSV_CP932, dir.file("a.csv"), error));
    EXPECT_EQ(lv::test::ReadFile(dir.file("a.csv")), SJ("タイトル名") + "\r\nt\r\n");
}

}  // namespace
