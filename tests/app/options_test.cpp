// The options sheet with its proxy page, through the window's "オプション(&O)":
// the enabling rule, the port checks, and what reaches the application's
// proxy settings with OK, Apply and Cancel.
#include <QCheckBox>
#include <QPushButton>
#include <QTabWidget>

#include "app/settings/prop_page_proxy.h"
#include "support/gui_test.h"

using namespace lv::app;
using lv::guitest::Child;
using lv::guitest::OnNextDialog;
using lv::guitest::ShownTexts;
using lv::guitest::Window;

namespace {

struct Page {
    CPropertySheet* sheet;
    CPropPageProxy* page;
    QCheckBox* useIE() const { return Child<QCheckBox>(page, "UseIE"); }
    QCheckBox* enable() const { return Child<QCheckBox>(page, "UseProxy"); }
    QLineEdit* host() const { return Child<QLineEdit>(page, "ProxyHost"); }
    QLineEdit* port() const { return Child<QLineEdit>(page, "ProxyPort"); }
    QTabWidget* tabs() const { return Child<QTabWidget>(sheet, "Pages"); }
    QPushButton* apply() const { return Child<QPushButton>(sheet, "Apply"); }
    void Press(const char* button) const {
        QTest::mouseClick(sheet->findChild<QPushButton*>(QString::fromLatin1(button)), Qt::LeftButton);
    }
};

void SetText(QLineEdit* edit, const QString& text) {
    edit->setFocus();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, text);
}

}  // namespace

class OptionsTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<Window> w;

    void RunOptions(std::function<void(const Page&)> action) {
        bool ran = false;
        auto waiter = OnNextDialog<CPropertySheet>([&](CPropertySheet* sheet) {
            ran = true;
            auto* page = sheet->findChild<CPropPageProxy*>();
            QVERIFY(page);
            action(Page{sheet, page});
            if (sheet->isVisible()) QTest::keyClick(sheet, Qt::Key_Escape);
        });
        lv::guitest::Activate(w->m_frame);
        w->Act(ID_OPTIONS)->trigger();
        QVERIFY(ran);
    }
    const CAppSettings& Settings() const { return w->m_app->m_settings; }

private slots:
    void init() {
        CMessageBox::ClearShown();
        w = std::make_unique<Window>();
        w->Start();
    }
    void cleanup() { w.reset(); }

    void firstRunShowsTheDefaultsAndTheEnablingRule() {
        RunOptions([](const Page& p) {
            QCOMPARE(p.sheet->windowTitle(), QStringLiteral("オプション"));
            QCOMPARE(p.tabs()->count(), 1);
            QCOMPARE(p.tabs()->tabText(0), QStringLiteral("ﾌﾟﾛｷｼ設定"));
            // Named after what gives the settings on this system.
#ifdef _WIN32
            QCOMPARE(p.useIE()->text(), QStringLiteral("設定をIEから取得する(&I)"));
#else
            QCOMPARE(p.useIE()->text(), QStringLiteral("システムの設定を使用する(&I)"));
#endif
            QVERIFY(p.useIE()->isChecked());
            QCOMPARE(p.port()->text(), QStringLiteral("8080"));
            QVERIFY(!p.enable()->isEnabled());
            QVERIFY(!p.host()->isEnabled());
            QVERIFY(!p.port()->isEnabled());
            QVERIFY(!p.apply()->isEnabled());

            // Without the system's settings the proxy may be chosen; the edits follow it.
            QTest::mouseClick(p.useIE(), Qt::LeftButton);
            QVERIFY(p.enable()->isEnabled());
            QVERIFY(!p.host()->isEnabled());
            QVERIFY(p.apply()->isEnabled());
            QTest::mouseClick(p.enable(), Qt::LeftButton);
            QVERIFY(p.host()->isEnabled());
            QVERIFY(p.port()->isEnabled());
            SetText(p.host(), QStringLiteral("proxy.lan"));
            // Back to the system's settings: all three off, the values stay.
            QTest::mouseClick(p.useIE(), Qt::LeftButton);
            QVERIFY(!p.enable()->isEnabled());
            QVERIFY(!p.host()->isEnabled());
            QVERIFY(!p.port()->isEnabled());
            QVERIFY(p.enable()->isChecked());
            QCOMPARE(p.host()->text(), QStringLiteral("proxy.lan"));
            // Cancel applies nothing.
            p.Press("Cancel");
        });
        QCOMPARE(Settings().m_bProxyUseIE, 1);
        QCOMPARE(Settings().m_bProxyEnable, 0);
        QCOMPARE(Settings().m_strProxyHost, std::string());
        QCOMPARE(Settings().m_nProxyPort, 8080);
    }

    void portChecksKeepTheSheetOpen() {
        RunOptions([](const Page& p) {
            QTest::mouseClick(p.useIE(), Qt::LeftButton);
            QTest::mouseClick(p.enable(), Qt::LeftButton);
            SetText(p.host(), QStringLiteral("proxy.lan"));
            auto expect = [&p](const QString& port, const QString& text) {
                CMessageBox::ClearShown();
                SetText(p.port(), port);
                CMessageBox::SetNextAnswer(QMessageBox::Ok);
                p.Press("OK");
                QVERIFY(p.sheet->isVisible());
                QCOMPARE(ShownTexts(), QStringList{text});
                // Some platforms (Wine) make the sheet active again a little later.
                QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(p.port()));
            };
            expect(QStringLiteral("0"), QStringLiteral("1 から 65535 までの整数を入力してください。"));
            expect(QStringLiteral("65536"), QStringLiteral("1 から 65535 までの整数を入力してください。"));
            expect(QStringLiteral("99999999999"), QStringLiteral("1 から 65535 までの整数を入力してください。"));
            expect(QString(), QStringLiteral("正の整数を入力してください。"));
            // Digits only.
            SetText(p.port(), QStringLiteral("-31x28"));
            QCOMPARE(p.port()->text(), QStringLiteral("3128"));
            CMessageBox::ClearShown();
            p.Press("OK");
            QVERIFY(!p.sheet->isVisible());
        });
        QVERIFY(CMessageBox::Shown().empty());
        QCOMPARE(Settings().m_bProxyUseIE, 0);
        QCOMPARE(Settings().m_bProxyEnable, 1);
        QCOMPARE(Settings().m_strProxyHost, std::string("proxy.lan"));
        QCOMPARE(Settings().m_nProxyPort, 3128);

        // Opened again, the page shows them with its fields enabled; the file is the settings' own.
        RunOptions([](const Page& p) {
            QVERIFY(!p.useIE()->isChecked());
            QVERIFY(p.enable()->isChecked());
            QVERIFY(p.host()->isEnabled());
            QCOMPARE(p.host()->text(), QStringLiteral("proxy.lan"));
            QCOMPARE(p.port()->text(), QStringLiteral("3128"));
        });
    }

    void applyTakesEffectAtOnceAndCancelKeepsIt() {
        RunOptions([this](const Page& p) {
            QTest::mouseClick(p.useIE(), Qt::LeftButton);
            QTest::mouseClick(p.enable(), Qt::LeftButton);
            SetText(p.host(), QStringLiteral("gateway"));
            SetText(p.port(), QStringLiteral("8888"));
            QVERIFY(p.apply()->isEnabled());
            QTest::mouseClick(p.apply(), Qt::LeftButton);
            QVERIFY(p.sheet->isVisible());
            QVERIFY(!p.apply()->isEnabled());
            QCOMPARE(Settings().m_strProxyHost, std::string("gateway"));
            QCOMPARE(Settings().m_nProxyPort, 8888);
            QCOMPARE(Settings().m_bProxyUseIE, 0);
            // Typing marks the page changed again; a refused Apply applies nothing.
            SetText(p.host(), QStringLiteral("other"));
            QVERIFY(p.apply()->isEnabled());
            SetText(p.port(), QStringLiteral("70000"));
            CMessageBox::SetNextAnswer(QMessageBox::Ok);
            QTest::mouseClick(p.apply(), Qt::LeftButton);
            QCOMPARE(ShownTexts(), QStringList{QStringLiteral("1 から 65535 までの整数を入力してください。")});
            QCOMPARE(Settings().m_strProxyHost, std::string("gateway"));
            p.Press("Cancel");
        });
        QCOMPARE(Settings().m_strProxyHost, std::string("gateway"));
        QCOMPARE(Settings().m_nProxyPort, 8888);
        QCOMPARE(Settings().m_bProxyEnable, 1);
    }

    void aHostLongerThanTheLimitCannotBeTyped() {
        RunOptions([](const Page& p) {
            QTest::mouseClick(p.useIE(), Qt::LeftButton);
            QTest::mouseClick(p.enable(), Qt::LeftButton);
            SetText(p.host(), QString(70, QLatin1Char('h')));
            QCOMPARE(p.host()->text().size(), 63);
            p.Press("OK");
        });
        QCOMPARE(Settings().m_strProxyHost, std::string(63, 'h'));
    }
};

QTEST_MAIN(OptionsTest)
#include "options_test.moc"
