// "ﾃﾞｨｽｸﾗﾍﾞﾙの印刷..." through the real window: the selected discs' inserts
// printed to PDF files, their pages counted in the file and their text read
// back with poppler's pdftotext.
#include <QFile>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>

#include "app/print/label_print_dialog.h"
#include "app/print/print_dialog.h"
#include "support/gui_test.h"

using namespace lv::app;

namespace {

// Page objects of a PDF file, as a reader counts them.
int PdfPages(const std::string& path) {
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly)) return -1;
    const QByteArray pdf = file.readAll();
    int pages = 0;
    for (qsizetype p = 0; (p = pdf.indexOf("/Type /Page", p)) >= 0; ++p)
        if (pdf.mid(p + 11, 1) != "s") ++pages;
    return pages;
}

QString PdfText(const std::string& path) {
    QProcess p;
    p.start(u"pdftotext"_s, {QString::fromStdString(path), u"-"_s});
    if (!p.waitForFinished(30000) || p.exitCode() != 0) return u"pdftotext failed"_s;
    return QString::fromUtf8(p.readAllStandardOutput()).remove(QLatin1Char('\n')).remove(QLatin1Char(' '));
}

}  // namespace

class PrintTest : public QObject, public lv::guitest::Window {
    Q_OBJECT

private slots:
    void init() { StartOnSampleLibrary(); }
    void cleanup() { StopAndRemoveFolder(); }

    void printsAnInsertPerSelectedDiscForTheChosenCase() {
        QAction* print = Act(ID_PRINT_DISC_LABELS);
        QVERIFY(print);
        Select({u"RDA"_s, u"DVD"_s});
        QVERIFY(!print->isEnabled());
        SelectRows({0, 1});
        QVERIFY(print->isEnabled());

        // The case is chosen in the program's dialog, then the print dialog
        // prints into a file; the dialog offers the last case chosen.
        auto printFor = [&](const char* caseButton, const std::string& pdf, const char* button = "PrintButton") {
            auto waiter = lv::guitest::OnNextDialog<CLabelPrintDialog>([=](CLabelPrintDialog* d) {
                d->findChild<QRadioButton*>(QString::fromLatin1(caseButton))->click();
                d->findChild<QPushButton*>(QString::fromLatin1(button))->click();
            });
            if (!pdf.empty()) CPrintDialog::SetNextAnswer(QString::fromStdString(pdf));
            print->trigger();
            QVERIFY(!waiter->Pending());
        };
        // A DVD case's insert takes a sheet of A4 (turned); two slim ones share one.
        const std::string tall = m_folder->File("tall.pdf"), slim = m_folder->File("slim.pdf");
        printFor("TallCase", tall);
        QCOMPARE(PdfPages(tall), 2);
        int previewPages = 0;
        bool offered = false;
        auto preview = lv::guitest::OnNextDialog<QPrintPreviewDialog>([&](QPrintPreviewDialog* d) {
            previewPages = d->findChild<QPrintPreviewWidget*>()->pageCount();
            d->reject();
        });
        printFor("SlimJewelCase", {}, "PreviewButton");
        QCOMPARE(previewPages, 1);
        auto slimOffered = lv::guitest::OnNextDialog<CLabelPrintDialog>([&](CLabelPrintDialog* d) {
            offered = d->findChild<QRadioButton*>(u"SlimJewelCase"_s)->isChecked();
            d->findChild<QPushButton*>(u"PrintButton"_s)->click();
        });
        CPrintDialog::SetNextAnswer(QString::fromStdString(slim));
        print->trigger();
        QVERIFY(offered);
        QCOMPARE(PdfPages(slim), 1);

        // In the title view, the discs of the selected titles; a title on the
        // hard disk has no case.
        Select({u"RDA"_s});
        const QStringList titles = Titles(false);
        SelectRows({static_cast<int>(titles.indexOf(u"サッカー中継"_s))});
        QVERIFY(!print->isEnabled());
        SelectRows(
            {static_cast<int>(titles.indexOf(u"サッカー中継"_s)), static_cast<int>(titles.indexOf(u"映画２"_s))});
        QVERIFY(print->isEnabled());
        const std::string one = m_folder->File("one.pdf");
        printFor("TallCase", one);
        QCOMPARE(PdfPages(one), 1);

#ifdef _WIN32
        QSKIP("pdftotext does not run under Wine: the inserts' text is checked on Linux");
#endif
        // Each disc's name, number, remaining time and titles with their dates and genres.
        for (const std::string& pdf : {tall, slim}) {
            const QString text = PdfText(pdf);
            for (const QString& expected :
                 {u"映画"_s, u"RDA001"_s, u"残量時間00:11"_s, u"映画ＡＢＣ"_s, u"2005/12/21(水)09:00"_s, u"映画２"_s,
                  u"2005/12/19(月)20:00"_s, u"ドラマ１"_s, u"RDA002"_s, u"2005/12/21(水)08:00"_s})
                QVERIFY2(text.contains(expected), qUtf8Printable(expected + u" in "_s + text));
            // Titles in recording order.
            QVERIFY(text.indexOf(u"映画２"_s) < text.indexOf(u"映画ＡＢＣ"_s));
        }
        const QString text = PdfText(one);
        QVERIFY2(text.contains(u"映画ＡＢＣ"_s) && text.contains(u"映画２"_s), qUtf8Printable(text));
        QVERIFY2(!text.contains(u"ドラマ１"_s) && !text.contains(u"サッカー中継"_s), qUtf8Printable(text));
    }
};

QTEST_MAIN(PrintTest)
#include "print_test.moc"
