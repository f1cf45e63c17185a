// The quick-search bar and its keyword history, through the real window:
// what the box lists, what "Input.dat" holds and what the search shows.
#include <QPushButton>

#include "support/gui_test.h"

using namespace lv::app;
using lv::guitest::Window;

class KeywordTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<Window> w;

    void StartWithHistory(const std::string& history) {
        w->m_folder->AddSampleLibrary();
        if (!history.empty()) lv::test::WriteFile(w->HistoryFile(), history);
        w->Start();
    }
    void Search(const QString& text) {
        w->TypeQuick(text);
        QTest::keyClick(w->QuickBox()->lineEdit(), Qt::Key_Return);
    }

private slots:
    void init() {
        CMessageBox::ClearShown();
        w = std::make_unique<Window>();
    }
    void cleanup() {
        w.reset();
        QVERIFY(CMessageBox::Shown().empty());
    }

    void historyFollowsTheSearchesMostRecentFirst() {
        StartWithHistory("");
        QCOMPARE(w->QuickBox()->count(), 0);
        // Enter in the box, the bar's button and F3 are the same search.
        Search(QStringLiteral("ab"));
        w->TypeQuick(QStringLiteral("cd"));
        QTest::mouseClick(w->m_frame->findChild<QPushButton*>(QStringLiteral("QuickSearchButton")), Qt::LeftButton);
        w->TypeQuick(QStringLiteral("ef"));
        QTest::keyClick(w->m_frame, Qt::Key_F3);
        QCOMPARE(w->History(), std::string("ef\r\ncd\r\nab\r\n"));
        QCOMPARE(w->BoxItems(w->QuickBox()), (QStringList{u"ef"_s, u"cd"_s, u"ab"_s}));
        QVERIFY(w->SearchResultsShown());

        // The menu item does the same.
        w->TypeQuick(QStringLiteral("ニュース"));
        w->Act(ID_QUICK_SEARCH)->trigger();
        QCOMPARE(w->History(), SJ("ニュース\r\nef\r\ncd\r\nab\r\n"));
        QCOMPARE(w->Titles(), QStringList{QStringLiteral("ニュース７")});
        // A condition of the text alone, as the condition search shows it.
        QCOMPARE(w->ConditionShown(), (QStringList{u"ニュース"_s, {}, {}, {}, {}, {}}));
    }

    void aKeywordReplacesTheFirstEntryItBegins() {
        StartWithHistory("ef\r\nabcd\r\nabc\r\n");
        // The search from the second entry finds "abcd" first: only it goes.
        QCOMPARE(w->BoxItems(w->QuickBox()), (QStringList{u"ef"_s, u"abcd"_s, u"abc"_s}));
        w->TypeQuick(QStringLiteral("ab"));
        QTest::keyClick(w->QuickBox()->lineEdit(), Qt::Key_Return);
        QCOMPARE(w->BoxItems(w->QuickBox()), (QStringList{u"ab"_s, u"ef"_s, u"abc"_s}));
        // Another entry beginning with the text is shown, the search used the text typed.
        QCOMPARE(w->QuickBox()->currentText(), QStringLiteral("abc"));
        QCOMPARE(w->ConditionShown().front(), u"ab"_s);
    }

    void typingIsNeitherCompletedNorLongerThan64Bytes() {
        StartWithHistory("abcdef\r\n");
        CKeywordComboBox* box = w->QuickBox();
        w->TypeQuick(QStringLiteral("ab"));
        QCOMPARE(box->currentText(), QStringLiteral("ab"));
        // Half-width kana are one byte each, kanji two.
        w->TypeQuick(QString(70, QChar(0xFF71)));
        QCOMPARE(box->currentText().size(), 64);
        w->TypeQuick(QStringLiteral("a") + QString(40, QChar(0x6F22)));
        QCOMPARE(box->currentText().size(), 32);
    }

    void theBoxOffersTheFileAndAChoiceOnlyFillsIt() {
        // Also a line longer than the typing limit; how the file is read and
        // cut is the history's own rule.
        const std::string longLine(70, 'n');
        StartWithHistory("first\r\n" + longLine + "\r\n");
        CKeywordComboBox* box = w->QuickBox();
        QCOMPARE(w->BoxItems(box), (QStringList{u"first"_s, QString::fromStdString(longLine)}));
        QVERIFY(box->currentText().isEmpty());

        // Choosing an entry only copies it into the box: no search, no history change.
        const std::string before = w->History();
        Window::Choose(box, 1);
        QCOMPARE(box->currentText(), QString::fromStdString(longLine));
        QVERIFY(!w->SearchResultsShown());
        QCOMPARE(w->History(), before);
        QCOMPARE(w->ConditionShown(), QStringList(6));

        // Enter searches with the whole chosen text.
        box->setFocus();
        QTest::keyClick(box, Qt::Key_Return);
        QVERIFY(w->SearchResultsShown());
        QCOMPARE(w->ConditionShown().front(), QString::fromStdString(longLine));
        QCOMPARE(w->BoxItems(box), (QStringList{QString::fromStdString(longLine), u"first"_s}));
    }

    void emptyTextOnlyFocusesTheBox() {
        StartWithHistory("");
        w->m_list->setFocus();
        QTest::keyClick(w->m_frame, Qt::Key_F3);
        QVERIFY(w->QuickBox()->hasFocus());
        QVERIFY(!w->SearchResultsShown());
        QCOMPARE(w->History(), std::string("<none>"));
        QCOMPARE(w->ConditionShown(), QStringList(6));
    }

    void anUnwritableHistoryStillSearches() {
        // A folder where the file should be: it can be neither read nor written.
        w->m_folder->AddSampleLibrary();
        std::filesystem::create_directory(w->HistoryFile());
        w->Start();
        QCOMPARE(w->QuickBox()->count(), 0);
        Search(QStringLiteral("ドラマ"));
        QCOMPARE(w->Titles(), QStringList{QStringLiteral("ドラマ１")});
        QCOMPARE(w->BoxItems(w->QuickBox()), QStringList{QStringLiteral("ドラマ")});
        QVERIFY(std::filesystem::is_directory(w->HistoryFile()));
    }

    void filterAsYouTypeNarrowsTheListWhenTurnedOn() {
        StartWithHistory("");
        QAction* toggle = w->Act(ID_VIEW_FILTER);
        w->Select({u"RDA"_s});
        const QStringList all = w->Titles();
        QCOMPARE(all.size(), 5);
        // Off: typing leaves the list as it is.
        w->TypeQuick(u"映画"_s);
        QTest::qWait(300);
        QCOMPARE(w->Titles(), all);

        // Turned on, the box's text narrows at once.
        toggle->trigger();
        QVERIFY(toggle->isChecked());
        QCOMPARE(w->Titles(), (QStringList{u"映画２"_s, u"映画ＡＢＣ"_s}));
        // A header click sorts the rows shown and the rows hidden, which an emptied box shows again.
        w->ClickHeader(0);
        QCOMPARE(w->Titles(false), (QStringList{u"映画ＡＢＣ"_s, u"映画２"_s}));
        w->TypeQuick(u""_s);
        QTRY_COMPARE(w->m_model->rowCount(), 5);
        QCOMPARE(w->Titles(false),
                 (QStringList{u"映画ＡＢＣ"_s, u"映画２"_s, u"ニュース７"_s, u"ドラマ１"_s, u"サッカー中継"_s}));
        // Typing narrows once it pauses, folding as the quick search does.
        w->TypeQuick(u"abc"_s);
        QCOMPARE(w->Titles().size(), 5);
        QTRY_COMPARE(w->Titles(), QStringList{u"映画ＡＢＣ"_s});
        QCOMPARE(w->m_frame->GetPaneText(ID_PANE_TOTAL), u"全オブジェクト 1個"_s);
        // Another node's list is narrowed by the same text.
        w->Select({u"RDA"_s, u"HDD"_s});
        QCOMPARE(w->m_model->rowCount(), 0);
        QCOMPARE(w->m_frame->GetPaneText(ID_PANE_TOTAL), u"全オブジェクト 0個"_s);

        // Enter is still the quick search over every recorder, and keeps the keyword.
        Search(u"ニュース"_s);
        QVERIFY(w->SearchResultsShown());
        QCOMPARE(w->Titles(), QStringList{u"ニュース７"_s});
        QCOMPARE(w->History(), SJ("ニュース\r\n"));

        // The choice is kept across runs; turned off, the whole list is back.
        w->Restart();
        toggle = w->Act(ID_VIEW_FILTER);
        QVERIFY(toggle->isChecked());
        w->Select({u"RDA"_s});
        w->TypeQuick(u"ドラマ"_s);
        QTRY_COMPARE(w->Titles(), QStringList{u"ドラマ１"_s});
        toggle->trigger();
        QCOMPARE(w->Titles(), all);
    }
};

QTEST_MAIN(KeywordTest)
#include "keyword_test.moc"
