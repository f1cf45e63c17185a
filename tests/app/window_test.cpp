// Start-up, shutdown and what the window keeps in the settings file, over a
// real program folder.
#include <QAction>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QSplitter>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QTreeView>
#include <QUrl>
#include <filesystem>
#include <new>
#include <stdexcept>

#include "app/shell/app.h"
#include "app/shell/commands.h"
#include "app/shell/main_frame.h"
#include "app/views/tree_view.h"
#include "core/library/title_doc.h"
#include "support/gui_test.h"

using namespace lv::app;
using lv::guitest::Child;

// Receives what the program asks the desktop to open.
class UrlCatcher : public QObject {
    Q_OBJECT

public:
    QList<QUrl> urls;

public slots:
    void open(const QUrl& url) { urls << url; }
};

class WindowTest : public QObject {
    Q_OBJECT

private:
    static std::string Ini(const CLibrovistaApp& app) { return lv::test::ReadFile(app.GetSettingsFile()); }

private slots:
    void init() { CMessageBox::ClearShown(); }

    void firstStartInAnEmptyFolder() {
        lv::guitest::ProgramFolder folder;
        auto app = folder.Start();
        QVERIFY(app);
        CMainFrame* frame = app->GetMainFrame();
        QVERIFY(QTest::qWaitForWindowExposed(frame));
        QVERIFY(std::filesystem::exists(folder.File("Default.lbv")));
        QCOMPARE(frame->windowTitle(), QStringLiteral("Librovista"));
        QCOMPARE(frame->size(), QSize(800, 600));
        QCOMPARE(frame->pos(), QPoint(0, 0));
        QCOMPARE(frame->GetPaneText(0), QStringLiteral("ﾚﾃﾞｨ"));
        QVERIFY(!lv::guitest::TransferIconBusy(frame));
        QCOMPARE(Child<QSplitter>(frame, "MainSplitter")->sizes().value(0), 150);
        QCOMPARE(Child<QSplitter>(frame, "RightSplitter")->sizes().value(0), 400);
        CRDTreeView* tree = frame->GetTreeView();
        QCOMPARE(tree->topLevelItem(0)->childCount(), 2);
        QVERIFY(tree->topLevelItem(0)->isExpanded());
        QCOMPARE(app->m_images.Count(), IMAGE_COUNT);
        for (int i = 0; i < IMAGE_COUNT; ++i) QVERIFY(!app->m_images.Image(i).isNull());

        // The settings' keys are their own; the window adds its bars' state.
        app->ExitInstance();
        QVERIFY(Ini(*app).find("[ControlBar\\State]") != std::string::npos);
        QVERIFY(CMessageBox::Shown().empty());
    }

    void documentNamedOnTheCommandLine() {
        lv::guitest::ProgramFolder folder;
        folder.AddSampleLibrary();
        std::filesystem::rename(folder.File("Default.lbv"), folder.File("Other.lbv"));
        auto app = folder.Start({QString::fromStdString(folder.File("Other.lbv"))});
        QVERIFY(app);
        QCOMPARE(app->GetDocument()->GetRecorders().size(), std::size_t(2));
        QVERIFY(!std::filesystem::exists(folder.File("Default.lbv")));
        QCOMPARE(app->GetMainFrame()->windowTitle(), QStringLiteral("Librovista"));
        app->ExitInstance();
    }

    void startUpStopsWhenTheDocumentIsUnusable() {
        // A program folder that does not exist: the default document cannot be made.
        lv::guitest::ProgramFolder folder;
        qputenv("LIBROVISTA_HOME", QByteArray::fromStdString(folder.File("missing/sub") + "/"));
        CLibrovistaApp app;
        CMessageBox::SetNextAnswer(QMessageBox::Ok);
        QVERIFY(!app.InitInstance({QStringLiteral("librovista")}));
        QVERIFY(!app.GetMainFrame());
        QCOMPARE(CMessageBox::Shown().size(), std::size_t(1));
        QCOMPARE(CMessageBox::Shown().front().icon, QMessageBox::Critical);
        QVERIFY(CMessageBox::Shown().front().text.contains(QStringLiteral("Default.lbv")));

        // A document path that cannot be read.
        lv::guitest::ProgramFolder other;
        std::filesystem::create_directory(other.File("Dir.lbv"));
        CMessageBox::SetNextAnswer(QMessageBox::Ok);
        QVERIFY(!other.Start({QString::fromStdString(other.File("Dir.lbv"))}));
        QCOMPARE(CMessageBox::Shown().size(), std::size_t(2));
        QVERIFY(CMessageBox::Shown().back().text.contains(QStringLiteral("Dir.lbv")));
    }

    void placementSplittersAndBarsSurviveARestart() {
        lv::guitest::ProgramFolder folder;
        auto app = folder.Start();
        CMainFrame* frame = app->GetMainFrame();
        QVERIFY(QTest::qWaitForWindowExposed(frame));
        frame->move(40, 30);
        frame->resize(700, 500);
        Child<QSplitter>(frame, "MainSplitter")->setSizes({220, 480});
        Child<QSplitter>(frame, "RightSplitter")->setSizes({250, 200});
        frame->Action(ID_VIEW_QUICKSEARCHBAR)->trigger();
        QVERIFY(Child<QToolBar>(frame, "QuickSearchBar")->isHidden());
        QVERIFY(!frame->Action(ID_VIEW_QUICKSEARCHBAR)->isChecked());
        QTRY_COMPARE(frame->pos(), QPoint(40, 30));
        frame->close();
        app->ExitInstance();
        app.reset();

        app = folder.Start();
        frame = app->GetMainFrame();
        QVERIFY(QTest::qWaitForWindowExposed(frame));
        QCOMPARE(frame->size(), QSize(700, 500));
        QCOMPARE(frame->pos(), QPoint(40, 30));
        QCOMPARE(Child<QSplitter>(frame, "MainSplitter")->sizes().value(0), 220);
        QCOMPARE(Child<QSplitter>(frame, "RightSplitter")->sizes().value(0), 250);
        QVERIFY(Child<QToolBar>(frame, "QuickSearchBar")->isHidden());
        QVERIFY(!frame->Action(ID_VIEW_QUICKSEARCHBAR)->isChecked());
        QVERIFY(frame->Action(ID_VIEW_TOOLBAR)->isChecked());

        // Closed while maximised: the earlier normal rectangle is kept.
        frame->showMaximized();
        QTRY_VERIFY(frame->isMaximized());
        frame->close();
        app->ExitInstance();
        app.reset();
        app = folder.Start();
        frame = app->GetMainFrame();
        QVERIFY(!frame->isMaximized());
        QCOMPARE(frame->size(), QSize(700, 500));
        QCOMPARE(frame->pos(), QPoint(40, 30));
        app->ExitInstance();
    }

    void barsAndStatusBarToggle() {
        lv::guitest::ProgramFolder folder;
        auto app = folder.Start();
        CMainFrame* frame = app->GetMainFrame();
        QVERIFY(frame->Action(ID_VIEW_STATUS_BAR)->isChecked());
        frame->Action(ID_VIEW_STATUS_BAR)->trigger();
        QVERIFY(frame->statusBar()->isHidden());
        QVERIFY(!frame->Action(ID_VIEW_STATUS_BAR)->isChecked());
        frame->Action(ID_VIEW_TOOLBAR)->trigger();
        QVERIFY(Child<QToolBar>(frame, "ToolBar")->isHidden());
        QVERIFY(!frame->Action(ID_VIEW_TOOLBAR)->isChecked());
        frame->Action(ID_VIEW_TOOLBAR)->trigger();
        QVERIFY(!Child<QToolBar>(frame, "ToolBar")->isHidden());
        app->ExitInstance();
    }

    void toolbarAndMenusCarryTheCommands() {
        lv::guitest::ProgramFolder folder;
        auto app = folder.Start();
        CMainFrame* frame = app->GetMainFrame();
        // Every button is one of the window's commands, with an image, a text and a tooltip.
        int buttons = 0;
        for (QAction* a : Child<QToolBar>(frame, "ToolBar")->actions()) {
            if (a->isSeparator()) continue;
            ++buttons;
            QCOMPARE(frame->Action(a->data().toInt()), a);
            QVERIFY2(!a->icon().isNull(), qPrintable(a->text()));
            QVERIFY2(!a->text().isEmpty(), qPrintable(QString::number(a->data().toInt())));
            QVERIFY2(!a->toolTip().isEmpty(), qPrintable(a->text()));
            QVERIFY2(!a->statusTip().isEmpty(), qPrintable(a->text()));
        }
        QVERIFY(buttons > 0);
        QAction* f5 = frame->Action(ID_DOWNLOAD_LIBRARY);
        // A menu shows the text after the tab as the key, spelled as our menu text spells it.
        QCOMPARE(f5->text(), QStringLiteral("ﾗｲﾌﾞﾗﾘ情報を取得(&R)\tF5"));
        QCOMPARE(f5->shortcut(), QKeySequence(Qt::Key_F5));
        QCOMPARE(f5->statusTip(), QStringLiteral("RD本体から最新のﾗｲﾌﾞﾗﾘ情報を取得します"));
        QCOMPARE(f5->toolTip(), QStringLiteral("ﾗｲﾌﾞﾗﾘ情報を取得"));
        QCOMPARE(frame->Action(ID_UP_ONE_LEVEL)->shortcut(), QKeySequence(Qt::Key_Backspace));
        QCOMPARE(frame->Action(ID_ABORT)->text(), QStringLiteral("中止(&A)\tEsc"));
        QCOMPARE(frame->Action(ID_EDIT_COPY_DETAILS)->text(), QStringLiteral("詳細ｺﾋﾟｰ(&D)\tCtrl+D"));
        QCOMPARE(frame->Action(ID_REC_MODE1 + 4)->statusTip(),
                 QStringLiteral("録画モード設定5のときの残量時間を表示します"));

        QStringList menus;
        for (QAction* a : frame->menuBar()->actions()) menus << a->text();
        QCOMPARE(menus, (QStringList{QStringLiteral("ﾌｧｲﾙ(&F)"), QStringLiteral("編集(&E)"), QStringLiteral("表示(&V)"),
                                     QStringLiteral("ﾂｰﾙ"), QStringLiteral("ﾍﾙﾌﾟ(&H)")}));
        QStringList view;
        for (QAction* a : frame->menuBar()->actions().at(2)->menu()->actions())
            view << (a->isSeparator() ? QStringLiteral("-") : a->text());
        QCOMPARE(view, (QStringList{QStringLiteral("一つ上の階層へ(&U)\tBS"), QStringLiteral("-"),
                                    QStringLiteral("ﾂｰﾙ ﾊﾞｰ(&T)"), QStringLiteral("ｽﾃｰﾀｽ ﾊﾞｰ(&S)"),
                                    QStringLiteral("ｸｲｯｸｻｰﾁ ﾊﾞｰ(&Q)"), QStringLiteral("入力中に絞り込む(&F)"),
                                    QStringLiteral("-"), QStringLiteral("一覧(&L)"), QStringLiteral("詳細(&D)"),
                                    QStringLiteral("-"), QStringLiteral("ﾃﾞｨｽｸ表示形式"), QStringLiteral("残量時間")}));
        app->ExitInstance();
    }

    void helpCommands() {
        lv::guitest::ProgramFolder folder;
        auto app = folder.Start();
        CMainFrame* frame = app->GetMainFrame();
        UrlCatcher catcher;
        QDesktopServices::setUrlHandler(QStringLiteral("file"), &catcher, "open");
        QDesktopServices::setUrlHandler(QStringLiteral("https"), &catcher, "open");
        // Which read-me is opened is the settings' choice.
        lv::test::WriteFile(folder.File("ReadMe.txt"), "\xEF\xBB\xBF");
        frame->Action(ID_HELP_README)->trigger();
        frame->Action(ID_HELP_HOMEPAGE)->trigger();
        QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
        QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
        QCOMPARE(catcher.urls.size(), 2);
        QCOMPARE(catcher.urls.at(0).toLocalFile(),
                 QDir::fromNativeSeparators(QString::fromStdString(folder.File("ReadMe.txt"))));
        QCOMPARE(catcher.urls.at(1).scheme(), QStringLiteral("https"));

        CMessageBox::SetNextAnswer(QMessageBox::Ok);
        frame->Action(ID_APP_ABOUT)->trigger();
        QCOMPARE(CMessageBox::Shown().size(), std::size_t(1));
        QVERIFY(CMessageBox::Shown().front().text.contains(QStringLiteral("1.5.3.0")));
        // The box says where the program keeps its files.
        QVERIFY(CMessageBox::Shown().front().text.contains(QString::fromStdString(app->m_pszAppDir)));

        // Exit closes the window; the settings are written by the application.
        frame->Action(ID_APP_EXIT)->trigger();
        QVERIFY(frame->IsClosed());
        app->ExitInstance();
        QVERIFY(std::filesystem::exists(app->GetSettingsFile()));
        // An executable with another name than the program's keeps its own settings file.
        const QString base = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
        QCOMPARE(QString::fromStdString(app->GetSettingsFile()),
                 QString::fromStdString(folder.File(base.toStdString() + ".ini")));
        QVERIFY(!std::filesystem::exists(folder.File("librovista.ini")));
    }

    // Recorders whose caches cannot be read are named in a box at start.
    void anUnreadableCacheIsToldAtStart() {
#ifdef _WIN32
        QSKIP("needs /proc");
#else
        lv::guitest::Window w;
        w.m_folder->AddSampleLibrary();
        const std::string rda = w.m_folder->File("RDA/Library.csv");
        std::filesystem::remove(rda);
        std::filesystem::create_symlink("/proc/self/mem", rda);  // reading fails with EIO
        CMessageBox::SetNextAnswer(QMessageBox::Ok);
        w.Start();
        QTRY_COMPARE(CMessageBox::Shown().size(), std::size_t(1));
        const QString text = CMessageBox::Shown()[0].text;
        QVERIFY2(text.startsWith(u"RDA: "_s) && text.contains(u"Library.csv"_s), qPrintable(text));
        w.Stop();
#endif
    }

    // An exception that leaves a command is told; the window and its
    // document stay as they were.
    void anExceptionFromACommandIsToldAndTheWindowStays() {
        lv::guitest::Window w;
        w.StartOnSampleLibrary();
        const int titles = w.Doc().GetRecorders()[0]->GetTitleCount();
        CMessageBox::SetNextAnswer(QMessageBox::Ok);
        QTimer::singleShot(0, w.m_frame, [] { throw std::bad_alloc(); });
        QTRY_COMPARE(lv::guitest::ShownTexts(), QStringList{u"メモリが足りません。"_s});
        CMessageBox::SetNextAnswer(QMessageBox::Ok);
        QTimer::singleShot(0, w.m_frame, [] { throw std::out_of_range("index 7"); });
        QTRY_COMPARE(CMessageBox::Shown().size(), std::size_t(2));
        QCOMPARE(CMessageBox::Shown()[1].text, u"予期しないエラーが発生しました。 (index 7)"_s);
        QVERIFY(w.m_frame->isVisible());
        QCOMPARE(w.Doc().GetRecorders()[0]->GetTitleCount(), titles);
        w.Stop();
    }
};

// The program's own application object, which catches what the event handlers throw.
int main(int argc, char* argv[]) {
    CGuardedApplication app(argc, argv);
    app.setAttribute(Qt::AA_Use96Dpi, true);
    WindowTest test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}
#include "window_test.moc"
