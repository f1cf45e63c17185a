// "一覧のｴｸｽﾎﾟｰﾄ..." through the real window: what the list shows goes to the
// file. The formats' rules are the core's; here the window hands over its
// shown columns, their order, the sort and the chosen format, and reports a
// file it could not write.
#include <QFile>
#include <QHeaderView>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTreeView>

#include "app/dialogs/file_dialog.h"
#include "support/gui_test.h"

using namespace lv::app;

class ExportTest : public QObject, public lv::guitest::Window {
    Q_OBJECT

private slots:
    void init() { StartOnSampleLibrary(); }
    void cleanup() { StopAndRemoveFolder(); }

    void savesTheShownColumnsInDisplayOrderAndSort() {
        QAction* exportList = Act(ID_EXPORT_LIST);
        QVERIFY(!exportList->isEnabled());  // nothing listed yet
        Select({u"RDA"_s});
        QVERIFY(exportList->isEnabled());
        QHeaderView* header = m_list->GetDetailsView()->header();
        header->moveSection(header->visualIndex(3), 0);  // the date first
        header->resizeSection(4, 0);                     // the channel hidden
        ClickHeader(3);                                  // by date, descending

        // A name without extension takes the chosen filter's.
        const std::string path = m_folder->File("list");
        CFileDialog::SetNextAnswer(QString::fromStdString(path), 3);
        exportList->trigger();
        QFile json(QString::fromStdString(path + ".json"));
        QVERIFY(json.open(QIODevice::ReadOnly));
        QJsonParseError error{};
        const QJsonObject doc = QJsonDocument::fromJson(json.readAll(), &error).object();
        QCOMPARE(error.error, QJsonParseError::NoError);
        QStringList keys;
        for (const QJsonValue c : doc[u"columns"_s].toArray()) keys << c[u"key"_s].toString();
        // "残量時間" is hidden by default.
        QCOMPARE(keys, (QStringList{u"Date"_s, u"Title"_s, u"Disc"_s, u"Genre"_s, u"RDName"_s}));
        QCOMPARE(doc[u"sort"_s][u"column"_s].toString(), u"Date"_s);
        QVERIFY(doc[u"sort"_s][u"descending"_s].toBool());
        QStringList titles, dates;
        for (const QJsonValue row : doc[u"rows"_s].toArray()) {
            titles << row[u"Title"_s].toString();
            dates << row[u"Date"_s].toString();
        }
        QCOMPARE(titles, Titles(false));
        QCOMPARE(dates, Column(3));
        QCOMPARE(dates.first(), u"2005/12/21(水) 19:00"_s);

        // The code page 932 filter; a .csv keeps the encoding chosen.
        CFileDialog::SetNextAnswer(QString::fromStdString(path + ".csv"), 1);
        exportList->trigger();
        QVERIFY(
            lv::test::ReadFile(path + ".csv").starts_with(SJ("録画開始日時,タイトル名,Disc No.,ジャンル,本体名\r\n")));

        // A file that cannot be written: the shared file error text in a stop box.
        CMessageBox::SetNextAnswer(QMessageBox::Ok);
        CFileDialog::SetNextAnswer(QString::fromStdString(m_folder->File("missing/list.html")), 3);
        exportList->trigger();
        QCOMPARE(CMessageBox::Shown().back().icon, QMessageBox::Critical);
        QVERIFY2(CMessageBox::Shown().back().text.startsWith(u"list.html: ファイルが見つかりません。"_s),
                 qUtf8Printable(CMessageBox::Shown().back().text));
    }
};

QTEST_MAIN(ExportTest)
#include "export_test.moc"
