// One user's session from an empty program folder against the recorder
// emulator: a recorder added in the dialogs is the one the transfers reach,
// and deleting it takes what they fetched. Searching, copying and the
// clean-ups have their own window tests.
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>

#include "app/settings/netnavi_dialog.h"
#include "support/emulator.h"
#include "support/gui_test.h"

using namespace lv::app;
using lv::guitest::Child;
using lv::guitest::OnNextDialog;
using lv::guitest::Window;
namespace fs = std::filesystem;

namespace {

const char* const kLibrary =
    "\"HDD\",\"朝のニュース\",\"2006/04/01\",\"土\",\"07:00\",\"011\",\"\",\"ニュース\",\"9:00\",\"\",\"n1.htm\",\"\","
    "\"0000000064\"\r\n"
    "\"HDD\",\"夜のニュース\",\"2006/04/02\",\"日\",\"22:00\",\"011\",\"\",\"ニュース\",\"9:00\",\"\",\"n2.htm\",\"\","
    "\"0000000064\"\r\n"
    "\"001\",\"名作映画\",\"2006/03/20\",\"月\",\"21:00\",\"041\",\"\",\"映画\",\"2:00\",\"\",\"m1.htm\",\"\","
    "\"0000600080\"\r\n";
const char* const kDiscs =
    "\"Disc No.\",\"ディスク名\",\"残量時間\",\"SP\",\"LP\",\"EP\",\"XP\",\"MN\"\r\n"
    "\"HDD_\",\"\",\"9:00\",\"9:00\",\"18:00\",\"27:00\",\"4:00\",\"7:00\"\r\n"
    "\"001\",\"映画の円盤\",\"2:00\",\"1:00\",\"2:00\",\"3:00\",\"0:30\",\"1:30\"\r\n";

// The emulator on a loopback port that profiles accept.
std::unique_ptr<lv::rdsim::RdSim> StartRecorder() {
    auto sim = lv::test::StartEmulator({.strModel = "RD-X5"}, lv::test::PortRange::Profile);
    if (!sim) return nullptr;
    sim->SetLibrary(SJ(kLibrary), SJ(kDiscs));
    for (const char* page : {"n1.htm", "n2.htm", "m1.htm"})
        sim->SetPage(page, SJ(("<HTML><BODY>\r\n<TEXTAREA name=\"d\">番組の説明 " + std::string(page) +
                               "</TEXTAREA>\r\n</BODY></HTML>\r\n")
                                  .c_str()));
    return sim;
}

}  // namespace

class ToolsScenarioTest : public QObject {
    Q_OBJECT

private:
    static void SetText(QLineEdit* edit, const QString& text) {
        edit->setFocus();
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Delete);
        QTest::keyClicks(edit, text);
    }
    void RunList(Window& w, std::function<void(CNetNaviListDialog*)> action) {
        bool ran = false;
        auto waiter = OnNextDialog<CNetNaviListDialog>([&](CNetNaviListDialog* d) {
            ran = true;
            action(d);
            QTest::mouseClick(Child<QPushButton>(d, "Close"), Qt::LeftButton);
        });
        w.Act(ID_NETNAVI_SETTING)->trigger();
        QVERIFY(ran);
    }
    static void WaitForTransfer(Window& w, int key) {
        QSignalSpy ended(w.m_frame, &CMainFrame::transferEnded);
        w.Key(key);
        QVERIFY(w.m_frame->Action(ID_ABORT)->isEnabled());
        QVERIFY(ended.wait(10000));
        QCOMPARE(ended.front().front().toBool(), true);
    }
    static void ClickRow(Window& w, int row) {
        QAbstractItemView* view = w.m_list->GetDetailsView();
        const QModelIndex index = view->model()->index(row, 0);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, view->visualRect(index).center());
    }

private slots:
    void fromAnEmptyFolderToNoRecorderAgain() {
        CMessageBox::ClearShown();
        auto recorder = StartRecorder();
        QVERIFY(recorder);
        Window w;
        w.Start();
        QVERIFY(w.TreeRecorders().isEmpty());

        // A recorder pointing at the emulator.
        RunList(w, [&](CNetNaviListDialog* d) {
            bool added = false;
            auto waiter = OnNextDialog<CNetNaviDialog>([&](CNetNaviDialog* p) {
                Window::Choose(Child<QComboBox>(p, "Model"),
                               Child<QComboBox>(p, "Model")->findText(QStringLiteral("RD-X5")));
                SetText(Child<QLineEdit>(p, "Name"), QStringLiteral("Home"));
                SetText(Child<QLineEdit>(p, "Host"), QStringLiteral("127.0.0.1"));
                SetText(Child<QLineEdit>(p, "Port"), QString::number(recorder->Port()));
                QTest::mouseClick(p->findChild<QPushButton*>(QStringLiteral("OK")), Qt::LeftButton);
                added = !p->isVisible();
            });
            QTest::mouseClick(Child<QPushButton>(d, "Add"), Qt::LeftButton);
            QVERIFY(added);
        });
        QCOMPARE(w.TreeRecorders(), QStringList{u"Home"_s});
        QCOMPARE(lv::test::ReadFile(w.m_folder->File("Default.lbv")), std::string("Home\r\n"));

        // F5 fetches the library into the cache and the views.
        w.Select({QStringLiteral("Home")});
        WaitForTransfer(w, Qt::Key_F5);
        QCOMPARE(lv::test::ReadFile(w.CacheFile("Home", "Library.csv")), SJ(kLibrary));
        w.Select({QStringLiteral("Home"), QStringLiteral("HDD")});
        QCOMPARE(w.Titles(), (QStringList{QStringLiteral("夜のニュース"), QStringLiteral("朝のニュース")}));

        // F4 fetches the descriptions of the chosen titles.
        w.m_list->GetDetailsView()->setFocus();
        ClickRow(w, 0);
        QTest::mouseClick(w.m_list->GetDetailsView()->viewport(), Qt::LeftButton, Qt::ShiftModifier,
                          w.m_list->GetDetailsView()->visualRect(w.m_list->GetModel()->index(1, 0)).center());
        WaitForTransfer(w, Qt::Key_F4);
        QVERIFY(fs::exists(w.CacheFile("Home", "200604010700011.txt")));
        QVERIFY(fs::exists(w.CacheFile("Home", "200604022200011.txt")));

        // Deleting the recorder removes its profile and cache, and the tree empties.
        RunList(w, [](CNetNaviListDialog* d) {
            QTest::mouseClick(Child<QListWidget>(d, "RecorderList")->viewport(), Qt::LeftButton, Qt::NoModifier,
                              Child<QListWidget>(d, "RecorderList")
                                  ->visualItemRect(Child<QListWidget>(d, "RecorderList")->item(0))
                                  .center());
            CMessageBox::SetNextAnswer(QMessageBox::Yes);
            QTest::mouseClick(Child<QPushButton>(d, "Delete"), Qt::LeftButton);
            QCOMPARE(Child<QListWidget>(d, "RecorderList")->count(), 0);
        });
        QVERIFY(w.TreeRecorders().isEmpty());
        QVERIFY(!fs::exists(w.m_folder->File("Home.ini")));
        QVERIFY(!fs::exists(w.m_folder->File("Home")));
        QCOMPARE(lv::test::ReadFile(w.m_folder->File("Default.lbv")), std::string());
        // Only the delete question was shown.
        QCOMPARE(CMessageBox::Shown().size(), std::size_t(1));
    }
};

QTEST_MAIN(ToolsScenarioTest)
#include "tools_scenario_test.moc"
