// The browsing views driven through the real window over a real program
// folder: tree selections, what the list shows, sorting, copying, commands.
#include <QAbstractItemModelTester>
#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>
#include <QTreeView>
#include <filesystem>

#include "app/shell/app.h"
#include "app/shell/commands.h"
#include "app/shell/main_frame.h"
#include "app/views/edit_view.h"
#include "app/views/list_model.h"
#include "app/views/list_view.h"
#include "app/views/tree_view.h"
#include "core/library/title_doc.h"
#include "support/gui_test.h"

using namespace lv::app;
using lv::guitest::Child;
using lv::guitest::ClickNode;
using lv::guitest::FindNode;

class ViewsTest : public QObject, public lv::guitest::Window {
    Q_OBJECT

private:
    QStringList Headers() const {
        QStringList texts;
        for (int c = 0; c < m_model->columnCount(); ++c)
            texts << m_model->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
        return texts;
    }

private slots:
    void init() { StartOnSampleLibrary(); }
    void cleanup() { StopAndRemoveFolder(); }

    void treeShowsRecordersHardDisksAndSortedDiscs() {
        QVERIFY(m_tree->topLevelItem(0)->isExpanded());
        QCOMPARE(m_tree->topLevelItem(0)->text(0), QStringLiteral("Librovista"));
        QCOMPARE(m_tree->topLevelItem(0)->childCount(), 4);
        QCOMPARE(m_tree->topLevelItem(0)->child(0)->text(0), QStringLiteral("検索結果"));
        QCOMPARE(m_tree->topLevelItem(0)->child(1)->text(0), QStringLiteral("新着"));
        QCOMPARE(m_tree->topLevelItem(0)->child(2)->text(0), QStringLiteral("RDA"));
        QCOMPARE(m_tree->topLevelItem(0)->child(3)->text(0), QStringLiteral("RDB"));
        QVERIFY(!m_tree->topLevelItem(0)->child(2)->isExpanded());
        QTreeWidgetItem* dvd = FindNode(m_tree, {QStringLiteral("RDA"), QStringLiteral("DVD")});
        QVERIFY(dvd);
        // The hard disk's own line of the disc list is no disc node; discs are sorted.
        QCOMPARE(dvd->childCount(), 2);
        QCOMPARE(dvd->child(0)->text(0), QStringLiteral("001 [ 00:11 ]"));
        QCOMPARE(dvd->child(1)->text(0), QStringLiteral("002 [ 00:20 ]"));
        QCOMPARE(FindNode(m_tree, {QStringLiteral("RDB"), QStringLiteral("DVD")})->childCount(), 0);
        QCOMPARE(FindNode(m_tree, {QStringLiteral("RDA"), QStringLiteral("HDD")})->childCount(), 0);
        // Recorder pictures follow the model.
        QVERIFY(m_tree->topLevelItem(0)->child(2)->icon(0).cacheKey() == m_app->m_images.Image(9).cacheKey());
        QVERIFY(m_tree->topLevelItem(0)->child(3)->icon(0).cacheKey() == m_app->m_images.Image(5).cacheKey());
    }

    void selectingNodesFillsTheList() {
        QAbstractItemModelTester tester(m_model, QAbstractItemModelTester::FailureReportingMode::QtTest);

        Select({QStringLiteral("RDA")});
        QCOMPARE(m_model->rowCount(), 5);
        QCOMPARE(m_model->columnCount(), 7);
        QCOMPARE(Headers(),
                 (QStringList{QStringLiteral("タイトル名"), QStringLiteral("Disc No."), QStringLiteral("ジャンル"),
                              QStringLiteral("録画開始日時"), QStringLiteral("ﾁｬﾝﾈﾙ"), QStringLiteral("本体名"),
                              QStringLiteral("残量時間")}));
        QCOMPARE(m_frame->GetPaneText(ID_PANE_TOTAL), QStringLiteral("全オブジェクト 5個"));
        QCOMPARE(m_frame->GetPaneText(ID_PANE_SELECTED), QStringLiteral("選択 0個"));
        QCOMPARE(m_frame->GetPaneText(ID_PANE_RECMODE), QStringLiteral("SP"));
        QCOMPARE(QString::fromStdString(m_app->GetDocument()->GetCurrentRecorder()), QStringLiteral("RDA"));
        // Sorted by title by default.
        QCOMPARE(Column(0).front(), QStringLiteral("サッカー中継"));

        Select({QStringLiteral("RDA"), QStringLiteral("HDD")});
        QCOMPARE(m_model->rowCount(), 2);

        Select({QStringLiteral("RDA"), QStringLiteral("DVD")});
        QCOMPARE(m_list->GetViewMode(), int(VIEW_DISCS));
        QCOMPARE(Headers(), (QStringList{QStringLiteral("Disc No."), QStringLiteral("残量時間"),
                                         QStringLiteral("ﾃﾞｨｽｸ名"), QStringLiteral("設定1"), QStringLiteral("設定2"),
                                         QStringLiteral("設定3"), QStringLiteral("設定4"), QStringLiteral("設定5")}));
        QCOMPARE(Column(0), (QStringList{QStringLiteral("001"), QStringLiteral("002")}));
        QCOMPARE(m_frame->GetPaneText(ID_PANE_TOTAL), QStringLiteral("全オブジェクト 2個"));

        Select({QStringLiteral("RDA"), QStringLiteral("DVD"), QStringLiteral("002 [ 00:20 ]")});
        QCOMPARE(m_list->GetViewMode(), int(VIEW_TITLES));
        QCOMPARE(Column(0), QStringList{QStringLiteral("ドラマ１")});

        // The root and the unsearched results node empty the list and the recorder.
        Select({});
        ClickNode(m_tree, m_tree->topLevelItem(0));
        QCOMPARE(m_model->rowCount(), 0);
        QVERIFY(m_app->GetDocument()->GetCurrentRecorder().empty());
        Select({QStringLiteral("RDB")});
        QCOMPARE(m_model->rowCount(), 1);
        Select({QStringLiteral("検索結果")});
        QCOMPARE(m_model->rowCount(), 0);
        QCOMPARE(m_frame->GetPaneText(ID_PANE_RECMODE), QString());
    }

    // The rows point into the recorders: a reload of the document leaves them
    // showing what they showed until the next selection refills the list.
    void rowsOutliveADocumentReload() {
        Select({QStringLiteral("RDA")});
        const QStringList titles = Column(0);
        QCOMPARE(titles.size(), 5);
        std::filesystem::remove(CacheFile("RDA", "Library.csv"));
        QVERIFY(Doc().ReloadFromOwnPath());
        QVERIFY(Doc().GetRecorders().front()->Titles().empty());
        QCOMPARE(Column(0), titles);
        QCOMPARE(Column(5).front(), QStringLiteral("RDA"));
        Select({QStringLiteral("RDB")});
        Select({QStringLiteral("RDA")});
        QCOMPARE(m_model->rowCount(), 0);
    }

    void activatingADiscRowSelectsItsNode() {
        Select({QStringLiteral("RDA"), QStringLiteral("DVD")});
        QTreeView* details = m_list->GetDetailsView();
        const QRect rect = details->visualRect(m_model->index(0, 0));
        QTest::mouseClick(details->viewport(), Qt::LeftButton, Qt::NoModifier, rect.center());
        QTest::mouseDClick(details->viewport(), Qt::LeftButton, Qt::NoModifier, rect.center());
        QTRY_COMPARE(m_tree->currentItem()->text(0), QStringLiteral("001 [ 00:11 ]"));
        QCOMPARE(m_list->GetViewMode(), int(VIEW_TITLES));
        QCOMPARE(Column(0), (QStringList{QStringLiteral("映画２"), QStringLiteral("映画ＡＢＣ")}));

        // Enter on a disc row does the same; in the title view it does nothing.
        Select({QStringLiteral("RDA"), QStringLiteral("DVD")});
        details->setFocus();
        details->setCurrentIndex(m_model->index(1, 0));
        QTest::keyClick(details, Qt::Key_Return);
        QTRY_COMPARE(m_tree->currentItem()->text(0), QStringLiteral("002 [ 00:20 ]"));
        details->setCurrentIndex(m_model->index(0, 0));
        QTest::keyClick(details, Qt::Key_Return);
        QTest::qWait(50);
        QCOMPARE(m_tree->currentItem()->text(0), QStringLiteral("002 [ 00:20 ]"));
    }

    void upOneLevelWalksToTheRoot() {
        Select({QStringLiteral("RDA"), QStringLiteral("DVD"), QStringLiteral("001 [ 00:11 ]")});
        m_tree->setFocus();
        QVERIFY(Act(ID_UP_ONE_LEVEL)->isEnabled());
        QTest::keyClick(m_frame, Qt::Key_Backspace);
        QCOMPARE(m_tree->currentItem()->text(0), QStringLiteral("DVD"));
        QCOMPARE(m_list->GetViewMode(), int(VIEW_DISCS));
        // In the quick-search box Backspace edits the text and leaves the tree alone.
        QLineEdit* quick = Child<CKeywordComboBox>(m_frame, "QuickSearchBox")->lineEdit();
        quick->setFocus();
        QTest::keyClicks(quick, QStringLiteral("ab"));
        QTest::keyClick(quick, Qt::Key_Backspace);
        QCOMPARE(quick->text(), QStringLiteral("a"));
        QCOMPARE(m_tree->currentItem()->text(0), QStringLiteral("DVD"));
        m_tree->setFocus();
        QTest::keyClick(m_frame, Qt::Key_Backspace);
        QCOMPARE(m_tree->currentItem()->text(0), QStringLiteral("RDA"));
        QTest::keyClick(m_frame, Qt::Key_Backspace);
        QCOMPARE(m_tree->currentItem(), m_tree->topLevelItem(0));
        QVERIFY(!Act(ID_UP_ONE_LEVEL)->isEnabled());
        QCOMPARE(m_model->rowCount(), 0);
    }

    void headerClicksSortWithPerColumnDirection() {
        QAbstractItemModelTester tester(m_model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        Select({QStringLiteral("RDA")});
        // A never-sorted column sorts descending first: the hard disk's titles go last.
        ClickHeader(1);
        QCOMPARE(m_model->headerData(1, Qt::Horizontal, CListModel::SortDirectionRole).toInt(), -1);
        QCOMPARE(m_model->headerData(0, Qt::Horizontal, CListModel::SortDirectionRole).toInt(), 0);
        QCOMPARE(Column(1), (QStringList{QStringLiteral("002"), QStringLiteral("001"), QStringLiteral("001"),
                                         QStringLiteral("HDD"), QStringLiteral("HDD")}));

        // Dates, and the start time within one date; the selection follows its row.
        SelectRows({0});
        const QString selectedTitle = Column(0).at(0);
        ClickHeader(3);
        QCOMPARE(Column(3), (QStringList{QStringLiteral("2005/12/21(水) 19:00"), QStringLiteral("2005/12/21(水) 09:00"),
                                         QStringLiteral("2005/12/21(水) 08:00"), QStringLiteral("2005/12/20(火) 21:00"),
                                         QStringLiteral("2005/12/19(月) 20:00")}));
        const std::vector<int> selected = m_list->GetSelectedRows();
        QCOMPARE(selected.size(), std::size_t(1));
        QCOMPARE(Column(0).at(selected.front()), selectedTitle);
        QCOMPARE(m_model->headerData(1, Qt::Horizontal, CListModel::SortDirectionRole).toInt(), 0);

        // Genre compares codes, not texts; a new fill keeps the sort.
        ClickHeader(2);
        ClickHeader(2);
        Select({QStringLiteral("RDA"), QStringLiteral("HDD")});
        Select({QStringLiteral("RDA")});
        QCOMPARE(Column(2), (QStringList{QStringLiteral("ニュース"), QStringLiteral("スポーツ"), QStringLiteral("映画"),
                                         QStringLiteral("映画"), QStringLiteral("ドラマ")}));
    }

    void columnLayoutAndSortSurviveARestart() {
        Select({QStringLiteral("RDA")});
        QHeaderView* header = m_list->GetDetailsView()->header();
        QCOMPARE(header->sectionSize(0), 220);
        QCOMPARE(header->sectionSize(6), 0);
        header->moveSection(header->visualIndex(2), 0);
        header->resizeSection(0, 300);
        ClickHeader(2);  // descending
        QCOMPARE(header->visualIndex(2), 0);

        // The disc view keeps a layout of its own.
        Select({QStringLiteral("RDA"), QStringLiteral("DVD")});
        QCOMPARE(header->visualIndex(0), 0);
        QCOMPARE(header->sectionSize(2), 220);
        ClickHeader(2);
        ClickHeader(2);  // ascending by disc name

        m_frame->close();
        Restart();
        QCOMPARE(m_model->columnCount(), 7);
        header = m_list->GetDetailsView()->header();
        QCOMPARE(header->visualIndex(2), 0);
        QCOMPARE(header->sectionSize(0), 300);
        QCOMPARE(m_model->headerData(2, Qt::Horizontal, CListModel::SortDirectionRole).toInt(), -1);
        Select({QStringLiteral("RDA")});
        QCOMPARE(Column(2).front(), QStringLiteral("ドラマ"));
        Select({QStringLiteral("RDA"), QStringLiteral("DVD")});
        QCOMPARE(m_model->headerData(2, Qt::Horizontal, CListModel::SortDirectionRole).toInt(), 1);
        QCOMPARE(Column(2), (QStringList{QStringLiteral("ドラマ"), QStringLiteral("映画")}));
        const std::string ini = lv::test::ReadFile(m_app->GetSettingsFile());
        QVERIFY(ini.find("Sort=-1") != std::string::npos);
    }

    void copyPutsNamesAndDetailsOnTheClipboard() {
        Select({QStringLiteral("RDA")});
        ClickHeader(3);  // newest first
        // With the tree active the keys leave the clipboard alone.
        m_tree->setFocus();
        SelectRows({0, 1, 2});
        QGuiApplication::clipboard()->setText(QStringLiteral("before"));
        QTest::keyClick(m_frame, Qt::Key_C, Qt::ControlModifier);
        QTest::keyClick(m_frame, Qt::Key_D, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("before"));
        m_list->GetDetailsView()->setFocus();
        SelectRows({0, 1, 2});
        QTest::keyClick(m_frame, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("ニュース７映画ＡＢＣドラマ１"));

        // Details follow the header's display order, hidden cells included.
        QHeaderView* header = m_list->GetDetailsView()->header();
        header->moveSection(header->visualIndex(5), 0);
        SelectRows({0});
        QTest::keyClick(m_frame, Qt::Key_D, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(),
                 QStringLiteral("RDA\tニュース７\tHDD\tニュース\t2005/12/21(水) 19:00\t011\t10:00\r\n"));
    }

    void selectAllWritesTheCountOnce() {
        Select({QStringLiteral("RDA")});
        m_list->GetDetailsView()->setFocus();
        QSignalSpy spy(m_frame, &CMainFrame::paneTextChanged);
        QTest::keyClick(m_frame, Qt::Key_A, Qt::ControlModifier);
        int countWrites = 0;
        for (const QList<QVariant>& call : spy)
            if (call.at(0).toInt() == ID_PANE_SELECTED) ++countWrites;
        QCOMPARE(countWrites, 1);
        QCOMPARE(m_frame->GetPaneText(ID_PANE_SELECTED), QStringLiteral("選択 5個"));
        QCOMPARE(m_list->GetSelectedCount(), 5);
    }

    void descriptionFollowsTheSelection() {
        m_folder->WriteDescription("RDA", "200512211900011.txt",
                                   "一行目 &lt;再&gt;\n二行目の説明はとても長い" + std::string(200, 'x') + "\n");
        Select({QStringLiteral("RDA"), QStringLiteral("HDD")});
        CRDEditView* edit = m_frame->GetEditView();
        QVERIFY(edit->isReadOnly());
        QCOMPARE(edit->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
        QCOMPARE(edit->lineWrapMode(), QPlainTextEdit::WidgetWidth);
        const int news = int(Column(0).indexOf(QStringLiteral("ニュース７")));
        SelectRows({news});
        // The recorder's character references are shown as characters.
        QVERIFY(edit->toPlainText().startsWith(QStringLiteral("一行目 <再>\n二行目")));
        SelectRows({1 - news});
        QCOMPARE(edit->toPlainText(), QStringLiteral("（未取得）"));
        SelectRows({0, 1});
        QCOMPARE(edit->toPlainText(), QString());
        SelectRows({news});
        QVERIFY(edit->toPlainText().startsWith(QStringLiteral("一行目")));

        // With the focus in the view, select-all and copy act on its text.
        edit->setFocus();
        QTest::keyClick(m_frame, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(m_frame, Qt::Key_C, Qt::ControlModifier);
        QVERIFY(QGuiApplication::clipboard()->text().startsWith(QStringLiteral("一行目")));
        QCOMPARE(m_list->GetSelectedCount(), 1);
        // Typing changes nothing.
        QTest::keyClicks(edit, QStringLiteral("abc"));
        QVERIFY(edit->toPlainText().startsWith(QStringLiteral("一行目")));

        // The disc view shows no description.
        Select({QStringLiteral("RDA"), QStringLiteral("DVD")});
        QCOMPARE(edit->toPlainText(), QString());
    }

    void viewTypesShareTheModel() {
        Select({QStringLiteral("RDA")});
        QCOMPARE(m_list->currentWidget(), static_cast<QWidget*>(m_list->GetDetailsView()));
        QVERIFY(Act(ID_VIEW_DETAILS)->isChecked());
        Act(ID_VIEW_LIST)->trigger();
        QCOMPARE(m_list->currentWidget(), static_cast<QWidget*>(Child<QListView>(m_list, "ListIcons")));
        QCOMPARE(Child<QListView>(m_list, "ListIcons")->model(), static_cast<QAbstractItemModel*>(m_model));
        QVERIFY(Act(ID_VIEW_LIST)->isChecked());
        Act(ID_VIEW_LARGEICON)->trigger();
        QCOMPARE(Child<QListView>(m_list, "ListIcons")->viewMode(), QListView::IconMode);
        Act(ID_VIEW_SMALLICON)->trigger();
        QVERIFY(!Act(ID_VIEW_BYNAME)->isChecked());

        // One selection for both views.
        SelectRows({1, 2});
        QCOMPARE(Child<QListView>(m_list, "ListIcons")->selectionModel()->selectedIndexes().size(), 2 * 7);

        // The type survives a restart; a stored small-icon type starts as a list.
        Act(ID_VIEW_LIST)->trigger();
        m_frame->close();
        Restart();
        QCOMPARE(m_list->GetListStyle(), int(LIST_LIST));
        QVERIFY(Act(ID_VIEW_LIST)->isChecked());
        Act(ID_VIEW_SMALLICON)->trigger();
        Restart();
        QCOMPARE(m_list->GetListStyle(), int(LIST_LIST));
        Act(ID_VIEW_DETAILS)->trigger();
        Restart();
        QCOMPARE(m_list->GetListStyle(), int(LIST_DETAILS));
    }

    void recordingModeAndDiscDisplayCommands() {
        Select({QStringLiteral("RDA"), QStringLiteral("DVD"), QStringLiteral("001 [ 00:11 ]")});
        QTreeWidgetItem* selected = m_tree->currentItem();
        QVERIFY(Act(ID_REC_MODE1)->isChecked());
        QVERIFY(Act(ID_DISC_FREE)->isChecked());
        QVERIFY(!Act(ID_DISC_NAME)->isChecked());

        Act(ID_REC_MODE1 + 2)->trigger();
        QVERIFY(Act(ID_REC_MODE1 + 2)->isChecked());
        QVERIFY(!Act(ID_REC_MODE1)->isChecked());
        QCOMPARE(selected->text(0), QStringLiteral("001 [ 00:33 ]"));
        QCOMPARE(Column(6), (QStringList{QStringLiteral("00:33"), QStringLiteral("00:33")}));
        QCOMPARE(m_frame->GetPaneText(ID_PANE_RECMODE), QStringLiteral("EP"));

        Act(ID_DISC_NAME)->trigger();
        QCOMPARE(selected->text(0), QStringLiteral("001 [ 00:33 ] 映画"));
        Act(ID_DISC_FREE)->trigger();
        QCOMPARE(selected->text(0), QStringLiteral("001 映画"));
        QVERIFY(!Act(ID_DISC_FREE)->isChecked());
        Act(ID_DISC_NAME)->trigger();
        QCOMPARE(m_app->m_settings.m_nDiscDisplay, 0);
        // Relabelling keeps the selection and the order of the discs.
        QCOMPARE(m_tree->currentItem(), selected);
        QCOMPARE(selected->parent()->child(1)->text(0), QStringLiteral("002"));

        // The choices are written at exit and read at the next start.
        Act(ID_DISC_NAME)->trigger();
        m_frame->close();
        Restart();
        QCOMPARE(m_app->m_settings.m_nRecMode, 2);
        QVERIFY(Act(ID_REC_MODE1 + 2)->isChecked());
        QCOMPARE(FindNode(m_tree, {QStringLiteral("RDA"), QStringLiteral("DVD")})->child(0)->text(0),
                 QStringLiteral("001 映画"));
    }

    // The window's state reaches the enabling pass: chosen recorder, active
    // view, selection and list type.
    void commandEnablingFollowsSelection() {
        QVERIFY(!Act(ID_DOWNLOAD_LIBRARY)->isEnabled());
        QVERIFY(!Act(ID_DOWNLOAD_TITLE)->isEnabled());
        Select({QStringLiteral("RDA")});
        for (int id : {ID_DOWNLOAD_LIBRARY, ID_CLEAN_LIBRARY, ID_CLEAN_UNUSED, ID_CLEAN_DESCRIPTIONS})
            QVERIFY(Act(id)->isEnabled());
        QVERIFY(!Act(ID_DOWNLOAD_TITLE)->isEnabled());
        SelectRows({0});
        // The tree, which was clicked last, has none of the list's commands.
        for (int id : {ID_DOWNLOAD_TITLE, ID_EDIT_COPY, ID_EDIT_COPY_DETAILS, ID_EDIT_SELECT_ALL})
            QVERIFY(!Act(id)->isEnabled());
        m_list->GetDetailsView()->setFocus();
        for (int id : {ID_DOWNLOAD_TITLE, ID_EDIT_COPY, ID_EDIT_COPY_DETAILS, ID_EDIT_SELECT_ALL})
            QVERIFY(Act(id)->isEnabled());
        m_frame->GetEditView()->setFocus();
        QVERIFY(Act(ID_EDIT_COPY)->isEnabled());
        QVERIFY(!Act(ID_DOWNLOAD_TITLE)->isEnabled());
        // Going to the quick-search box keeps the view that was active.
        m_list->GetDetailsView()->setFocus();
        Child<CKeywordComboBox>(m_frame, "QuickSearchBox")->lineEdit()->setFocus();
        QVERIFY(Act(ID_DOWNLOAD_TITLE)->isEnabled());
        Select({QStringLiteral("RDA"), QStringLiteral("DVD")});
        m_list->GetDetailsView()->setFocus();
        SelectRows({0});
        QVERIFY(!Act(ID_DOWNLOAD_TITLE)->isEnabled());
        QVERIFY(Act(ID_DOWNLOAD_LIBRARY)->isEnabled());
    }

    void contextMenuOnlyOnRows() {
        Select({QStringLiteral("RDA")});
        QTreeView* details = m_list->GetDetailsView();
        SelectRows({0});
        std::unique_ptr<QMenu> menu(
            m_list->CreateContextMenu(details->visualRect(m_model->index(0, 0)).center(), m_frame));
        QVERIFY(menu);
        QCOMPARE(menu->title(), QStringLiteral("ﾀｲﾄﾙ一覧"));
        QCOMPARE(menu->actions().size(), 3);
        QCOMPARE(menu->actions().at(0)->text(), QStringLiteral("番組説明を取得(&S)\tF4"));
        QCOMPARE(menu->actions().at(1)->text(), QStringLiteral("ﾀｲﾄﾙ名ｺﾋﾟｰ(&C)\tCtrl+C"));
        QVERIFY(menu->actions().at(0)->isEnabled());
        QVERIFY(!m_list->CreateContextMenu(QPoint(5, details->viewport()->height() - 2), m_frame));

        // The popup belongs to the list: its items act on the list although
        // the tree, clicked last, is the active view.
        QVERIFY(!Act(ID_EDIT_COPY_DETAILS)->isEnabled());
        menu->actions().at(1)->trigger();
        QCOMPARE(QGuiApplication::clipboard()->text(), Column(0).at(0));

        Select({QStringLiteral("RDA"), QStringLiteral("DVD")});
        menu.reset(m_list->CreateContextMenu(details->visualRect(m_model->index(1, 0)).center(), m_frame));
        QVERIFY(menu);
        QCOMPARE(menu->title(), QStringLiteral("ﾃﾞｨｽｸ一覧"));
        QCOMPARE(menu->actions().size(), 2);
        QCOMPARE(menu->actions().at(1)->text(), QStringLiteral("ﾃﾞｨｽｸ詳細ｺﾋﾟｰ(&D)\tCtrl+D"));
    }

    void quickSearchShowsResultsInTheSearchNode() {
        QComboBox* box = Child<CKeywordComboBox>(m_frame, "QuickSearchBox");
        box->lineEdit()->setFocus();
        QTest::keyClicks(box->lineEdit(), QStringLiteral("ABC"));
        QTest::keyClick(box->lineEdit(), Qt::Key_Return);
        QCOMPARE(m_tree->currentItem(), FindNode(m_tree, {u"検索結果"_s}));
        QStringList titles = Column(0);
        titles.sort();
        QCOMPARE(titles, (QStringList{QStringLiteral("abc news"), QStringLiteral("映画ＡＢＣ")}));

        // A new search while the node is selected runs again (F3).
        box->lineEdit()->clear();
        Type(box->lineEdit(), QStringLiteral("ドラマ"));
        QTest::keyClick(m_frame, Qt::Key_F3);
        QCOMPARE(Column(0), QStringList{QStringLiteral("ドラマ１")});
        // The stored condition survives a rebuild of the tree.
        m_app->GetDocument()->UpdateAllViews(nullptr, 0, nullptr);
        Select({QStringLiteral("RDA")});
        Select({QStringLiteral("検索結果")});
        QCOMPARE(Column(0), QStringList{QStringLiteral("ドラマ１")});
    }

    void modelStaysConsistentOverManyRows() {
        // A large library: fills and sorts go through the model checks.
        std::string library;
        for (int i = 0; i < 3000; ++i)
            library += "\"HDD\",\"番組" + std::to_string(i) + "\",\"2005/12/" + std::to_string(10 + i % 20) +
                       "\",\"水\",\"19:00\",\"011\",\"\",\"ニュース\",\"1:00\",\"\",\"p.htm\",\"\",\"0000100002\"\n";
        Stop();
        m_folder = std::make_unique<lv::guitest::ProgramFolder>();
        m_folder->AddRecorder("BIG", "RD-X5", "\"a\",\"b\",\"c\",\"1\",\"2\",\"3\",\"4\",\"5\"\n", library);
        Start();
        QAbstractItemModelTester tester(m_model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        Select({QStringLiteral("BIG")});
        QCOMPARE(m_model->rowCount(), 3000);
        ClickHeader(3);
        ClickHeader(0);
        QCOMPARE(Column(0).front(), QStringLiteral("番組999"));
        m_list->GetDetailsView()->setFocus();
        QTest::keyClick(m_frame, Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(m_frame->GetPaneText(ID_PANE_SELECTED), QStringLiteral("選択 3000個"));
    }
};

QTEST_MAIN(ViewsTest)
#include "views_test.moc"
