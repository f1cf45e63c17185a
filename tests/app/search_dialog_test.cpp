// The condition-search dialog through the window's Ctrl+F: its controls,
// how they reach the condition and come back from it, and its share of the
// keyword history. The condition's cases are the core's condition_fields_test.
#include <QCheckBox>
#include <QDateEdit>
#include <QPushButton>

#include "app/search/date_picker.h"
#include "app/search/search_dialog.h"
#include "core/search/genres.h"
#include "support/gui_test.h"

using namespace lv::app;
using lv::guitest::Child;
using lv::guitest::OnNextDialog;
using lv::guitest::Window;

namespace {

// Titles with genre codes: 映画 sub-genres 0x60050/0x60051, ドラマ main genre.
const char* const kDiscs =
    "\"Disc No.\",\"ディスク名\",\"残量時間\",\"SP\",\"LP\",\"EP\",\"XP\",\"MN\"\n"
    "\"HDD_\",\"\",\"10:00\",\"10:00\",\"20:00\",\"30:00\",\"5:00\",\"8:00\"\n"
    "\"001\",\"映画集\",\"1:00\",\"0:20\",\"0:40\",\"1:00\",\"0:10\",\"0:30\"\n";
const char* const kTitles =
    "\"HDD\",\"映画A\",\"2006/01/"
    "10\",\"火\",\"21:00\",\"041\",\"\",\"映画\",\"2:00\",\"\",\"s1.htm\",\"\",\"0000600080\"\n"
    "\"HDD\",\"映画B\",\"2006/01/"
    "20\",\"金\",\"21:00\",\"041\",\"\",\"映画\",\"2:00\",\"\",\"s2.htm\",\"\",\"0000600081\"\n"
    "\"001\",\"映画C\",\"2006/01/"
    "25\",\"水\",\"21:00\",\"041\",\"\",\"映画\",\"2:00\",\"\",\"s3.htm\",\"\",\"0000600080\"\n"
    "\"HDD\",\"ドラマX\",\"2006/01/"
    "15\",\"日\",\"22:00\",\"041\",\"\",\"ドラマ\",\"1:00\",\"\",\"s4.htm\",\"\",\"0000300064\"\n"
    "\"HDD\",\"映画D\",\"2006/02/"
    "01\",\"水\",\"21:00\",\"041\",\"\",\"映画\",\"2:00\",\"\",\"s5.htm\",\"\",\"0000600080\"\n";

// Ticks the picker and types the date into it, section by section.
void TypeDate(CDatePicker* picker, const QString& digits) {
    if (!picker->CheckBox()->isChecked()) QTest::mouseClick(picker->CheckBox(), Qt::LeftButton);
    QVERIFY(picker->DateEdit()->isEnabled());
    picker->DateEdit()->setFocus(Qt::TabFocusReason);
    picker->DateEdit()->setSelectedSection(QDateTimeEdit::YearSection);
    QTest::keyClicks(picker->DateEdit(), digits);
}

}  // namespace

class SearchDialogTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<Window> w;

    // Ctrl+F, the action on the dialog, and back when it has closed.
    void RunSearch(std::function<void(CSearchDialog*)> action) {
        bool ran = false;
        auto waiter = OnNextDialog<CSearchDialog>([&](CSearchDialog* d) {
            ran = true;
            action(d);
        });
        w->Key(Qt::Key_F, Qt::ControlModifier);
        QVERIFY(ran);
        QVERIFY(!QApplication::activeModalWidget());
    }
    static void Press(CSearchDialog* d, const char* name) {
        QTest::mouseClick(d->findChild<QPushButton*>(QString::fromLatin1(name)), Qt::LeftButton);
    }
    static int Find(QComboBox* box, const QString& text) { return box->findText(text, Qt::MatchExactly); }

private slots:
    void init() {
        CMessageBox::ClearShown();
        w = std::make_unique<Window>();
        w->m_folder->AddSampleLibrary();
        w->m_folder->AddRecorder("RDS", "RD-X5", kDiscs, kTitles);
        w->Start();
    }
    void cleanup() { w.reset(); }

    void controlsLabelsAndTabOrder() {
        RunSearch([this](CSearchDialog* d) {
            QCOMPARE(d->windowTitle(), QStringLiteral("条件検索"));
            QCOMPARE(d->findChild<QPushButton*>(QStringLiteral("OK"))->text(), QStringLiteral("検索"));
            QVERIFY(d->findChild<QPushButton*>(QStringLiteral("OK"))->isDefault());
            QCOMPARE(d->findChild<QPushButton*>(QStringLiteral("Cancel"))->text(), QStringLiteral("ｷｬﾝｾﾙ"));

            QCOMPARE(w->BoxItems(Child<QComboBox>(d, "Recorder")), (QStringList{u""_s, u"RDA"_s, u"RDB"_s, u"RDS"_s}));
            QCOMPARE(w->BoxItems(Child<QComboBox>(d, "Disc")), (QStringList{u""_s, u"HDD"_s, u"DVD"_s}));
            QComboBox* genre = Child<QComboBox>(d, "Genre");
            QCOMPARE(genre->count(), 159);
            QCOMPARE(genre->itemText(0), QString());
            QVERIFY(genre->itemIcon(0).isNull());
            QCOMPARE(genre->currentIndex(), 0);
            // The rows are the genre table's; a sub-genre with its code and its main genre's image.
            QCOMPARE(genre->itemData(19).toInt(), 0x10051);
            QCOMPARE(genre->itemText(19), QStringLiteral("02 野球"));
            QCOMPARE(genre->itemIcon(19).cacheKey(), w->m_app->m_images.Image(GetGenreImage(0x10051)).cacheKey());
            QVERIFY(!Child<CDatePicker>(d, "DateFrom")->IsChecked());
            QVERIFY(!Child<CDatePicker>(d, "DateTo")->IsChecked());
            QVERIFY(!Child<CDatePicker>(d, "DateFrom")->DateEdit()->isEnabled());

            // Tab goes through the six inputs in order (a date is its tick, then its field).
            QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(Child<CKeywordComboBox>(d, "SearchText")));
            const QList<QWidget*> order{Child<QComboBox>(d, "Recorder"), Child<QComboBox>(d, "Disc"),
                                        Child<QComboBox>(d, "Genre"), Child<CDatePicker>(d, "DateFrom")->CheckBox(),
                                        Child<CDatePicker>(d, "DateTo")->CheckBox()};
            for (QWidget* next : order) {
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
                QCOMPARE(QApplication::focusWidget(), next);
            }
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        });
        QCOMPARE(w->ConditionShown(), QStringList(6));
        QVERIFY(!w->SearchResultsShown());
    }

    void everyCriterionAndTheDialogOpensWithThemAgain() {
        RunSearch([this](CSearchDialog* d) {
            Window::Type(Child<CKeywordComboBox>(d, "SearchText")->lineEdit(), QStringLiteral("映画"));
            Window::Choose(Child<QComboBox>(d, "Recorder"),
                           Find(Child<QComboBox>(d, "Recorder"), QStringLiteral("RDS")));
            Window::Choose(Child<QComboBox>(d, "Disc"), 1);
            Window::Choose(Child<QComboBox>(d, "Genre"),
                           Find(Child<QComboBox>(d, "Genre"), QStringLiteral("映画全般")));
            TypeDate(Child<CDatePicker>(d, "DateFrom"), QStringLiteral("20060115"));
            TypeDate(Child<CDatePicker>(d, "DateTo"), QStringLiteral("20060131"));
            QCOMPARE(Child<CDatePicker>(d, "DateFrom")->GetDate(), QDate(2006, 1, 15));
            QCOMPARE(Child<CDatePicker>(d, "DateTo")->GetDate(), QDate(2006, 1, 31));
            Press(d, "OK");
        });
        QVERIFY(w->SearchResultsShown());
        QCOMPARE(w->Titles(), QStringList{QStringLiteral("映画B")});
        QCOMPARE(w->History(), SJ("映画\r\n"));

        // Opened again: the same criteria; Cancel changes nothing.
        const QStringList criteria{u"映画"_s, u"RDS"_s, u"HDD"_s, u"映画全般"_s, u"2006/01/15"_s, u"2006/01/31"_s};
        QCOMPARE(w->ConditionShown(), criteria);
        RunSearch([](CSearchDialog* d) {
            Window::Choose(Child<QComboBox>(d, "Recorder"), 0);
            Child<CKeywordComboBox>(d, "SearchText")->lineEdit()->clear();
            Press(d, "Cancel");
        });
        QCOMPARE(w->ConditionShown(), criteria);
        QCOMPARE(w->Titles(), QStringList{QStringLiteral("映画B")});
        QCOMPARE(w->History(), SJ("映画\r\n"));
    }

    void enterSearchesAndADvdConditionListsTitles() {
        RunSearch([](CSearchDialog* d) {
            Window::Choose(Child<QComboBox>(d, "Disc"), 2);
            Window::Type(Child<CKeywordComboBox>(d, "SearchText")->lineEdit(), QStringLiteral("映画"));
            QTest::keyClick(Child<CKeywordComboBox>(d, "SearchText"), Qt::Key_Return);
        });
        // The dialog's DVD condition lists titles on discs, not the discs.
        QCOMPARE(w->Titles(),
                 (QStringList{QStringLiteral("映画C"), QStringLiteral("映画２"), QStringLiteral("映画ＡＢＣ")}));
    }

    void historyIsSharedButTheListsAreNot() {
        w->TypeQuick(QStringLiteral("aa"));
        w->Key(Qt::Key_F3);
        RunSearch([this](CSearchDialog* d) {
            QCOMPARE(w->BoxItems(Child<CKeywordComboBox>(d, "SearchText")), QStringList{u"aa"_s});
            Child<CKeywordComboBox>(d, "SearchText")->lineEdit()->clear();
            Window::Type(Child<CKeywordComboBox>(d, "SearchText")->lineEdit(), QStringLiteral("zz"));
            Press(d, "OK");
        });
        QCOMPARE(w->History(), std::string("zz\r\naa\r\n"));
        QCOMPARE(w->BoxItems(w->QuickBox()), QStringList{u"aa"_s});
        // The bar writes the file from its own list: "zz" is gone.
        w->TypeQuick(QStringLiteral("bb"));
        w->Key(Qt::Key_F3);
        QCOMPARE(w->History(), std::string("bb\r\naa\r\n"));
        RunSearch([this](CSearchDialog* d) {
            QCOMPARE(w->BoxItems(Child<CKeywordComboBox>(d, "SearchText")), (QStringList{u"bb"_s, u"aa"_s}));
            Press(d, "Cancel");
        });
    }

    void aTooLongTextKeepsTheDialogOpen() {
        const std::string longLine(65, 'x');
        lv::test::WriteFile(w->HistoryFile(), longLine + "\r\n");
        int messagesWhileOpen = -1;
        RunSearch([&](CSearchDialog* d) {
            Window::Choose(Child<CKeywordComboBox>(d, "SearchText"), 0);
            QCOMPARE(Child<CKeywordComboBox>(d, "SearchText")->currentText().size(), 65);
            CMessageBox::SetNextAnswer(QMessageBox::Ok);
            Press(d, "OK");
            QVERIFY(d->isVisible());
            messagesWhileOpen = static_cast<int>(CMessageBox::Shown().size());
            // One character less is accepted.
            QTest::keyClick(Child<CKeywordComboBox>(d, "SearchText")->lineEdit(), Qt::Key_Backspace);
            Press(d, "OK");
        });
        QCOMPARE(messagesWhileOpen, 1);
        QCOMPARE(CMessageBox::Shown().size(), std::size_t(1));
        QCOMPARE(CMessageBox::Shown().front().text, QStringLiteral("64 文字以内で入力してください。"));
        QCOMPARE(CMessageBox::Shown().front().icon, QMessageBox::Warning);
        QCOMPARE(w->ConditionShown().front(), QString(64, u'x'));
    }

    void aConditionFromElsewhereIsShownAsFarAsItFits() {
        // A genre code the table lacks and a date that is not one: neither is shown.
        CSearchCondition cond;
        cond.m_nFlags = SC_DVD_TITLES | SC_GENRE | SC_DATE_FROM | SC_DATE_TO | SC_RECORDER;
        cond.m_nGenre = 0x70077;
        cond.m_strDateFrom = "2006/13/40";
        cond.m_strDateTo = "2006/2/3";
        cond.m_strRecorder = "rdb";
        cond.m_strDisc = "DVD";  // without its flag: not shown
        CSearchDialog dialog(w->m_folder->Dir());
        dialog.m_pCondition = &cond;
        dialog.m_pDoc = w->m_app->GetDocument();
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QCOMPARE(Child<QComboBox>(&dialog, "Genre")->currentIndex(), 0);
        QVERIFY(!Child<CDatePicker>(&dialog, "DateFrom")->IsChecked());
        QCOMPARE(Child<CDatePicker>(&dialog, "DateTo")->GetDate(), QDate(2006, 2, 3));
        // A recorder is chosen by its text, letters in any case.
        QCOMPARE(Child<QComboBox>(&dialog, "Recorder")->currentText(), QStringLiteral("RDB"));
        QCOMPARE(Child<QComboBox>(&dialog, "Disc")->currentIndex(), 0);
        Press(&dialog, "OK");
        QVERIFY(!dialog.isVisible());
        QCOMPARE(cond.m_nFlags, SC_DVD_TITLES | SC_RECORDER | SC_DATE_TO);
        QCOMPARE(cond.m_strDateTo, std::string("2006/02/03"));
    }
};

QTEST_MAIN(SearchDialogTest)
#include "search_dialog_test.moc"
