#pragma once
// The application object: fixes the program folder, reads the settings,
// builds the shared images, opens the document and shows the main window;
// at the end writes the settings back.
#include <QApplication>
#include <QByteArray>
#include <QStringList>
#include <exception>
#include <memory>
#include <string>

#include "app/shell/image_list.h"
#include "core/shell/app_settings.h"

class CRDTitleDoc;

// The program's Qt application: an exception that leaves a command or any
// other event handler is told in a message box, and the window with what it
// shows stays, instead of the program ending without a word.
class CGuardedApplication : public QApplication {
public:
    using QApplication::QApplication;
    bool notify(QObject* receiver, QEvent* event) override;
};

// Tells of an exception from the core in a message box over the active window.
void ReportException(const std::exception_ptr& error);
class CMainFrame;

class CLibrovistaApp {
public:
    CLibrovistaApp();
    ~CLibrovistaApp();
    CLibrovistaApp(const CLibrovistaApp&) = delete;
    CLibrovistaApp& operator=(const CLibrovistaApp&) = delete;

    // arguments[0] is the executable, arguments[1] an optional document path.
    // False ends the program (the reason has been shown).
    bool InitInstance(const QStringList& arguments);
    // Destroys the window and writes every setting; the program's exit code.
    int ExitInstance();

    std::string m_pszAppDir;                       // ends in a separator
    std::string m_strBaseName = kProgramBaseName;  // the executable's, names the settings file
    CAppSettings m_settings;
    QByteArray m_barState;     // the bars' layout, kept in the settings file
    bool m_bStatusBar = true;  // the status bar's visibility, which the layout leaves out
    CImageList m_images;

    CRDTitleDoc* GetDocument() const { return m_pDoc.get(); }
    CMainFrame* GetMainFrame() const { return m_pMainFrame.get(); }
    std::string GetSettingsFile() const;

    void OnHelpReadme();
    void OnHelpHomepage();
    void OnAppAbout();

    static const char* const kHomePage;
    static const char* const kVersion;

private:
    static void InstallJapaneseTexts();
    static void ChooseFont();
    void LoadBarState();
    void SaveBarState();

    std::unique_ptr<CRDTitleDoc> m_pDoc;
    std::unique_ptr<CMainFrame> m_pMainFrame;
};
