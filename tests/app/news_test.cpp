// What the downloads brought, in the window: the "新着" node, bold rows and the
// counts; and every recorder's library at once with Shift+F5.
#include <QAction>
#include <QFont>
#include <QSignalSpy>
#include <QTest>
#include <QToolBar>

#include "app/dialogs/message_box.h"
#include "app/shell/app.h"
#include "app/shell/commands.h"
#include "app/shell/main_frame.h"
#include "app/views/list_model.h"
#include "app/views/tree_view.h"
#include "support/emulator.h"
#include "support/gui_test.h"
#include "support/sjis.h"

using namespace lv::app;
using lv::guitest::Child;

namespace {

const char* const kDiscs =
    "\"Disc No.\",\"ディスク名\",\"残量時間\",\"SP\",\"LP\",\"EP\",\"XP\",\"MN\"\r\n"
    "\"HDD_\",\"\",\"9:00\",\"9:00\",\"18:00\",\"27:00\",\"4:00\",\"7:00\"\r\n"
    "\"001\",\"\",\"1:00\",\"1:00\",\"2:00\",\"3:00\",\"0:30\",\"1:30\"\r\n"
    "\"002\",\"\",\"2:00\",\"1:00\",\"2:00\",\"3:00\",\"0:30\",\"1:30\"\r\n";

// A library line in UTF-8; disc and page are what a dubbing changes.
std::string T(const char* disc, const char* title, const char* day, const char* page) {
    return std::string("\"") + disc + "\",\"" + title + "\",\"2005/12/" + day + "\",\"水\",\"21:00\",\"011\",\"\"," +
           "\"ニュース\",\"9:00\",\"\",\"" + page + "\",\"\",\"0000100002\"\r\n";
}

}  // namespace

class NewsTest : public QObject, public lv::guitest::Window {
    Q_OBJECT

private:
    std::vector<std::unique_ptr<lv::rdsim::RdSim>> m_sims;

    // A recorder served on loopback, with a cache of `cached`.
    lv::rdsim::RdSim& AddRecorder(const char* name, const std::string& served, const std::string& cached) {
        auto sim = lv::test::StartEmulator({.strModel = "RD-X5"}, lv::test::PortRange::Profile);
        if (!sim) qFatal("no port for the emulator");
        sim->SetLibrary(SJ(served.c_str()), SJ(kDiscs));
        m_folder->AddRecorder(name, "RD-X5", kDiscs, cached, sim->Port());
        m_sims.push_back(std::move(sim));
        return *m_sims.back();
    }
    bool Download(Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QSignalSpy ended(m_frame, &CMainFrame::transferEnded);
        Key(Qt::Key_F5, modifiers);
        return ended.wait(10000);
    }
    QString Pane() const { return m_frame->GetPaneText(ID_PANE_TRANSFER); }
    // "title disc" of the rows shown in bold, in the list's order.
    QStringList BoldRows() const {
        QStringList rows;
        for (int r = 0; r < m_model->rowCount(); ++r)
            if (m_model->index(r, 0).data(Qt::FontRole).value<QFont>().bold())
                rows << Column(0).at(r) + QLatin1Char(' ') + Column(1).at(r);
        rows.sort();
        return rows;
    }
    void SelectNews() { lv::guitest::ClickNode(m_tree, lv::guitest::FindNode(m_tree, {u"新着"_s})); }

private slots:
    void init() {
        CMessageBox::ClearShown();
        m_folder = std::make_unique<lv::guitest::ProgramFolder>();
    }
    void cleanup() {
        Stop();
        m_sims.clear();
        m_folder.reset();
    }

    void downloadsTellWhatIsNewUntilTheNextOne() {
        const std::string before = T("HDD", "映画", "01", "a.htm") + T("HDD", "ニュース", "02", "b.htm") +
                                   T("001", "ドラマ", "03", "c.htm") + T("HDD", "アニメ", "04", "d.htm");
        lv::rdsim::RdSim& sim = AddRecorder("RDA", before, before);
        Start();
        Select({QStringLiteral("RDA")});
        QVERIFY(Download());
        QCOMPARE(Pane(), QStringLiteral("新着 0件 / 削除 0件"));

        // 映画 dubbed to DVD 002, ドラマ erased, 特番 recorded, a copy of アニメ on DVD 001.
        sim.SetLibrary(
            SJ((T("HDD", "ニュース", "02", "b.htm") + T("002", "映画", "01", "e.htm") +
                T("HDD", "アニメ", "04", "d.htm") + T("HDD", "特番", "05", "f.htm") + T("001", "アニメ", "04", "g.htm"))
                   .c_str()),
            SJ(kDiscs));
        QVERIFY(Download());
        QCOMPARE(Pane(), QStringLiteral("新着 2件 / 削除 1件"));
        QCOMPARE(m_model->rowCount(), 5);
        QCOMPARE(BoldRows(), (QStringList{QStringLiteral("アニメ 001"), QStringLiteral("特番 HDD")}));
        SelectNews();
        QCOMPARE(Titles(), (QStringList{QStringLiteral("アニメ"), QStringLiteral("特番")}));
        QCOMPARE(BoldRows().size(), 2);

        // Bold until the recorder's next download, which finds nothing new:
        // the selected "新着" node follows at once.
        QVERIFY(Download(Qt::ShiftModifier));
        QCOMPARE(Pane(), QStringLiteral("新着 0件 / 削除 0件"));
        QCOMPARE(m_model->rowCount(), 0);
        Select({QStringLiteral("RDA")});
        QCOMPARE(BoldRows(), QStringList());
    }

    // What the routine decides is the net tests'; here Shift+F5 runs it and
    // Esc stops it, with its texts in the pane, one warning box and the news
    // of the recorders done before.
    void allRecordersUntilEsc() {
        const std::string one = T("HDD", "ニュース", "02", "b.htm");
        AddRecorder("A", one + T("HDD", "特番", "05", "f.htm"), one);
        AddRecorder("B", T("HDD", "映画", "06", "a.htm"), one);
        lv::rdsim::RdSim& c = AddRecorder("C", one, one);
        lv::rdsim::RdSim& d = AddRecorder("D", one, one);
        c.SetFault({.nSlowMs = 300, .nSlowChunk = 16});
        Start();
        QAction* all = Act(ID_DOWNLOAD_ALL_LIBRARIES);
        QCOMPARE(all->text(), QStringLiteral("すべてのRD本体からﾗｲﾌﾞﾗﾘ情報を取得(&L)\tShift+F5"));
        QVERIFY(Child<QToolBar>(m_frame, "ToolBar")->actions().contains(all));
        QVERIFY(all->isEnabled());  // no recorder chosen: all of them are

        QSignalSpy panes(m_frame, &CMainFrame::paneTextChanged);
        QSignalSpy ended(m_frame, &CMainFrame::transferEnded);
        Key(Qt::Key_F5, Qt::ShiftModifier);
        QTRY_VERIFY(!c.Requests().empty());
        CMessageBox::SetNextAnswer(QMessageBox::Ok);
        Key(Qt::Key_Escape);
        QVERIFY(ended.wait(10000));
        QStringList texts;
        for (const QList<QVariant>& call : panes)
            if (call.at(0).toInt() == ID_PANE_TRANSFER) texts << call.at(1).toString();
        QVERIFY2(texts.contains(QStringLiteral("3/4 C RD本体に接続中...")), qPrintable(texts.join(u'|')));
        QCOMPARE(CMessageBox::Shown().size(), std::size_t(1));
        QCOMPARE(CMessageBox::Shown().front().text,
                 QStringLiteral("次のRD本体からﾗｲﾌﾞﾗﾘ情報を取得できませんでした。\n\nC\n処理が中断されました。"));
        QCOMPARE(CMessageBox::Shown().front().icon, QMessageBox::Warning);
        QVERIFY(d.Requests().empty());
        // One reload for the recorders that succeeded.
        QCOMPARE(Pane(), QStringLiteral("新着 2件 / 削除 1件"));
        SelectNews();
        QCOMPARE(Titles(), (QStringList{QStringLiteral("映画"), QStringLiteral("特番")}));
        QCOMPARE(Column(5), (QStringList{QStringLiteral("B"), QStringLiteral("A")}));
    }
};

QTEST_MAIN(NewsTest)
#include "news_test.moc"
