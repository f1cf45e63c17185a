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
            if (d->isVisible()) QTest::mouseClick(d->GetCloseButton(), Qt::LeftButton);
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
        Window::Choose(d->GetModelBox(), d->GetModelBox()->findText(QString::fromLatin1(model)));
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
            QCOMPARE(Items(d->GetList()), (QStringList{u"RDA"_s, u"RDB"_s}));
            QVERIFY(d->GetList()->selectedItems().isEmpty());
            QCOMPARE(d->GetAddButton()->text(), QStringLiteral("追加(&A)"));
            QCOMPARE(d->GetModifyButton()->text(), QStringLiteral("変更(&M)"));
            QCOMPARE(d->GetDeleteButton()->text(), QStringLiteral("削除(&D)"));
            QCOMPARE(d->GetCloseButton()->text(), QStringLiteral("閉じる"));
            QVERIFY(d->GetCloseButton()->isDefault());
            // Nothing chosen: change and delete do nothing.
            QVERIFY(d->GetModifyButton()->isEnabled());
            QVERIFY(!RunProfile(d->GetModifyButton(), [](CNetNaviDialog*) {}));
            QTest::mouseClick(d->GetDeleteButton(), Qt::LeftButton);
            QVERIFY(CMessageBox::Shown().empty());
            // Cancelled changes leave everything as it was.
            Click(d->GetList(), 1);
            QVERIFY(RunProfile(d->GetModifyButton(), [](CNetNaviDialog* p) { SetText(p->GetNameEdit(), u"RDZ"_s); }));
            QVERIFY(RunProfile(d->GetAddButton(), [](CNetNaviDialog* p) { ChooseModel(p, "RD-X5"); }));
            QCOMPARE(Items(d->GetList()), (QStringList{u"RDA"_s, u"RDB"_s}));
            QCOMPARE(d->GetList()->currentRow(), 1);
            QVERIFY(d->GetList()->item(1)->isSelected());
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
            QVERIFY(!d->GetModifyButton()->isEnabled());
            QVERIFY(!d->GetDeleteButton()->isEnabled());
            QVERIFY(RunProfile(d->GetAddButton(), [](CNetNaviDialog* p) {
                QCOMPARE(p->windowTitle(), QStringLiteral("ﾈｯﾄdeﾅﾋﾞ設定"));
                QCOMPARE(p->GetModelBox()->count(), 21);
                QCOMPARE(p->GetModelBox()->currentIndex(), -1);
                QCOMPARE(p->GetPortEdit()->text(), QStringLiteral("80"));
                QCOMPARE(p->GetPasswordEdit()->echoMode(), QLineEdit::Password);
                // Security enables the account fields, and only it.
                QVERIFY(!p->GetUserEdit()->isEnabled());
                QVERIFY(!p->GetPasswordEdit()->isEnabled());
                QTest::mouseClick(p->GetAuthCheck(), Qt::LeftButton);
                QVERIFY(p->GetUserEdit()->isEnabled());
                QVERIFY(p->GetPasswordEdit()->isEnabled());
                QTest::mouseClick(p->GetAuthCheck(), Qt::LeftButton);
                QVERIFY(!p->GetUserEdit()->isEnabled());

                // The model fills name and host while they are empty or the previous model.
                ChooseModel(p, "RD-X5");
                QCOMPARE(p->GetNameEdit()->text(), QStringLiteral("RD-X5"));
                QCOMPARE(p->GetHostEdit()->text(), QStringLiteral("RD-X5"));
                ChooseModel(p, "RD-XS40");
                QCOMPARE(p->GetNameEdit()->text(), QStringLiteral("RD-XS40"));
                QCOMPARE(p->GetHostEdit()->text(), QStringLiteral("RD-XS40"));
                SetText(p->GetNameEdit(), u"Living"_s);
                ChooseModel(p, "RD-X3");
                QCOMPARE(p->GetNameEdit()->text(), QStringLiteral("Living"));
                QCOMPARE(p->GetHostEdit()->text(), QStringLiteral("RD-X3"));
                // No more than 15 bytes of name can be typed.
                SetText(p->GetNameEdit(), u"LivingRoomRecorder"_s);
                QCOMPARE(p->GetNameEdit()->text(), QStringLiteral("LivingRoomRecor"));
                SetText(p->GetNameEdit(), u"Living"_s);
                QTest::mouseClick(p->GetAuthCheck(), Qt::LeftButton);
                SetText(p->GetUserEdit(), u"admin"_s);
                SetText(p->GetPasswordEdit(), u"secret9"_s);
                PressOK(p);
                QVERIFY(!p->isVisible());
                QCOMPARE(p->GetRecorderName(), std::string("Living"));
            }));
            QCOMPARE(Items(d->GetList()), QStringList{u"Living"_s});
            // Off until the next opening.
            QVERIFY(!d->GetModifyButton()->isEnabled());
            QVERIFY(!d->GetDeleteButton()->isEnabled());
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
            QVERIFY(RunProfile(d->GetAddButton(), [](CNetNaviDialog* p) {
                auto expect = [p](const QString& text, QWidget* focus) {
                    CMessageBox::ClearShown();
                    CMessageBox::SetNextAnswer(QMessageBox::Ok);
                    PressOK(p);
                    QVERIFY2(p->isVisible(), qPrintable(text));
                    QCOMPARE(ShownTexts(), QStringList{text});
                    QCOMPARE(CMessageBox::Shown().front().icon, QMessageBox::Warning);
                    QCOMPARE(QApplication::focusWidget(), focus);
                };
                expect(QStringLiteral("機種名が無効です。"), p->GetModelBox());
                ChooseModel(p, "RD-X5");
                SetText(p->GetHostEdit(), u"bad host"_s);
                expect(QStringLiteral("ﾎｽﾄ名が無効です。"), p->GetHostEdit());
                SetText(p->GetHostEdit(), u"192.168.1.20"_s);
                SetText(p->GetPortEdit(), u"1999"_s);
                expect(QStringLiteral("ﾎﾟｰﾄ番号が無効です。"), p->GetPortEdit());
                // The data exchange refuses first what is beyond its range, or no number.
                SetText(p->GetPortEdit(), u"10001"_s);
                expect(QStringLiteral("0 から 10000 までの整数を入力してください。"), p->GetPortEdit());
                SetText(p->GetPortEdit(), u""_s);
                expect(QStringLiteral("整数を入力してください。"), p->GetPortEdit());
                // Only digits can be typed.
                SetText(p->GetPortEdit(), u"8o8"_s);
                QCOMPARE(p->GetPortEdit()->text(), QStringLiteral("88"));
                SetText(p->GetPortEdit(), u"10000"_s);
                SetText(p->GetNameEdit(), u"録画機"_s);
                expect(QStringLiteral("本体名が無効です。"), p->GetNameEdit());
                SetText(p->GetNameEdit(), u"Den"_s);
                CMessageBox::ClearShown();
                PressOK(p);
                QVERIFY(!p->isVisible());
            }));
            QCOMPARE(Items(d->GetList()), QStringList{u"Den"_s});
        });
        QVERIFY(CMessageBox::Shown().empty());
        QCOMPARE(Load("Den").GetPort(), 10000);
        QCOMPARE(w->TreeRecorders(), QStringList{u"Den"_s});
    }

    void addingAnExistingNameOverwritesItWhenAskedTo() {
        w->m_folder->AddSampleLibrary();
        w->Start();
        RunList([this](CNetNaviListDialog* d) {
            QVERIFY(RunProfile(d->GetAddButton(), [this](CNetNaviDialog* p) {
                ChooseModel(p, "RD-XS40");
                SetText(p->GetNameEdit(), u"RDA"_s);
                SetText(p->GetHostEdit(), u"10.0.0.5"_s);
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
            QCOMPARE(Items(d->GetList()), (QStringList{u"RDA"_s, u"RDB"_s}));
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
            QListWidget* list = d->GetList();
            bool ran = false;
            auto waiter = OnNextDialog<CNetNaviDialog>([&](CNetNaviDialog* p) {
                ran = true;
                QCOMPARE(p->GetNameEdit()->text(), QStringLiteral("RDC"));
                QCOMPARE(p->GetModelBox()->currentText(), QStringLiteral("RD-X3"));
                SetText(p->GetNameEdit(), u"RDA"_s);
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
            Click(d->GetList(), 1);
            QVERIFY(RunProfile(d->GetModifyButton(), [](CNetNaviDialog* p) {
                SetText(p->GetPortEdit(), u"2080"_s);
                PressOK(p);
            }));
            QCOMPARE(Items(d->GetList()), (QStringList{u"RDA"_s, u"RDB"_s}));
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
            Click(d->GetList(), 1);
            // No keeps it.
            CMessageBox::SetNextAnswer(QMessageBox::No);
            QTest::mouseClick(d->GetDeleteButton(), Qt::LeftButton);
            QCOMPARE(ShownTexts(), QStringList{QStringLiteral("\"RDB\"を削除します。\nよろしいですか？")});
            QCOMPARE(CMessageBox::Shown().front().icon, QMessageBox::Question);
            QCOMPARE(CMessageBox::Shown().front().defaultButton, QMessageBox::No);
            QCOMPARE(Items(d->GetList()), (QStringList{u"RDA"_s, u"RDB"_s}));
            QVERIFY(fs::exists(Profile("RDB")));
            QVERIFY(d->GetList()->item(1)->isSelected());
            CMessageBox::SetNextAnswer(QMessageBox::Yes);
            QTest::mouseClick(d->GetDeleteButton(), Qt::LeftButton);
            QCOMPARE(Items(d->GetList()), QStringList{u"RDA"_s});
            QVERIFY(d->GetList()->selectedItems().isEmpty());
        });
        QCOMPARE(DocumentFile(), std::string("RDA\r\n"));
        QCOMPARE(w->TreeRecorders(), QStringList{u"RDA"_s});
    }

    void anEntryWithARefusedNameCannotBeDeleted() {
        w->m_folder->AddSampleLibrary();
        lv::test::WriteFile(w->m_folder->File("Default.lbv"), SJ("RDA\r\n録画\r\n"));
        w->Start();
        RunList([this](CNetNaviListDialog* d) {
            QCOMPARE(Items(d->GetList()), (QStringList{u"RDA"_s, QStringLiteral("録画")}));
            Click(d->GetList(), 1);
            CMessageBox::SetNextAnswer(QMessageBox::Yes);
            QTest::mouseClick(d->GetDeleteButton(), Qt::LeftButton);
            QCOMPARE(Items(d->GetList()), (QStringList{u"RDA"_s, QStringLiteral("録画")}));
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
            Click(d->GetList(), 1);
            QVERIFY(RunProfile(d->GetModifyButton(), [](CNetNaviDialog* p) {
                ChooseModel(p, "RD-X5");
                SetText(p->GetHostEdit(), u"rdb.local"_s);
                CMessageBox::SetNextAnswer(QMessageBox::Ok);
                PressOK(p);
                // Reported, and the dialog still ends with OK.
                QVERIFY(!p->isVisible());
            }));
            // A new recorder cannot take that name either: the folder is no profile to delete.
            QVERIFY(RunProfile(d->GetAddButton(), [](CNetNaviDialog* p) {
                ChooseModel(p, "RD-X5");
                SetText(p->GetNameEdit(), u"RDB"_s);
                CMessageBox::SetNextAnswer(QMessageBox::Yes);
                CMessageBox::SetNextAnswer(QMessageBox::Ok);
                PressOK(p);
                QVERIFY(p->isVisible());
            }));
            QCOMPARE(Items(d->GetList()), (QStringList{u"RDA"_s, u"RDB"_s}));
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
            Click(d->GetList(), 0);
            CMessageBox::SetNextAnswer(QMessageBox::Yes);
            QTest::mouseClick(d->GetDeleteButton(), Qt::LeftButton);
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
            Click(d->GetList(), 0);
            CMessageBox::SetNextAnswer(QMessageBox::Ok);
            QVERIFY(RunProfile(d->GetModifyButton(), [](CNetNaviDialog* p) {
                QCOMPARE(p->GetPortEdit()->text(), QStringLiteral("80"));
                QCOMPARE(ShownTexts(),
                         QStringList{QStringLiteral("ﾎﾟｰﾄ番号が無効です。既定のﾎﾟｰﾄ番号 80 を使います。")});
            }));
        });
    }
};

QTEST_MAIN(NetNaviTest)
#include "netnavi_test.moc"
