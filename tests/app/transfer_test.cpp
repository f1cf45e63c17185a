// Downloads from the window: F5 and F4 against a recorder served on loopback,
// to the reloaded views; Esc, failures and closing during a transfer.
#include <QAction>
#include <QHeaderView>
#include <QSignalSpy>
#include <QTest>
#include <QTreeView>

#include "app/shell/app.h"
#include "app/shell/commands.h"
#include "app/shell/main_frame.h"
#include "app/views/edit_view.h"
#include "app/views/list_model.h"
#include "app/views/list_view.h"
#include "app/views/tree_view.h"
#include "core/library/title_doc.h"
#include "core/settings/netnavi_setting.h"
#include "support/emulator.h"
#include "support/gui_test.h"
#include "support/sjis.h"

using namespace lv::app;
using lv::guitest::ClickNode;
using lv::guitest::FindNode;

namespace {

const char* const kNewLibrary =
    "\"HDD\",\"ニュース７\",\"2005/12/21\",\"水\",\"19:00\",\"011\",\"\",\"ニュース\",\"9:00\",\"\",\"t1.htm\",\"\","
    "\"0000100002\"\r\n"
    "\"HDD\",\"新番組\",\"2005/12/23\",\"金\",\"22:00\",\"011\",\"\",\"ドラマ\",\"9:00\",\"\",\"t9.htm\",\"\","
    "\"0000400001\"\r\n";
const char* const kNewDiscs =
    "\"Disc No.\",\"ディスク名\",\"残量時間\",\"SP\",\"LP\",\"EP\",\"XP\",\"MN\"\r\n"
    "\"HDD_\",\"\",\"9:00\",\"9:00\",\"18:00\",\"27:00\",\"4:00\",\"7:00\"\r\n"
    "\"003\",\"新しい円盤\",\"2:00\",\"1:00\",\"2:00\",\"3:00\",\"0:30\",\"1:30\"\r\n";

// The recorder emulator on a loopback port in the range that profiles accept.
class FakeRecorder {
public:
    bool Start() {
        m_sim = lv::test::StartEmulator({.strModel = "RD-X5"}, lv::test::PortRange::Profile);
        if (!m_sim) return false;
        m_sim->SetLibrary(SJ(kNewLibrary), SJ(kNewDiscs));
        for (const char* page : {"t1.htm", "t2.htm", "t4.htm", "a.htm", "b.htm", "c.htm", "d.htm"})
            m_sim->SetPage(page, SJ(("<HTML><BODY>\r\n<TEXTAREA name=\"d\">説明 " + std::string(page) +
                                     "\r\n二行目</TEXTAREA>\r\n</BODY></HTML>\r\n")
                                        .c_str()));
        return true;
    }
    int Port() const { return m_sim->Port(); }
    // The library list's body trickles in slowly.
    void SetSlow(int ms) {
        lv::rdsim::Fault fault;
        fault.nSlowMs = ms;
        fault.nSlowChunk = 32;
        m_sim->SetFault("/library/view_library.csv", fault);
    }
    void SetStatus(int status) {
        lv::rdsim::Fault fault;
        fault.nStatus = status;
        m_sim->SetFault(fault);
    }
    std::vector<std::string> Requests() const {
        std::vector<std::string> paths;
        for (const auto& r : m_sim->Requests()) paths.push_back(r.strPath);
        return paths;
    }

private:
    std::unique_ptr<lv::rdsim::RdSim> m_sim;
};

}  // namespace

class TransferTest : public QObject, public lv::guitest::Window {
    Q_OBJECT

private:
    std::unique_ptr<FakeRecorder> m_recorder;

    static QStringList TransferTexts(const QSignalSpy& panes) {
        QStringList texts;
        for (const QList<QVariant>& call : panes)
            if (call.at(0).toInt() == ID_PANE_TRANSFER) texts << call.at(1).toString();
        return texts;
    }

private slots:
    void init() {
        CMessageBox::ClearShown();
        m_recorder = std::make_unique<FakeRecorder>();
        QVERIFY(m_recorder->Start());
        m_folder = std::make_unique<lv::guitest::ProgramFolder>();
        m_folder->AddSampleLibrary();
        // Point RDA at the loopback recorder.
        m_folder->SetPort("RDA", m_recorder->Port());
        Start();
    }
    void cleanup() {
        Stop();
        m_recorder.reset();
        m_folder.reset();
    }

    // While the slow library arrives the pane shows how much has come; then
    // the views show the new library.
    void libraryDownloadShowsProgressAndReloadsTheViews() {
        Select({QStringLiteral("RDA"), QStringLiteral("HDD")});
        QCOMPARE(Titles().size(), 2);
        QVERIFY(m_frame->Action(ID_DOWNLOAD_LIBRARY)->isEnabled());
        m_recorder->SetSlow(100);
        QSignalSpy panes(m_frame, &CMainFrame::paneTextChanged);
        QSignalSpy ended(m_frame, &CMainFrame::transferEnded);
        Key(Qt::Key_F5);
        QVERIFY(m_frame->Action(ID_ABORT)->isEnabled());
        QVERIFY(ended.wait(10000));
        QCOMPARE(ended.front().front().toBool(), true);

        const QStringList transferTexts = TransferTexts(panes);
        QCOMPARE(transferTexts.front(), QStringLiteral("RD本体に接続中..."));
        QVERIFY(transferTexts.contains(QStringLiteral("ﾗｲﾌﾞﾗﾘ情報を取得中...")));
        QVERIFY(transferTexts.contains(QStringLiteral("完了")));
        const QRegularExpression progress(QStringLiteral("^ﾗｲﾌﾞﾗﾘ情報を取得中\\.\\.\\. \\d+ B$"));
        QVERIFY2(transferTexts.indexOf(progress) >= 0, qPrintable(transferTexts.join(u'|')));
        // The pane empties at the end and then tells what the download brought:
        // 新番組 is new, four of the five titles before are gone.
        QCOMPARE(transferTexts.at(transferTexts.size() - 2), QString());
        QCOMPARE(transferTexts.back(), QStringLiteral("新着 1件 / 削除 4件"));
        QVERIFY(!lv::guitest::TransferIconBusy(m_frame));
        QVERIFY(!m_frame->Action(ID_ABORT)->isEnabled());
        QVERIFY(CMessageBox::Shown().empty());

        // Document reloaded, tree rebuilt, list refilled.
        QCOMPARE(m_tree->currentItem()->text(0), QStringLiteral("HDD"));
        QStringList titles = Titles();
        titles.sort();
        QCOMPARE(titles, (QStringList{QStringLiteral("ニュース７"), QStringLiteral("新番組")}));
        QTreeWidgetItem* dvd = FindNode(m_tree, {QStringLiteral("RDA"), QStringLiteral("DVD")});
        QCOMPARE(dvd->childCount(), 1);
        QCOMPARE(dvd->child(0)->text(0), QStringLiteral("003 [ 01:00 ]"));
        QVERIFY(m_frame->Action(ID_DOWNLOAD_LIBRARY)->isEnabled());
    }

    void busyStateAndEscape() {
        Select({QStringLiteral("RDA")});
        SelectRows({0});
        m_list->GetDetailsView()->setFocus();
        QVERIFY(m_frame->Action(ID_DOWNLOAD_TITLE)->isEnabled());
        QVERIFY(!m_frame->Action(ID_ABORT)->isEnabled());
        m_recorder->SetSlow(300);
        QSignalSpy ended(m_frame, &CMainFrame::transferEnded);
        m_frame->Action(ID_DOWNLOAD_LIBRARY)->trigger();
        for (int id : {ID_DOWNLOAD_LIBRARY, ID_DOWNLOAD_TITLE, ID_CLEAN_LIBRARY, ID_CLEAN_UNUSED, ID_CLEAN_DESCRIPTIONS,
                       ID_NETNAVI_SETTING})
            QVERIFY2(!m_frame->Action(id)->isEnabled(), qPrintable(QString::number(id)));
        QVERIFY(m_frame->Action(ID_ABORT)->isEnabled());
        QTRY_VERIFY(lv::guitest::TransferIconBusy(m_frame));
        // A second start while busy is dropped.
        m_frame->StartTitleDownload({});
        QTRY_VERIFY(!m_recorder->Requests().empty());

        CMessageBox::SetNextAnswer(QMessageBox::Ok);
        Key(Qt::Key_Escape);
        QVERIFY(ended.wait(10000));
        QCOMPARE(ended.size(), 1);
        QCOMPARE(ended.front().front().toBool(), false);
        QCOMPARE(CMessageBox::Shown().size(), std::size_t(1));
        QCOMPARE(CMessageBox::Shown().front().text, QStringLiteral("処理が中断されました。"));
        QCOMPARE(Titles().size(), 5);
        QVERIFY(!lv::guitest::TransferIconBusy(m_frame));
        QCOMPARE(m_frame->GetPaneText(ID_PANE_TRANSFER), QString());
        QVERIFY(!m_frame->Action(ID_ABORT)->isEnabled());
        QVERIFY(m_frame->Action(ID_DOWNLOAD_LIBRARY)->isEnabled());
        // Esc when idle does nothing.
        Key(Qt::Key_Escape);
        QCOMPARE(CMessageBox::Shown().size(), std::size_t(1));
    }

    void failingRecorderShowsItsAnswer() {
        m_recorder->SetStatus(401);
        Select({QStringLiteral("RDA")});
        QSignalSpy ended(m_frame, &CMainFrame::transferEnded);
        CMessageBox::SetNextAnswer(QMessageBox::Ok);
        Key(Qt::Key_F5);
        QVERIFY(ended.wait(10000));
        QCOMPARE(CMessageBox::Shown().size(), std::size_t(1));
        QVERIFY(CMessageBox::Shown().front().text.contains(QStringLiteral("401")));
        QCOMPARE(CMessageBox::Shown().front().icon, QMessageBox::Warning);
        QCOMPARE(Titles().size(), 5);

        // A transfer without a recorder fails quietly.
        m_frame->StartTitleDownload({});
        QVERIFY(ended.wait(10000));
        QCOMPARE(ended.back().front().toBool(), false);
        QCOMPARE(CMessageBox::Shown().size(), std::size_t(1));
        QVERIFY(!m_frame->Action(ID_ABORT)->isEnabled());
    }

    void descriptionDownloadShowsTheLastTitle() {
        Select({QStringLiteral("RDA")});
        // Titles sorted by name: サッカー中継, ドラマ１, ニュース７, 映画２, 映画ＡＢＣ.
        SelectRows({0, 1, 2});
        m_list->GetDetailsView()->setFocus();
        QSignalSpy ended(m_frame, &CMainFrame::transferEnded);
        QSignalSpy panes(m_frame, &CMainFrame::paneTextChanged);
        Key(Qt::Key_F4);
        QVERIFY(ended.wait(10000));
        QCOMPARE(ended.front().front().toBool(), true);
        // The pane counts the descriptions, up to the last one.
        const QStringList counts = TransferTexts(panes).filter(QStringLiteral(" / "));
        QVERIFY2(counts.contains(QStringLiteral("ﾗｲﾌﾞﾗﾘ情報を取得中... 3 / 3")), qPrintable(counts.join(u'|')));
        QStringList sorted = counts;
        sorted.sort();
        QCOMPARE(counts, sorted);
        QCOMPARE(m_recorder->Requests(),
                 (std::vector<std::string>{"/library/t2.htm", "/library/t4.htm", "/library/t1.htm"}));
        QCOMPARE(m_frame->GetEditView()->toPlainText(), QStringLiteral("説明 t1.htm\n二行目\n"));
        QCOMPARE(m_list->GetSelectedCount(), 3);
        QCOMPARE(Titles().size(), 5);

        // Selecting a fetched title alone now shows its cached description.
        SelectRows({1});
        QCOMPARE(m_frame->GetEditView()->toPlainText(), QStringLiteral("説明 t4.htm\n二行目\n"));
    }

    // Closing stops the transfer as Esc does instead of waiting for the
    // network: the window goes with the library it had.
    void closingStopsTheTransfer() {
        Select({QStringLiteral("RDA")});
        const std::string before = lv::test::ReadFile(CacheFile("RDA", "Library.csv"));
        m_recorder->SetSlow(1000);
        m_frame->Action(ID_DOWNLOAD_LIBRARY)->trigger();
        QTRY_VERIFY(!m_recorder->Requests().empty());
        QSignalSpy ended(m_frame, &CMainFrame::transferEnded);
        QVERIFY(m_frame->close());
        QVERIFY(!m_frame->isVisible());
        QCOMPARE(lv::test::ReadFile(CacheFile("RDA", "Library.csv")), before);
        QTest::qWait(100);
        QCOMPARE(ended.size(), 0);
        QVERIFY(CMessageBox::Shown().empty());
    }
};

QTEST_MAIN(TransferTest)
#include "transfer_test.moc"
