#include "app/shell/app.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QFontDatabase>
#include <QLibraryInfo>
#include <QTranslator>
#include <QUrl>
#include <new>

#include "app/dialogs/message_box.h"
#include "app/shell/main_frame.h"
#include "app/shell/qcodec.h"
#include "core/ini/ini_file.h"
#include "core/library/title_doc.h"
#include "core/text/messages.h"

const char* const CLibrovistaApp::kHomePage = "https://librovista.example.org/";
const char* const CLibrovistaApp::kVersion = LV_VERSION_TEXT;

bool CGuardedApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        ReportException(std::current_exception());
        return false;
    }
}

void ReportException(const std::exception_ptr& error) {
    QString text;
    try {
        std::rethrow_exception(error);
    } catch (const std::bad_alloc&) {
        text = lv::app::ToQ(lv::msg::OutOfMemory());
    } catch (const std::exception& e) {
        text = lv::app::ToQ(lv::msg::UnexpectedError() + " (" + e.what() + ")");
    } catch (...) {
        text = lv::app::ToQ(lv::msg::UnexpectedError());
    }
    CMessageBox::Show(QApplication::activeWindow(), text, QMessageBox::Critical, QMessageBox::Ok);
}

CLibrovistaApp::CLibrovistaApp() = default;

CLibrovistaApp::~CLibrovistaApp() {
    // The window's views detach from the document: the window goes first.
    m_pMainFrame.reset();
    m_pDoc.reset();
}

std::string CLibrovistaApp::GetSettingsFile() const { return GetSettingsPath(m_pszAppDir, m_strBaseName); }

// The images are compiled into lv_app, a static library: make the linker keep them.
static void InitResources() { Q_INIT_RESOURCE(librovista); }

// Every text of the program is Japanese, so the texts Qt supplies (button
// texts, context menus) are too, whatever the system's locale.
void CLibrovistaApp::InstallJapaneseTexts() {
    static QTranslator* translator = nullptr;
    if (translator || !QCoreApplication::instance()) return;
    translator = new QTranslator(QCoreApplication::instance());
    if (translator->load(QStringLiteral("qtbase_ja"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(translator);
}

// One Japanese face for every text: without it Qt falls back character by
// character and rows mix two typefaces.
// Windows has its own Japanese interface font, which Qt takes from the system.
void CLibrovistaApp::ChooseFont() {
#ifdef Q_OS_WIN
    return;
#endif
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return;
    const QStringList families = QFontDatabase::families();
    // Fontconfig lists IPAGothic by its Japanese name under a Japanese locale.
    for (const QString& family :
         {QStringLiteral("IPAGothic"), QStringLiteral("IPAゴシック"), QStringLiteral("Noto Sans CJK JP")}) {
        if (!families.contains(family)) continue;
        QFont font = QApplication::font();
        font.setFamilies({family});
        QApplication::setFont(font);
        return;
    }
}

bool CLibrovistaApp::InitInstance(const QStringList& arguments) {
    InitResources();
    InstallJapaneseTexts();
    ChooseFont();
    const QByteArray exe =
        QFile::encodeName(QCoreApplication::instance() ? QCoreApplication::applicationFilePath() : arguments.value(0));
    m_pszAppDir = GetProgramFolder(exe.constData());
    // The settings file carries the executable's name; a renamed copy keeps its own.
    m_strBaseName = QFile::encodeName(QFileInfo(QFile::decodeName(exe)).completeBaseName()).toStdString();
    if (m_strBaseName.empty()) m_strBaseName = kProgramBaseName;
    m_settings.LoadSettings(GetSettingsFile());
    LoadBarState();
    m_images.Load();

    std::string document;
    if (arguments.size() > 1) {
        document = QFile::encodeName(arguments.at(1)).toStdString();
    } else {
        document = EnsureDefaultDocument(m_pszAppDir);
        if (document.empty()) {
            CMessageBox::Show(nullptr,
                              QStringLiteral("文書ファイル %1Default.lbv を作成できません。")
                                  .arg(QFile::decodeName(m_pszAppDir.c_str())),
                              QMessageBox::Critical, QMessageBox::Ok, QMessageBox::Ok);
            return false;
        }
    }

    m_pDoc = std::make_unique<CRDTitleDoc>(m_pszAppDir);
    bool opened = false;
    try {
        opened = m_pDoc->OnOpenDocument(document);
    } catch (...) {
        ReportException(std::current_exception());
        m_pDoc.reset();
        return false;
    }
    if (!opened) {
        CMessageBox::Show(nullptr,
                          QStringLiteral("文書ファイル %1 を開けません。").arg(QFile::decodeName(document.c_str())),
                          QMessageBox::Critical, QMessageBox::Ok, QMessageBox::Ok);
        m_pDoc.reset();
        return false;
    }
    m_pMainFrame = std::make_unique<CMainFrame>(*this, *m_pDoc);
    m_pDoc->UpdateAllViews(nullptr, 0, nullptr);
    m_pMainFrame->show();
    return true;
}

int CLibrovistaApp::ExitInstance() {
    if (m_pMainFrame && !m_pMainFrame->IsClosed()) m_pMainFrame->close();
    m_pMainFrame.reset();
    m_pDoc.reset();
    if (m_pszAppDir.empty()) return 0;
    m_settings.SaveSettings(GetSettingsFile());
    SaveBarState();
    return 0;
}

// The bars' layout lives in the settings file beside the other settings, as text.
void CLibrovistaApp::LoadBarState() {
    const std::string value = lv::ini::ReadString(GetSettingsFile(), "ControlBar\\State", "State", "");
    m_barState = QByteArray::fromBase64(QByteArray::fromStdString(value));
    m_bStatusBar = lv::ini::ReadInt(GetSettingsFile(), "ControlBar\\State", "StatusBar", 1) != 0;
}

void CLibrovistaApp::SaveBarState() {
    lv::ini::WriteString(GetSettingsFile(), "ControlBar\\State", "State", m_barState.toBase64().toStdString());
    lv::ini::WriteString(GetSettingsFile(), "ControlBar\\State", "StatusBar", m_bStatusBar ? "1" : "0");
}

void CLibrovistaApp::OnHelpReadme() {
    QDesktopServices::openUrl(
        QUrl::fromLocalFile(QFile::decodeName(GetReadMePath(m_pszAppDir, kInstalledReadMe).c_str())));
}

void CLibrovistaApp::OnHelpHomepage() { QDesktopServices::openUrl(QUrl(QString::fromLatin1(kHomePage))); }

void CLibrovistaApp::OnAppAbout() {
    if (!m_pMainFrame) return;
    CMessageBox::Show(m_pMainFrame.get(),
                      QStringLiteral("Librovista Version %1\nCopyright (C) Librovista developers\n\nﾌﾟﾛｸﾞﾗﾑ ﾌｫﾙﾀﾞ: %2")
                          .arg(QString::fromLatin1(kVersion), QFile::decodeName(m_pszAppDir.c_str())),
                      QMessageBox::Information, QMessageBox::Ok);
}
