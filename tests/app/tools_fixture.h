#pragma once
// The real window over a real program folder, with what the tool tests need
// to drive it: tree clicks, the list's titles, typing and the history file.
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <QTreeWidget>
#include <filesystem>
#include <memory>
#include <string>

#include "app/modal.h"
#include "app/program_folder.h"
#include "app/search/keyword_combo.h"
#include "app/shell/app.h"
#include "app/shell/commands.h"
#include "app/shell/main_frame.h"
#include "app/views/list_model.h"
#include "app/views/list_view.h"
#include "app/views/tree_view.h"
#include "core/library/title_doc.h"
#include "core/settings/netnavi_setting.h"
#include "support/sjis.h"
#include "support/temp_dir.h"

namespace lv::guitest {

class ToolsWindow {
public:
    std::unique_ptr<ProgramFolder> folder = std::make_unique<ProgramFolder>();
    std::unique_ptr<CLibrovistaApp> app;
    CMainFrame* frame = nullptr;
    CRDTreeView* tree = nullptr;
    CRDListView* list = nullptr;

    ~ToolsWindow() { Stop(); }

    void Start() {
        app = folder->Start();
        QVERIFY(app);
        frame = app->GetMainFrame();
        QVERIFY(QTest::qWaitForWindowActive(frame));
        tree = frame->GetTreeView();
        list = frame->GetListView();
    }
    void Stop() {
        if (app) app->ExitInstance();
        app.reset();
        frame = nullptr;
    }
    // A key of the window's, with the window active as after any dialog.
    void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        Activate(frame);
        QTest::keyClick(frame, Qt::Key(key), modifiers);
    }
    CRDTitleDoc& Doc() const { return *app->GetDocument(); }
    QAction* Act(int id) const { return frame->Action(id); }

    void Select(const QStringList& labels) {
        QTreeWidgetItem* item = FindNode(tree, labels);
        QVERIFY2(item, qPrintable(labels.join(QLatin1Char('/'))));
        ClickNode(tree, item);
        QCOMPARE(tree->currentItem(), item);
    }
    bool SearchResultsShown() const {
        return tree->GetSelectedNode() && tree->GetSelectedNode() == tree->GetSearchResults();
    }
    QStringList Titles(bool sorted = true) const {
        QStringList titles;
        CListModel* model = list->GetModel();
        for (int r = 0; r < model->rowCount(); ++r) titles << model->index(r, 0).data().toString();
        if (sorted) titles.sort();
        return titles;
    }
    QStringList TreeRecorders() const {
        QStringList names;
        for (int i = 1; i < tree->GetRoot()->childCount(); ++i) names << tree->GetRoot()->child(i)->text(0);
        return names;
    }

    CKeywordComboBox* QuickBox() const { return frame->GetQuickSearchBox(); }
    QStringList BoxItems(const QComboBox* box) const {
        QStringList items;
        for (int i = 0; i < box->count(); ++i) items << box->itemText(i);
        return items;
    }
    // Replaces the quick box's text as a user would: select all, type.
    void TypeQuick(const QString& text) {
        QLineEdit* edit = QuickBox()->lineEdit();
        edit->setFocus();
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Delete);
        Type(edit, text);
    }
    std::string HistoryFile() const { return folder->File("Input.dat"); }
    std::string History() const {
        return std::filesystem::exists(HistoryFile()) ? lv::test::ReadFile(HistoryFile()) : std::string("<none>");
    }
    std::string CacheFile(const std::string& recorder, const std::string& name) const {
        CNetNaviSetting setting(folder->Dir());
        setting.SetName(recorder);
        return setting.GetCacheFolder() + name;
    }

    // Types text key by key, as an input method would deliver it.
    static void Type(QWidget* widget, const QString& text) {
        for (QChar c : text) QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
    // Chooses an entry from a drop-down list's open list, as a user would
    // with the arrow keys and Enter.
    static void Choose(QComboBox* box, int index) {
        box->showPopup();
        QAbstractItemView* view = box->view();
        QTRY_VERIFY(view->isVisible());
        view->setCurrentIndex(view->model()->index(index, box->modelColumn(), box->rootModelIndex()));
        QTest::keyClick(view, Qt::Key_Return);
        QTRY_VERIFY(!view->isVisible());
    }
};

}  // namespace lv::guitest
