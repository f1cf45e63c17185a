// The recorder profile dialogs through the window's "ﾈｯﾄdeﾅﾋﾞ設定(&N)": their
// controls, how they show refusals, questions and failures, and the list and
// document afterwards. The workflow's cases are the core's recorder_profiles_test.
#include <QCheckBox>
#include <QListWidget>
#include <QPushButton>

#include "app/settings/netnavi_dialog.h"
#include "core/ini/ini_file.h"
#include "support/gui_test.h"

using namespace lv::app;
using lv::guitest::Child;
using lv::guitest::OnNextDialog;
using lv::guitest::ShownTexts;
using lv::guitest::Window;
namespace fs = std::filesystem;

class NetNaviTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<Window> w;

    void RunList(std::function<void(CNetNaviListDialog*)> action) {
        bool ran = false;
        auto waiter = OnNextDialog<CNetNaviListDialog>([&](CNetNaviListDialog* d) {
            ran = true;
            action(d);
            if (d->isVisible()) QTest::mouseClick(Child<QPushButton>(d, "Close"), Qt::LeftButton);
        });
        lv::guitest::Activate(w->m_frame);
        QVERIFY(w->Act(ID_NETNAVI_SETTING)->isEnabled());
        w->Act(ID_NETNAVI_SETTING)->trigger();
        QVERIFY(ran);
        QVERIFY(!QApplication::activeModalWidget());
    }
    // Presses a button of the list that opens the profile dialog; false when none opened.
    static bool RunProfile(QPushButton* button, std::function<void(CNetNaviDialog*)> action) {
        bool ran = false;
        auto waiter = OnNextDialog<CNetNaviDialog>([&](CNetNaviDialog* d) {
            ran = true;
            action(d);
            if (d->isVisible()) QTest::mouseClick(d->findChild<QPushButton*>(QStringLiteral("Cancel")), Qt::LeftButton);
        });
        QTest::mouseClick(button, Qt::LeftButton);
        QCoreApplication::processEvents();
        return ran;
    }
    static void Click(QListWidget* list, int row) {
        QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier,
                          list->visualItemRect(list->item(row)).center());
    }
    static QStringList Items(QListWidget* list) {
        QStringList items;
        for (int i = 0; i < list->count(); ++i) items << list->item(i)->text();
        return items;
    }
    static void SetText(QLineEdit* edit, const QString& text) {
        edit->setFocus();
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Delete);
        Window::Type(edit, text);
    }
    static void ChooseModel(CNetNaviDialog* d, const char* model) {
        Window::Choose(Child<QComboBox>(d, "Model"),
                       Child<QComboBox>(d, "Model")->findText(QString::fromLatin1(model)));
    }
    static void PressOK(CNetNaviDialog* d) {
        QTest::mouseClick(d->findChild<QPushButton*>(QStringLiteral("OK")), Qt::LeftButton);
    }
    std::string Profile(const std::string& name) const { return w->m_folder->File(name + ".ini"); }
    std::string DocumentFile() const { return lv::test::ReadFile(w->m_folder->File("Default.lbv")); }
    CNetNaviSetting Load(const std::string& name) const {
        CNetNaviSetting setting(w->m_folder->Dir());
        setting.SetName(name);
        setting.Load();
        return setting;
    }

private slots:
    void init() {
        CMessageBox::ClearShown();
        w = std::make_unique<Window>();
    }
    void cleanup() { w.reset(); }

    void theListOpensWithoutASelectionAndUnchangedItSavesNothing() {
        w->m_folder->AddSampleLibrary();
        w->Start();
        const CRDRecorderLibrary* before = w->Doc().GetRecorders().front().get();
        const auto written = fs::last_write_time(w->m_folder->File("Default.lbv"));
        RunList([this](CNetNaviListDialog* d) {
            QCOMPARE(d->windowTitle(), QStringLiteral("ﾈｯﾄdeﾅﾋﾞ設定"));
            QCOMPARE(Items(Child<QListWidget>(d, "RecorderList")), (QStringList{u"RDA"_s, u"RDB"_s}));
            QVERIFY(Child<QListWidget>(d, "RecorderList")->selectedItems().isEmpty());
            QCOMPARE(Child<QPushButton>(d, "Add")->text(), QStringLiteral("追加(&A)"));
            QCOMPARE(Child<QPushButton>(d, "Modify")->text(), QStringLiteral("変更(&M)"));
            QCOMPARE(Child<QPushButton>(d, "Delete")->text(), QStringLiteral("削除(&D)"));
            QCOMPARE(Child<QPushButton>(d, "Close")->text(), QStringLiteral("閉じる"));
            QVERIFY(Child<QPushButton>(d, "Close")->isDefault());
            // Nothing chosen: change and delete do nothing.
            QVERIFY(Child<QPushButton>(d, "Modify")->isEnabled());
            QVERIFY(!RunProfile(Child<QPushButton>(d, "Modify"), [](CNetNaviDialog*) {}));
            QTest::mouseClick(Child<QPushButton>(d, "Delete"), Qt::LeftButton);
            QVERIFY(CMessageBox::Shown().empty());
            // Cancelled changes leave everything as it was.
            Click(Child<QListWidget>(d, "RecorderList"), 1);
            QVERIFY(RunProfile(Child<QPushButton>(d, "Modify"),
                               [](CNetNaviDialog* p) { SetText(Child<QLineEdit>(p, "Name"), u"RDZ"_s); }));
            QVERIFY(RunProfile(Child<QPushButton>(d, "Add"), [](CNetNaviDialog* p) { ChooseModel(p, "RD-X5"); }));
            QCOMPARE(Items(Child<QListWidget>(d, "RecorderList")), (QStringList{u"RDA"_s, u"RDB"_s}));
            QCOMPARE(Child<QListWidget>(d, "RecorderList")->currentRow(), 1);
            QVERIFY(Child<QListWidget>(d, "RecorderList")->item(1)->isSelected());
            // Esc closes as the close button does.
            QTest::keyClick(d, Qt::Key_Escape);
        });
        QVERIFY(!w->Doc().IsModified());
        QCOMPARE(w->Doc().GetRecorders().front().get(), before);
        QCOMPARE(fs::last_write_time(w->m_folder->File("Default.lbv")), written);
        QVERIFY(!fs::exists(Profile("RDZ")));
    }

    void aNewRecorderInAnEmptyList() {
        w->Start();
        RunList([this](CNetNaviListDialog* d) {
            QVERIFY(!Child<QPushButton>(d, "Modify")->isEnabled());
            QVERIFY(!Child<QPushButton>(d, "Delete")->isEnabled());
            QVERIFY(RunProfile(Child<QPushButton>(d, "Add"), [](CNetNaviDialog* p) {
                QCOMPARE(p->windowTitle(), QStringLiteral("ﾈｯﾄdeﾅﾋﾞ設定"));
                QCOMPARE(Child<QComboBox>(p, "Model")->count(), 21);
                QCOMPARE(Child<QComboBox>(p, "Model")->currentIndex(), -1);
                QCOMPARE(Child<QLineEdit>(p, "Port")->text(), QStringLiteral("80"));
                QCOMPARE(Child<QLineEdit>(p, "Password")->echoMode(), QLineEdit::Password);
                // Security enables the account fields, and only it.
                QVERIFY(!Child<QLineEdit>(p, "User")->isEnabled());
                QVERIFY(!Child<QLineEdit>(p, "Password")->isEnabled());
                QTest::mouseClick(Child<QCheckBox>(p, "Auth"), Qt::LeftButton);
                QVERIFY(Child<QLineEdit>(p, "User")->isEnabled());
                QVERIFY(Child<QLineEdit>(p, "Password")->isEnabled());
                QTest::mouseClick(Child<QCheckBox>(p, "Auth"), Qt::LeftButton);
                QVERIFY(!Child<QLineEdit>(p, "User")->isEnabled());

                // The model fills name and host while they are empty or the previous model.
                ChooseModel(p, "RD-X5");
                QCOMPARE(Child<QLineEdit>(p, "Name")->text(), QStringLiteral("RD-X5"));
                QCOMPARE(Child<QLineEdit>(p, "Host")->text(), QStringLiteral("RD-X5"));
                ChooseModel(p, "RD-XS40");
                QCOMPARE(Child<QLineEdit>(p, "Name")->text(), QStringLiteral("RD-XS40"));
                QCOMPARE(Child<QLineEdit>(p, "Host")->text(), QStringLiteral("RD-XS40"));
                SetText(Child<QLineEdit>(p, "Name"), u"Living"_s);
                ChooseModel(p, "RD-X3");
                QCOMPARE(Child<QLineEdit>(p, "Name")->text(), QStringLiteral("Living"));
                QCOMPARE(Child<QLineEdit>(p, "Host")->text(), QStringLiteral("RD-X3"));
                // No more than 15 bytes of name can be typed.
                SetText(Child<QLineEdit>(p, "Name"), u"LivingRoomRecorder"_s);
                QCOMPARE(Child<QLineEdit>(p, "Name")->text(), QStringLiteral("LivingRoomRecor"));
                SetText(Child<QLineEdit>(p, "Name"), u"Living"_s);
                QTest::mouseClick(Child<QCheckBox>(p, "Auth"), Qt::LeftButton);
                SetText(Child<QLineEdit>(p, "User"), u"admin"_s);
                SetText(Child<QLineEdit>(p, "Password"), u"secret9"_s);
                PressOK(p);
                QVERIFY(!p->isVisible());
            }));
            QCOMPARE(Items(Child<QListWidget>(d, "RecorderList")), QStringList{u"Living"_s});
            // Off until the next opening.
            QVERIFY(!Child<QPushButton>(d, "Modify")->isEnabled());
            QVERIFY(!Child<QPushButton>(d, "Delete")->isEnabled());
        });
        QVERIFY(CMessageBox::Shown().empty());
        const CNetNaviSetting saved = Load("Living");
        QCOMPARE(saved.GetModel(), std::string("RD-X3"));
        QCOMPARE(saved.GetHost(), std::string("RD-X3"));
        QCOMPARE(saved.GetPort(), 80);
        QCOMPARE(saved.GetAuth(), 1);
        QCOMPARE(saved.GetUser(), std::string("admin"));
        QCOMPARE(saved.GetPassword(), std::string("secret9"));
        // Closing saved the document and reloaded it into the views.
        QCOMPARE(DocumentFile(), std::string("Living\r\n"));
        QCOMPARE(w->TreeRecorders(), QStringList{u"Living"_s});
        QVERIFY(!w->Doc().IsModified());
    }

    void aRefusalKeepsTheDialogOpenWithTheFocusOnItsField() {
        w->Start();
        RunList([this](CNetNaviListDialog* d) {
            QVERIFY(RunProfile(Child<QPushButton>(d, "Add"), [](CNetNaviDialog* p) {
                auto expect = [p](const QString& text, QWidget* focus) {
                    CMessageBox::ClearShown();
                    CMessageBox::SetNextAnswer(QMessageBox::Ok);
                    PressOK(p);
                    QVERIFY2(p->isVisible(), qPrintable(text));
                    QCOMPARE(ShownTexts(), QStringList{text});
                    QCOMPARE(CMessageBox::Shown().front().icon, QMessageBox::Warning);
                    QCOMPARE(QApplication::focusWidget(), focus);
                };
                expect(QStringLiteral("機種名が無効です。"), Child<QComboBox>(p, "Model"));
                ChooseModel(p, "RD-X5");
                SetText(Child<QLineEdit>(p, "Host"), u"bad host"_s);
                expect(QStringLiteral("ﾎｽﾄ名が無効です。"), Child<QLineEdit>(p, "Host"));
                SetText(Child<QLineEdit>(p, "Host"), u"192.168.1.20"_s);
                SetText(Child<QLineEdit>(p, "Port"), u"1999"_s);
                expect(QStringLiteral("ﾎﾟｰﾄ番号が無効です。"), Child<QLineEdit>(p, "Port"));
                // The data exchange refuses first what is beyond its range, or no number.
                SetText(Child<QLineEdit>(p, "Port"), u"10001"_s);
                expect(QStringLiteral("0 から 10000 までの整数を入力してください。"), Child<QLineEdit>(p, "Port"));
                SetText(Child<QLineEdit>(p, "Port"), u""_s);
                expect(QStringLiteral("整数を入力してください。"), Child<QLineEdit>(p, "Port"));
                // Only digits can be typed.
                SetText(Child<QLineEdit>(p, "Port"), u"8o8"_s);
                QCOMPARE(Child<QLineEdit>(p, "Port")->text(), QStringLiteral("88"));
                SetText(Child<QLineEdit>(p, "Port"), u"10000"_s);
                SetText(Child<QLineEdit>(p, "Name"), u"録画機"_s);
                expect(QStringLiteral("本体名が無効です。"), Child<QLineEdit>(p, "Name"));
                SetText(Child<QLineEdit>(p, "Name"), u"Den"_s);
                CMessageBox::ClearShown();
                PressOK(p);
                QVERIFY(!p->isVisible());
            }));
            QCOMPARE(Items(Child<QListWidget>(d, "RecorderList")), QStringList{u"Den"_s});
        });
        QVERIFY(CMessageBox::Shown().empty());
        QCOMPARE(Load("Den").GetPort(), 10000);
        QCOMPARE(w->TreeRecorders(), QStringList{u"Den"_s});
    }

    void addingAnExistingNameOverwritesItWhenAskedTo() {
        w->m_folder->AddSampleLibrary();
        w->Start();
        RunList([this](CNetNaviListDialog* d) {
            QVERIFY(RunProfile(Child<QPushButton>(d, "Add"), [this](CNetNaviDialog* p) {
                ChooseModel(p, "RD-XS40");
                SetText(Child<QLineEdit>(p, "Name"), u"RDA"_s);
                SetText(Child<QLineEdit>(p, "Host"), u"10.0.0.5"_s);
                // No: the dialog stays and nothing is touched.
                CMessageBox::SetNextAnswer(QMessageBox::No);
                PressOK(p);
                QVERIFY(p->isVisible());
                QCOMPARE(ShownTexts(),
                         QStringList{QStringLiteral("\"RDA\"は既に存在します。\n新しい設定を上書きしますか？")});
                const auto& asked = CMessageBox::Shown().front();
                QCOMPARE(asked.icon, QMessageBox::Question);
                QCOMPARE(asked.buttons, QMessageBox::Yes | QMessageBox::No);
                QCOMPARE(asked.defaultButton, QMessageBox::No);
                CMessageBox::SetNextAnswer(QMessageBox::Yes);
                PressOK(p);
                QVERIFY(!p->isVisible());
            }));
            QCOMPARE(Items(Child<QListWidget>(d, "RecorderList")), (QStringList{u"RDA"_s, u"RDB"_s}));
        });
        // The document was reloaded without the old cache.
        QCOMPARE(DocumentFile(), std::string("RDA\r\nRDB\r\n"));
        QCOMPARE(w->TreeRecorders(), (QStringList{u"RDA"_s, u"RDB"_s}));
        QVERIFY(w->Doc().FindRecorder("RDA")->Titles().empty());
    }

    void renamingOntoAnotherRecorderReplacesItInThePlaceOfTheRenamedOne() {
        w->m_folder->AddSampleLibrary();
        w->m_folder->AddRecorder("RDC", "RD-X3", "", "");
        w->Start();
        RunList([this](CNetNaviListDialog* d) {
            // A double-click changes the entry too.
            QListWidget* list = Child<QListWidget>(d, "RecorderList");
            bool ran = false;
            auto waiter = OnNextDialog<CNetNaviDialog>([&](CNetNaviDialog* p) {
                ran = true;
                QCOMPARE(Child<QLineEdit>(p, "Name")->text(), QStringLiteral("RDC"));
                QCOMPARE(Child<QComboBox>(p, "Model")->currentText(), QStringLiteral("RD-X3"));
                SetText(Child<QLineEdit>(p, "Name"), u"RDA"_s);
                CMessageBox::SetNextAnswer(QMessageBox::Yes);
                PressOK(p);
                QVERIFY(!p->isVisible());
            });
            Click(list, 2);
            QTest::mouseDClick(list->viewport(), Qt::LeftButton, Qt::NoModifier,
                               list->visualItemRect(list->item(2)).center());
            QVERIFY(ran);
            // The other entry above went: the renamed one stays chosen.
            QCOMPARE(Items(list), (QStringList{u"RDB"_s, u"RDA"_s}));
            QCOMPARE(list->currentRow(), 1);
        });
        QCOMPARE(DocumentFile(), std::string("RDB\r\nRDA\r\n"));
        QCOMPARE(w->TreeRecorders(), (QStringList{u"RDB"_s, u"RDA"_s}));
        QVERIFY(w->Doc().FindRecorder("RDA")->Titles().empty());
    }

    void aChangeThatKeepsTheNameOnlySavesTheProfile() {
        w->m_folder->AddSampleLibrary();
        w->Start();
        const auto written = fs::last_write_time(w->m_folder->File("Default.lbv"));
        RunList([this](CNetNaviListDialog* d) {
            Click(Child<QListWidget>(d, "RecorderList"), 1);
            QVERIFY(RunProfile(Child<QPushButton>(d, "Modify"), [](CNetNaviDialog* p) {
                SetText(Child<QLineEdit>(p, "Port"), u"2080"_s);
                PressOK(p);
            }));
            QCOMPARE(Items(Child<QListWidget>(d, "RecorderList")), (QStringList{u"RDA"_s, u"RDB"_s}));
            QVERIFY(!w->Doc().IsModified());
        });
        QVERIFY(CMessageBox::Shown().empty());
        QCOMPARE(Load("RDB").GetPort(), 2080);
        QCOMPARE(fs::last_write_time(w->m_folder->File("Default.lbv")), written);
    }

    void deletingARecorder() {
        w->m_folder->AddSampleLibrary();
        w->Start();
        RunList([this](CNetNaviListDialog* d) {
            Click(Child<QListWidget>(d, "RecorderList"), 1);
            // No keeps it.
            CMessageBox::SetNextAnswer(QMessageBox::No);
            QTest::mouseClick(Child<QPushButton>(d, "Delete"), Qt::LeftButton);
            QCOMPARE(ShownTexts(), QStringList{QStringLiteral("\"RDB\"を削除します。\nよろしいですか？")});
            QCOMPARE(CMessageBox::Shown().front().icon, QMessageBox::Question);
            QCOMPARE(CMessageBox::Shown().front().defaultButton, QMessageBox::No);
            QCOMPARE(Items(Child<QListWidget>(d, "RecorderList")), (QStringList{u"RDA"_s, u"RDB"_s}));
            QVERIFY(fs::exists(Profile("RDB")));
            QVERIFY(Child<QListWidget>(d, "RecorderList")->item(1)->isSelected());
            CMessageBox::SetNextAnswer(QMessageBox::Yes);
            QTest::mouseClick(Child<QPushButton>(d, "Delete"), Qt::LeftButton);
            QCOMPARE(Items(Child<QListWidget>(d, "RecorderList")), QStringList{u"RDA"_s});
            QVERIFY(Child<QListWidget>(d, "RecorderList")->selectedItems().isEmpty());
        });
        QCOMPARE(DocumentFile(), std::string("RDA\r\n"));
        QCOMPARE(w->TreeRecorders(), QStringList{u"RDA"_s});
    }

    void anEntryWithARefusedNameCannotBeDeleted() {
        w->m_folder->AddSampleLibrary();
        lv::test::WriteFile(w->m_folder->File("Default.lbv"), SJ("RDA\r\n録画\r\n"));
        w->Start();
        RunList([this](CNetNaviListDialog* d) {
            QCOMPARE(Items(Child<QListWidget>(d, "RecorderList")), (QStringList{u"RDA"_s, QStringLiteral("録画")}));
            Click(Child<QListWidget>(d, "RecorderList"), 1);
            CMessageBox::SetNextAnswer(QMessageBox::Yes);
            QTest::mouseClick(Child<QPushButton>(d, "Delete"), Qt::LeftButton);
            QCOMPARE(Items(Child<QListWidget>(d, "RecorderList")), (QStringList{u"RDA"_s, QStringLiteral("録画")}));
        });
        // Only the question was shown.
        QCOMPARE(CMessageBox::Shown().size(), std::size_t(1));
        QVERIFY(!w->Doc().IsModified());
    }

    void aProfileThatCannotBeWrittenIsReported() {
        w->m_folder->AddSampleLibrary();
        // A folder stands where RDB's profile file should be.
        fs::remove(Profile("RDB"));
        fs::create_directory(Profile("RDB"));
        w->Start();
        RunList([this](CNetNaviListDialog* d) {
            Click(Child<QListWidget>(d, "RecorderList"), 1);
            QVERIFY(RunProfile(Child<QPushButton>(d, "Modify"), [](CNetNaviDialog* p) {
                ChooseModel(p, "RD-X5");
                SetText(Child<QLineEdit>(p, "Host"), u"rdb.local"_s);
                CMessageBox::SetNextAnswer(QMessageBox::Ok);
                PressOK(p);
                // Reported, and the dialog still ends with OK.
                QVERIFY(!p->isVisible());
            }));
            // A new recorder cannot take that name either: the folder is no profile to delete.
            QVERIFY(RunProfile(Child<QPushButton>(d, "Add"), [](CNetNaviDialog* p) {
                ChooseModel(p, "RD-X5");
                SetText(Child<QLineEdit>(p, "Name"), u"RDB"_s);
                CMessageBox::SetNextAnswer(QMessageBox::Yes);
                CMessageBox::SetNextAnswer(QMessageBox::Ok);
                PressOK(p);
                QVERIFY(p->isVisible());
            }));
            QCOMPARE(Items(Child<QListWidget>(d, "RecorderList")), (QStringList{u"RDA"_s, u"RDB"_s}));
        });
        const auto& shown = CMessageBox::Shown();
        QCOMPARE(shown.size(), std::size_t(3));
        QCOMPARE(shown[0].text, QStringLiteral("設定保存に失敗しました。"));
        QCOMPARE(shown[0].icon, QMessageBox::Critical);
        QCOMPARE(shown[1].text, QStringLiteral("\"RDB\"は既に存在します。\n新しい設定を上書きしますか？"));
        QVERIFY(shown[2].text.contains(QStringLiteral("RDB.ini")));
        QCOMPARE(shown[2].icon, QMessageBox::Critical);
    }

    void aDocumentThatCannotBeSavedIsNotReloaded() {
        w->m_folder->AddSampleLibrary();
        w->Start();
        RunList([this](CNetNaviListDialog* d) {
            Click(Child<QListWidget>(d, "RecorderList"), 0);
            CMessageBox::SetNextAnswer(QMessageBox::Yes);
            QTest::mouseClick(Child<QPushButton>(d, "Delete"), Qt::LeftButton);
            // The save failure on closing is acknowledged.
            CMessageBox::SetNextAnswer(QMessageBox::Ok);
            // The document file is replaced by a folder before the list closes.
            fs::remove(w->m_folder->File("Default.lbv"));
            fs::create_directory(w->m_folder->File("Default.lbv"));
        });
        QCOMPARE(CMessageBox::Shown().size(), std::size_t(2));
        QVERIFY(CMessageBox::Shown().back().text.contains(QStringLiteral("Default.lbv")));
        QCOMPARE(CMessageBox::Shown().back().icon, QMessageBox::Critical);
        // The change stays in memory for the next save; the views keep what was loaded.
        QVERIFY(w->Doc().IsModified());
        QCOMPARE(w->Doc().GetRecorderNames(), std::vector<std::string>{"RDB"});
        QCOMPARE(w->TreeRecorders(), (QStringList{u"RDA"_s, u"RDB"_s}));
    }

    // A hand-edited port that no connection can take: the dialog shows the
    // default in its place and says why.
    void aPortNoConnectionTakesOpensAsTheDefaultWithAWarning() {
        w->m_folder->AddSampleLibrary();
        QVERIFY(lv::ini::WriteString(Profile("RDA"), "NetNavi", "Port", "71041"));
        w->Start();
        RunList([](CNetNaviListDialog* d) {
            Click(Child<QListWidget>(d, "RecorderList"), 0);
            CMessageBox::SetNextAnswer(QMessageBox::Ok);
            QVERIFY(RunProfile(Child<QPushButton>(d, "Modify"), [](CNetNaviDialog* p) {
                QCOMPARE(Child<QLineEdit>(p, "Port")->text(), QStringLiteral("80"));
                QCOMPARE(ShownTexts(),
                         QStringList{QStringLiteral("ﾎﾟｰﾄ番号が無効です。既定のﾎﾟｰﾄ番号 80 を使います。")});
            }));
        });
    }
};

QTEST_MAIN(NetNaviTest)
#include "netnavi_test.moc"
