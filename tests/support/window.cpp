#include "support/window.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QTest>
#include <QTreeView>
#include <QTreeWidget>
#include <filesystem>

#include "app/dialogs/message_box.h"
#include "app/search/date_picker.h"
#include "app/search/keyword_combo.h"
#include "app/search/search_dialog.h"
#include "app/shell/app.h"
#include "app/shell/main_frame.h"
#include "app/views/list_model.h"
#include "app/views/list_view.h"
#include "app/views/tree_view.h"
#include "core/settings/netnavi_setting.h"
#include "support/gui_test.h"
#include "support/modal.h"
#include "support/sjis.h"

namespace lv::guitest {

ProgramFolder::ProgramFolder() { CMessageBox::SetTestMode(true); }

void ProgramFolder::AddRecorder(const std::string& name, const std::string& model, const std::string& discCsv,
                                const std::string& libraryCsv, int port) {
    CNetNaviSetting setting(Dir());
    QVERIFY(setting.SetName(name));
    QVERIFY(setting.SetHost("127.0.0.1"));
    QVERIFY(setting.SetPort(port));
    QVERIFY(setting.SetModel(model));
    QVERIFY(setting.Save());
    std::filesystem::create_directories(setting.GetCacheFolder());
    if (!discCsv.empty()) lv::test::WriteFile(setting.GetDiscPath(), SJ(discCsv.c_str()));
    if (!libraryCsv.empty()) lv::test::WriteFile(setting.GetLibraryPath(), SJ(libraryCsv.c_str()));
    std::string doc;
    if (std::filesystem::exists(File("Default.lbv"))) doc = lv::test::ReadFile(File("Default.lbv"));
    lv::test::WriteFile(File("Default.lbv"), doc + name + "\r\n");
}

void ProgramFolder::WriteDescription(const std::string& recorder, const std::string& textFile,
                                     const std::string& utf8) {
    CNetNaviSetting setting(Dir());
    QVERIFY(setting.SetName(recorder));
    lv::test::WriteFile(setting.GetCacheFolder() + textFile, SJ(utf8.c_str()));
}

void ProgramFolder::SetPort(const std::string& recorder, int port) {
    CNetNaviSetting setting(Dir());
    QVERIFY(setting.SetName(recorder));
    QVERIFY(setting.Load());
    QVERIFY(setting.SetPort(port));
    QVERIFY(setting.Save());
}

void ProgramFolder::AddSampleLibrary() {
    AddRecorder("RDA", "RD-X5",
                "\"Disc No.\",\"ディスク名\",\"残量時間\",\"SP\",\"LP\",\"EP\",\"XP\",\"MN\"\n"
                "\"HDD_\",\"\",\"10:00\",\"10:00\",\"20:00\",\"30:00\",\"5:00\",\"8:00\"\n"
                "\"002\",\"ドラマ\",\"1:00\",\"0:20\",\"0:40\",\"1:00\",\"0:10\",\"0:30\"\n"
                "\"001\",\"映画\",\"0:30\",\"0:11\",\"0:22\",\"0:33\",\"0:05\",\"0:15\"\n",
                "\"HDD\",\"ニュース７\",\"2005/12/21\",\"水\",\"19:00\",\"011\",\"\",\"ニュース\",\"10:00\",\"\","
                "\"t1.htm\",\"\",\"0000100002\"\n"
                "\"HDD\",\"サッカー中継\",\"2005/12/20\",\"火\",\"21:00\",\"081\",\"\",\"_スポーツ\",\"10:00\",\"\","
                "\"t2.htm\",\"\",\"0000200005\"\n"
                "\"001\",\"映画ＡＢＣ\",\"2005/12/21\",\"水\",\"09:00\",\"041\",\"\",\"映画\",\"0:30\",\"\","
                "\"t3.htm\",\"\",\"0000300001\"\n"
                "\"002\",\"ドラマ１\",\"2005/12/21\",\"水\",\"08:00\",\"041\",\"\",\"ドラマ\",\"1:00\",\"\","
                "\"t4.htm\",\"\",\"0000400001\"\n"
                "\"001\",\"映画２\",\"2005/12/19\",\"月\",\"20:00\",\"081\",\"\",\"映画\",\"0:30\",\"\","
                "\"t5.htm\",\"\",\"0000300001\"\n");
    AddRecorder("RDB", "RD-XS40", "\"Disc No.\",\"ディスク名\",\"残量時間\"\n\"HDD\",\"\",\"5:00\"\n",
                "\"HDD\",\"abc news\",\"2005/12/22\",\"木\",\"07:00\",\"012\",\"\",\"ニュース\",\"5:00\",\"\","
                "\"b1.htm\",\"\",\"0000100002\"\n");
}

std::unique_ptr<CLibrovistaApp> ProgramFolder::Start(const QStringList& extraArguments) {
    qputenv("LIBROVISTA_HOME", QByteArray::fromStdString(Dir()));
    auto app = std::make_unique<CLibrovistaApp>();
    QStringList arguments{QCoreApplication::applicationFilePath()};
    arguments += extraArguments;
    if (!app->InitInstance(arguments)) return nullptr;
    return app;
}

QTreeWidgetItem* FindNode(CRDTreeView* tree, const QStringList& labels) {
    QTreeWidgetItem* node = tree->topLevelItem(0);
    for (const QString& label : labels) {
        QTreeWidgetItem* next = nullptr;
        for (int i = 0; node && i < node->childCount() && !next; ++i)
            if (node->child(i)->text(0) == label) next = node->child(i);
        node = next;
    }
    return node;
}

void ClickNode(CRDTreeView* tree, QTreeWidgetItem* item) {
    QVERIFY(item);
    for (QTreeWidgetItem* p = item->parent(); p; p = p->parent()) p->setExpanded(true);
    tree->scrollToItem(item);
    const QRect rect = tree->visualItemRect(item);
    QVERIFY(rect.isValid());
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, Qt::NoModifier, rect.center());
}

Window::~Window() { Stop(); }

void Window::Start() {
    m_app = m_folder->Start();
    QVERIFY(m_app);
    m_frame = m_app->GetMainFrame();
    QVERIFY(QTest::qWaitForWindowActive(m_frame));
    m_tree = m_frame->GetTreeView();
    m_list = m_frame->GetListView();
    m_model = m_list->GetModel();
}

void Window::StartOnSampleLibrary() {
    m_folder = std::make_unique<ProgramFolder>();
    m_folder->AddSampleLibrary();
    Start();
}

void Window::StopAndRemoveFolder() {
    Stop();
    m_folder.reset();
}

void Window::Stop() {
    if (m_app) m_app->ExitInstance();
    m_app.reset();
    m_frame = nullptr;
    m_tree = nullptr;
    m_list = nullptr;
    m_model = nullptr;
    QCOMPARE(CMessageBox::PendingAnswers(), std::size_t(0));
}

void Window::Restart() {
    Stop();
    Start();
}

CRDTitleDoc& Window::Doc() const { return *m_app->GetDocument(); }

QAction* Window::Act(int id) const { return m_frame->Action(id); }

void Window::Key(int key, Qt::KeyboardModifiers modifiers) {
    Activate(m_frame);
    QTest::keyClick(m_frame, Qt::Key(key), modifiers);
}

void Window::Select(const QStringList& labels) {
    QTreeWidgetItem* item = FindNode(m_tree, labels);
    QVERIFY2(item, qPrintable(labels.join(QLatin1Char('/'))));
    ClickNode(m_tree, item);
    QCOMPARE(m_tree->currentItem(), item);
}

bool Window::SearchResultsShown() const {
    const QTreeWidgetItem* results = FindNode(m_tree, {u"検索結果"_s});
    return results && m_tree->GetSelectedNode() == results;
}

QStringList Window::Column(int column) const {
    QStringList texts;
    for (int r = 0; r < m_model->rowCount(); ++r) texts << m_model->index(r, column).data().toString();
    return texts;
}

QStringList Window::Titles(bool sorted) const {
    QStringList titles = Column(0);
    if (sorted) titles.sort();
    return titles;
}

void Window::SelectRows(const QList<int>& rows) {
    QItemSelection selection;
    for (int r : rows) selection.select(m_model->index(r, 0), m_model->index(r, m_model->columnCount() - 1));
    m_list->GetDetailsView()->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
}

void Window::ClickHeader(int column) {
    QHeaderView* header = m_list->GetDetailsView()->header();
    const int x = header->sectionViewportPosition(column) + header->sectionSize(column) / 2;
    QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(x, header->height() / 2));
}

QStringList Window::TreeRecorders() const {
    QStringList names;
    // After "検索結果" and "新着".
    const QTreeWidgetItem* root = m_tree->topLevelItem(0);
    for (int i = 2; i < root->childCount(); ++i) names << root->child(i)->text(0);
    return names;
}

std::string Window::CacheFile(const std::string& recorder, const std::string& name) const {
    CNetNaviSetting setting(m_folder->Dir());
    setting.SetName(recorder);
    return setting.GetCacheFolder() + name;
}

CKeywordComboBox* Window::QuickBox() const { return Child<CKeywordComboBox>(m_frame, "QuickSearchBox"); }

void Window::TypeQuick(const QString& text) {
    QLineEdit* edit = QuickBox()->lineEdit();
    edit->setFocus();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    Type(edit, text);
}

std::string Window::History() const {
    return std::filesystem::exists(HistoryFile()) ? lv::test::ReadFile(HistoryFile()) : std::string("<none>");
}

QStringList Window::ConditionShown() {
    QStringList fields;
    auto waiter = OnNextDialog<CSearchDialog>([&fields](CSearchDialog* d) {
        for (const char* box : {"SearchText", "Recorder", "Disc", "Genre"})
            fields << Child<QComboBox>(d, box)->currentText();
        for (const char* picker : {"DateFrom", "DateTo"})
            fields << Child<CDatePicker>(d, picker)->GetDate().toString(u"yyyy/MM/dd");
        QTest::keyClick(d, Qt::Key_Escape);
    });
    Key(Qt::Key_F, Qt::ControlModifier);
    return fields;
}

QStringList Window::BoxItems(const QComboBox* box) {
    QStringList items;
    for (int i = 0; i < box->count(); ++i) items << box->itemText(i);
    return items;
}

void Window::Type(QWidget* widget, const QString& text) {
    for (QChar c : text) QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

void Window::Choose(QComboBox* box, int index) {
    box->showPopup();
    QAbstractItemView* view = box->view();
    QTRY_VERIFY(view->isVisible());
    view->setCurrentIndex(view->model()->index(index, box->modelColumn(), box->rootModelIndex()));
    QTest::keyClick(view, Qt::Key_Return);
    QTRY_VERIFY(!view->isVisible());
}

}  // namespace lv::guitest
