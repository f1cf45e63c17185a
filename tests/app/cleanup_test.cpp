// The three cache clean-ups of the "ｷｬｯｼｭのｸﾘｰﾝｱｯﾌﾟ" menu on the recorder
// chosen in the tree: their questions, counts, files and the reload.
#include <sys/stat.h>

#include <cstdio>
#include <set>

#include "support/gui_test.h"

using namespace lv::app;
using lv::guitest::ShownTexts;
using lv::guitest::Window;
namespace fs = std::filesystem;

namespace {

// Ten titles on the hard disk, days 1 to 10 of March 2006 at 20:00 on channel 011.
std::string TenTitles() {
    std::string csv;
    for (int day = 1; day <= 10; ++day) {
        char date[16];
        std::snprintf(date, sizeof date, "2006/03/%02d", day);
        csv += "\"HDD\",\"番組" + std::to_string(day) + "\",\"" + date +
               "\",\"水\",\"20:00\",\"011\",\"\",\"ニュース\",\"1:00\",\"\",\"p.htm\",\"\",\"0000000064\"\n";
    }
    return csv;
}

std::string TextFile(int day) {
    char name[32];
    std::snprintf(name, sizeof name, "200603%02d2000011.txt", day);
    return name;
}

std::string Result(int count) { return std::to_string(count) + " 個のキャッシュファイルを削除しました。"; }

}  // namespace

class CleanupTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<Window> w;

    std::set<std::string> Files(const std::string& recorder) const {
        std::set<std::string> names;
        for (const auto& e : fs::directory_iterator(w->CacheFile(recorder, "")))
            names.insert(e.path().filename().string());
        return names;
    }
    const CRDRecorderLibrary* Library(const char* name) const { return w->Doc().FindRecorder(name); }
    void ExpectResult(int count) {
        QCOMPARE(CMessageBox::Shown().size(), std::size_t(2));
        const auto& result = CMessageBox::Shown().back();
        QCOMPARE(result.text, QString::fromStdString(Result(count)));
        QCOMPARE(result.icon, QMessageBox::NoIcon);
        QCOMPARE(result.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
        CMessageBox::ClearShown();
    }
    void Run(int id, bool yes) {
        CMessageBox::ClearShown();
        // Yes is followed by the result or by the error that stopped the command.
        CMessageBox::SetNextAnswer(yes ? QMessageBox::Yes : QMessageBox::No);
        if (yes) CMessageBox::SetNextAnswer(QMessageBox::Ok);
        QVERIFY(w->Act(id)->isEnabled());
        w->Act(id)->trigger();
    }

private slots:
    void init() {
        CMessageBox::ClearShown();
        w = std::make_unique<Window>();
        w->m_folder->AddSampleLibrary();
        w->m_folder->AddRecorder(
            "TEN", "RD-X5",
            "\"a\",\"b\",\"c\",\"1\",\"2\",\"3\",\"4\",\"5\"\n\"HDD_\",\"\",\"1:00\",\"1\",\"2\",\"3\",\"4\",\"5\"\n",
            TenTitles());
    }
    void cleanup() { w.reset(); }

    void libraryListsAreDeletedAndTheDocumentReloaded() {
        w->Start();
        w->Select({QStringLiteral("RDA")});
        // No leaves everything.
        Run(ID_CLEAN_LIBRARY, false);
        QCOMPARE(ShownTexts(), QStringList{QStringLiteral("\"RDA\"のライブラリ情報を削除します。よろしいですか？")});
        const auto& asked = CMessageBox::Shown().front();
        QCOMPARE(asked.icon, QMessageBox::Question);
        QCOMPARE(asked.buttons, QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(asked.defaultButton, QMessageBox::No);
        QVERIFY(fs::exists(w->CacheFile("RDA", "Library.csv")));

        // Which files go is the clean-up's; here the reload that follows.
        Run(ID_CLEAN_LIBRARY, true);
        ExpectResult(2);
        QVERIFY(Library("RDA")->Titles().empty());
        // The views follow the reload; the other recorders keep their titles.
        QCOMPARE(w->TreeRecorders(), (QStringList{u"RDA"_s, u"RDB"_s, u"TEN"_s}));
        QCOMPARE(Library("RDB")->Titles().size(), std::size_t(1));
        w->Select({QStringLiteral("RDA"), QStringLiteral("HDD")});
        QVERIFY(w->Titles().isEmpty());
    }

    // Which files each clean-up takes is the core's rule; here the commands
    // reach it with their question and result, and only the library reloads.
    void descriptionCommandsAskAndReportWithoutAReload() {
        for (int day : {2, 4}) w->m_folder->WriteDescription("TEN", TextFile(day), "説明");
        for (int day : {11, 12, 13}) w->m_folder->WriteDescription("TEN", TextFile(day), "消えた番組");
        w->Start();
        w->Select({QStringLiteral("TEN"), QStringLiteral("HDD")});
        Run(ID_CLEAN_UNUSED, false);
        QCOMPARE(ShownTexts(), QStringList{QStringLiteral("\"TEN\"の未使用の番組説明を削除します。よろしいですか？")});
        QCOMPARE(Files("TEN").size(), std::size_t(7));

        Run(ID_CLEAN_UNUSED, true);
        ExpectResult(3);
        QCOMPARE(Files("TEN").size(), std::size_t(4));
        QCOMPARE(Library("TEN")->Titles().size(), std::size_t(10));

        Run(ID_CLEAN_DESCRIPTIONS, false);
        QCOMPARE(ShownTexts(), QStringList{QStringLiteral("\"TEN\"の番組説明をすべて削除します。よろしいですか？")});
        Run(ID_CLEAN_DESCRIPTIONS, true);
        ExpectResult(2);
        QCOMPARE(Files("TEN").size(), std::size_t(2));
    }

    void aFileThatCannotBeDeletedStopsTheCommand() {
        w->Start();
        w->Select({QStringLiteral("RDA")});
        // A read-only library list is refused; the disc list after it is not reached.
        ::chmod(w->CacheFile("RDA", "Library.csv").c_str(), 0444);
        Run(ID_CLEAN_LIBRARY, true);
        QCOMPARE(CMessageBox::Shown().size(), std::size_t(2));
        const auto& error = CMessageBox::Shown().back();
        QCOMPARE(error.icon, QMessageBox::Critical);
        QVERIFY(error.text.contains(QStringLiteral("Library.csv")));
        QVERIFY(fs::exists(w->CacheFile("RDA", "Disc.csv")));
        // No reload followed.
        QCOMPARE(Library("RDA")->Titles().size(), std::size_t(5));
    }
};

QTEST_MAIN(CleanupTest)
#include "cleanup_test.moc"
