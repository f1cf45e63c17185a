#pragma once
// The real window over a real program folder in a temporary place, with what
// tests need to drive it: tree clicks, the list's rows, keys, typing.
#include <QStringList>
#include <memory>
#include <string>

#include "support/temp_dir.h"

class CLibrovistaApp;
class CMainFrame;
class CRDTitleDoc;
class CRDTreeView;
class CRDListView;
class CListModel;
class CKeywordComboBox;
class QAction;
class QComboBox;
class QTreeWidgetItem;
class QWidget;

namespace lv::guitest {

// Recorder profiles, their cache files and the document. Creating one puts
// the message boxes in test mode: a window under test never waits for a user.
class ProgramFolder {
public:
    ProgramFolder();
    std::string Dir() const { return m_dir.dir(); }
    std::string File(const std::string& name) const { return m_dir.file(name); }

    // A profile (host 127.0.0.1), its cache files in code page 932 (given in
    // UTF-8) and a line in Default.lbv.
    void AddRecorder(const std::string& name, const std::string& model, const std::string& discCsv,
                     const std::string& libraryCsv, int port = 80);
    void WriteDescription(const std::string& recorder, const std::string& textFile, const std::string& utf8);
    // Two recorders: RDA (RD-X5) with a hard disk and two DVDs, RDB (RD-XS40).
    void AddSampleLibrary();
    // Points a recorder's profile at another port.
    void SetPort(const std::string& recorder, int port);

    // Starts the application over this folder; null when start-up refused.
    std::unique_ptr<CLibrovistaApp> Start(const QStringList& extraArguments = {});

private:
    lv::test::TempDir m_dir;
};

// Finds a tree node by its displayed labels from the root's children down.
QTreeWidgetItem* FindNode(CRDTreeView* tree, const QStringList& labels);
// Clicks a tree node like a user.
void ClickNode(CRDTreeView* tree, QTreeWidgetItem* item);

// The application started over a program folder, and its views.
class Window {
public:
    std::unique_ptr<ProgramFolder> m_folder = std::make_unique<ProgramFolder>();
    std::unique_ptr<CLibrovistaApp> m_app;
    CMainFrame* m_frame = nullptr;
    CRDTreeView* m_tree = nullptr;
    CRDListView* m_list = nullptr;
    CListModel* m_model = nullptr;

    virtual ~Window();
    void Start();
    // Ends the application; an answer queued for a box that never came fails the test.
    void Stop();
    void Restart();
    // A fresh program folder with the sample library, and the window over it;
    // and the window ended with its folder removed.
    void StartOnSampleLibrary();
    void StopAndRemoveFolder();

    CRDTitleDoc& Doc() const;
    QAction* Act(int id) const;
    // A key of the window's, with the window active as after any dialog.
    void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    void Select(const QStringList& labels);
    bool SearchResultsShown() const;
    // The list's texts in one column, in the list's order.
    QStringList Column(int column) const;
    // The list's titles, sorted unless asked not to.
    QStringList Titles(bool sorted = true) const;
    void SelectRows(const QList<int>& rows);
    // Clicks a column's header (a column of the model) as a user sorts by it.
    void ClickHeader(int column);
    QStringList TreeRecorders() const;
    std::string CacheFile(const std::string& recorder, const std::string& name) const;

    CKeywordComboBox* QuickBox() const;
    // Replaces the quick box's text as a user would: select all, type.
    void TypeQuick(const QString& text);
    std::string HistoryFile() const { return m_folder->File("Input.dat"); }
    std::string History() const;

    // The condition of the last search as the condition-search dialog shows
    // it when opened (then cancelled): text, recorder, disc, genre, and the
    // dates as yyyy/MM/dd; empty for a field left blank.
    QStringList ConditionShown();

    static QStringList BoxItems(const QComboBox* box);
    // Types text key by key, as an input method would deliver it.
    static void Type(QWidget* widget, const QString& text);
    // Chooses an entry from a drop-down list's open list, as a user would
    // with the arrow keys and Enter.
    static void Choose(QComboBox* box, int index);
};

}  // namespace lv::guitest
