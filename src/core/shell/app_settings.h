#pragma once
// The application's persisted settings: read once at start-up, changed in
// memory while the program runs, written back at exit.
#include <array>
#include <string>
#include <string_view>

#include "core/settings/proxy_settings.h"
#include "core/views/columns.h"

struct RECT_SETTING {
    int left, top, right, bottom;
};

class CAppSettings {
public:
    RECT_SETTING m_rcWindow{0, 0, 800, 600};
    std::array<COLUMN_SETTING, COLUMN_COUNT> m_aColumns{};
    // The column's width was read from the file, not taken from the defaults.
    std::array<bool, COLUMN_COUNT> m_abColumnWidthRead{};
    int m_nSplitWidth = 0;
    int m_nSplitHeight = 0;
    int m_nListStyle = 0;
    int m_bFilterAsYouType = 0;  // the quick-search box narrows the list while typing
    int m_nDiscDisplay = 0;
    int m_nRecMode = 0;
    int m_bProxyUseIE = 0;
    int m_bProxyEnable = 0;
    std::string m_strProxyHost;
    int m_nProxyPort = 0;

    // Reads every key with its default; out-of-range values get their defaults.
    void LoadSettings(const std::string& iniPath);
    // Writes every key in the table's order; false when the file cannot be written.
    bool SaveSettings(const std::string& iniPath) const;

    void GetColumnSetting(int index, COLUMN_SETTING& out) const;
    void SetColumnSetting(int index, const COLUMN_SETTING& in);
};

// The application's proxy choice as a transfer reads it when it starts.
PROXY_SETTINGS ProxyFromSettings(const CAppSettings& settings);

// The program folder with a trailing separator, for the window and the tool alike:
// LIBROVISTA_HOME when set; else the executable's folder when it holds
// "Default.lbv" (a portable copy) or, on Linux, when this user may write it and
// it is not the folder the program was installed into; else the user's data
// folder, $XDG_DATA_HOME/librovista (~/.local/share/librovista by default) or
// %APPDATA%\Librovista on Windows, created when missing. An installed program
// must not write beside its executable.
std::string GetProgramFolder(const char* argv0);
// The same choice for a given executable folder and installed folder.
std::string ChooseProgramFolder(const std::string& exeFolder, const std::string& installedFolder);
// The folder installed executables go to, fixed when the program is built.
extern const char kInstalledBinDir[];

// The read-me that the help command opens: the program folder's own
// "ReadMe.txt" when there is one, else the installed one.
std::string GetReadMePath(const std::string& appDir, const std::string& installedReadMe);
extern const char kInstalledReadMe[];
// The settings file: program folder + the executable's base name + ".ini".
// The command-line tool shares the program's file, "librovista.ini".
constexpr char kProgramBaseName[] = "librovista";
std::string GetSettingsPath(const std::string& appDir, std::string_view baseName = kProgramBaseName);
// program folder + "Default.lbv", created empty when missing; empty string on failure.
std::string EnsureDefaultDocument(const std::string& appDir);
