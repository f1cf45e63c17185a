#include "core/shell/app_settings.h"

#include <filesystem>
#include <string_view>

#include "core/ini/ini_file.h"
#include "core/platform/file.h"
#include "core/platform/path.h"
#include "core/platform/program.h"
#include "core/settings/models.h"

namespace fs = std::filesystem;
using lv::platform::FsPath;

namespace {

constexpr COLUMN_SETTING kColumnDefaults[COLUMN_COUNT] = {
    {220, 0, 0}, {50, 1, 0},  {100, 2, 0}, {130, 3, 0}, {50, 4, 0}, {50, 5, 0}, {0, 6, 0},  {50, 0, 0},
    {50, 1, 0},  {220, 2, 0}, {50, 3, 0},  {50, 4, 0},  {50, 5, 0}, {50, 6, 0}, {50, 7, 0},
};
constexpr RECT_SETTING kWindowDefault{0, 0, 800, 600};
constexpr int kSplitWidthDefault = 150;
constexpr int kSplitHeightDefault = 400;
constexpr int kListStyleDefault = 1;  // details
constexpr int kListStyleCount = 4;
constexpr int kDiscDisplayDefault = 1;  // remaining time, no disc name
constexpr int kDiscDisplayMask = 3;
constexpr int kRecModeDefault = 0;
constexpr int kProxyPortDefault = 8080;

constexpr char kWindowPos[] = "MainFrame\\WindowPos";
constexpr char kSplit[] = "MainFrame\\Split";
constexpr char kList[] = "List\\All";
constexpr char kTree[] = "Tree\\Style";
constexpr char kLibrary[] = "Library\\Setting";
constexpr char kProxy[] = "Settings\\Proxy";

std::string ColumnSection(int index) { return std::string("Column\\") + g_aColumnKeys[index]; }

int InRange(int value, int lo, int hi, int def) { return (value < lo || value > hi) ? def : value; }

// The orders of one view must be each position once, or the header cannot
// be laid out; a hand-edited mix-up falls back to the default order.
void CheckOrders(std::array<COLUMN_SETTING, COLUMN_COUNT>& cols, int first, int count) {
    std::array<bool, COLUMN_COUNT> seen{};
    bool ok = true;
    for (int i = first; i < first + count; ++i) {
        int o = cols[i].nOrder;
        if (o < 0 || o >= count || seen[o]) {
            ok = false;
            break;
        }
        seen[o] = true;
    }
    if (!ok)
        for (int i = first; i < first + count; ++i) cols[i].nOrder = kColumnDefaults[i].nOrder;
}

}  // namespace

void CAppSettings::LoadSettings(const std::string& iniPath) {
    lv::ini::IniFile ini;
    ini.Load(iniPath);  // missing or unreadable: every default

    m_rcWindow.left = ini.GetInt(kWindowPos, "Left", kWindowDefault.left);
    m_rcWindow.top = ini.GetInt(kWindowPos, "Top", kWindowDefault.top);
    m_rcWindow.right = ini.GetInt(kWindowPos, "Right", kWindowDefault.right);
    m_rcWindow.bottom = ini.GetInt(kWindowPos, "Bottom", kWindowDefault.bottom);
    // Left and top may be negative (a screen left of the main one); the size may not.
    if (m_rcWindow.right <= m_rcWindow.left || m_rcWindow.bottom <= m_rcWindow.top) m_rcWindow = kWindowDefault;

    m_nSplitWidth = ini.GetInt(kSplit, "Width", kSplitWidthDefault);
    if (m_nSplitWidth < 0) m_nSplitWidth = kSplitWidthDefault;
    m_nSplitHeight = ini.GetInt(kSplit, "Height", kSplitHeightDefault);
    if (m_nSplitHeight < 0) m_nSplitHeight = kSplitHeightDefault;

    m_nListStyle = InRange(ini.GetInt(kList, "Style", kListStyleDefault), 0, kListStyleCount - 1, kListStyleDefault);
    m_bFilterAsYouType = ini.GetInt(kList, "FilterAsYouType", 0) != 0;
    m_nDiscDisplay = InRange(ini.GetInt(kTree, "Disc", kDiscDisplayDefault), 0, kDiscDisplayMask, kDiscDisplayDefault);
    // The views index their per-mode tables by it.
    m_nRecMode = InRange(ini.GetInt(kLibrary, "RecMode", kRecModeDefault), 0, REC_MODE_COUNT - 1, kRecModeDefault);

    m_bProxyUseIE = ini.GetInt(kProxy, "IESetting", 1) != 0;
    m_bProxyEnable = ini.GetInt(kProxy, "Enable", 0) != 0;
    m_strProxyHost = ini.GetString(kProxy, "Host", "");
    m_nProxyPort = InRange(ini.GetInt(kProxy, "Port", kProxyPortDefault), 0, 65535, kProxyPortDefault);

    for (int i = 0; i < COLUMN_COUNT; ++i) {
        const std::string section = ColumnSection(i);
        const COLUMN_SETTING& d = kColumnDefaults[i];
        COLUMN_SETTING& c = m_aColumns[i];
        c.nWidth = ini.GetInt(section, "Width", -1);
        m_abColumnWidthRead[i] = c.nWidth >= 0;
        if (c.nWidth < 0) c.nWidth = d.nWidth;
        c.nOrder = ini.GetInt(section, "Order", d.nOrder);
        c.nSort = InRange(ini.GetInt(section, "Sort", d.nSort), -1, 1, d.nSort);
    }
    CheckOrders(m_aColumns, 0, TITLE_COLUMNS);
    CheckOrders(m_aColumns, TITLE_COLUMNS, COLUMN_COUNT - TITLE_COLUMNS);
}

bool CAppSettings::SaveSettings(const std::string& iniPath) const {
    lv::ini::IniFile ini;
    // Other sections of the file (bar layout, a recorder profile) stay; an
    // unreadable file is left alone rather than replaced by ours alone.
    if (!ini.Load(iniPath)) return false;
    // A line break in the host would be refused and cost every other setting;
    // the host ends there instead.
    const std::string host = m_strProxyHost.substr(0, m_strProxyHost.find_first_of(std::string_view("\r\n\0", 3)));
    bool ok = ini.SetInt(kWindowPos, "Left", m_rcWindow.left) && ini.SetInt(kWindowPos, "Top", m_rcWindow.top) &&
              ini.SetInt(kWindowPos, "Right", m_rcWindow.right) &&
              ini.SetInt(kWindowPos, "Bottom", m_rcWindow.bottom) && ini.SetInt(kSplit, "Width", m_nSplitWidth) &&
              ini.SetInt(kSplit, "Height", m_nSplitHeight) && ini.SetInt(kList, "Style", m_nListStyle) &&
              ini.SetInt(kList, "FilterAsYouType", m_bFilterAsYouType) && ini.SetInt(kTree, "Disc", m_nDiscDisplay) &&
              ini.SetInt(kLibrary, "RecMode", m_nRecMode) && ini.SetInt(kProxy, "IESetting", m_bProxyUseIE) &&
              ini.SetInt(kProxy, "Enable", m_bProxyEnable) && ini.SetString(kProxy, "Host", host) &&
              ini.SetInt(kProxy, "Port", m_nProxyPort);
    for (int i = 0; ok && i < COLUMN_COUNT; ++i) {
        const std::string section = ColumnSection(i);
        ok = ini.SetInt(section, "Width", m_aColumns[i].nWidth) && ini.SetInt(section, "Order", m_aColumns[i].nOrder) &&
             ini.SetInt(section, "Sort", m_aColumns[i].nSort);
    }
    return ok && ini.Save(iniPath);
}

void CAppSettings::GetColumnSetting(int index, COLUMN_SETTING& out) const {
    out = m_aColumns.at(static_cast<std::size_t>(index));
}

void CAppSettings::SetColumnSetting(int index, const COLUMN_SETTING& in) {
    m_aColumns.at(static_cast<std::size_t>(index)) = in;
}

#ifndef LV_INSTALL_BINDIR
#define LV_INSTALL_BINDIR "/usr/local/bin"
#endif
#ifndef LV_INSTALL_DOCDIR
#define LV_INSTALL_DOCDIR "/usr/local/share/doc/librovista"
#endif
const char kInstalledBinDir[] = LV_INSTALL_BINDIR;
const char kInstalledReadMe[] = LV_INSTALL_DOCDIR "/ReadMe.txt";

namespace {

// "/" ends a folder everywhere; Windows writes its own separator.
std::string WithSeparator(std::string dir) {
    constexpr char kSeparator = static_cast<char>(fs::path::preferred_separator);
    if (dir.empty() || (dir.back() != '/' && dir.back() != kSeparator)) dir += kSeparator;
    return dir;
}

bool SameFolder(const std::string& a, const std::string& b) {
    std::error_code ec1, ec2;
    // /bin may be a link to /usr/bin; "dir" and "dir/" are one folder.
    const fs::path ca = fs::weakly_canonical(FsPath(a), ec1), cb = fs::weakly_canonical(FsPath(b), ec2);
    return !ec1 && !ec2 && (ca / "").lexically_normal() == (cb / "").lexically_normal();
}

}  // namespace

std::string ChooseProgramFolder(const std::string& exeFolder, const std::string& installedFolder) {
    if (const std::string home = lv::platform::GetEnv("LIBROVISTA_HOME"); !home.empty()) return WithSeparator(home);
    std::string exeDir = WithSeparator(exeFolder);
    std::error_code ec;
    if (fs::exists(FsPath(exeDir + "Default.lbv"), ec)) return exeDir;
    if (lv::platform::MayUseExecutableFolder(exeDir) && !SameFolder(exeDir, installedFolder)) return exeDir;
    std::string data = lv::platform::UserDataFolder();
    if (data.empty()) return exeDir;
    fs::create_directories(FsPath(data).parent_path().parent_path(), ec);
    // Profiles and caches are the user's own. A failure shows when the
    // document cannot be created there.
    (void)lv::platform::MakePrivateFolder(data);
    return data;
}

std::string GetProgramFolder(const char* argv0) {
    std::error_code ec;
    fs::path exe = FsPath(lv::platform::ExecutablePath());
    if (exe.empty()) {
        std::string a = argv0 ? argv0 : "";
        auto slash = a.rfind('/');
        exe = slash == std::string::npos ? fs::current_path(ec) / FsPath(a) : fs::absolute(FsPath(a), ec);
    }
    return ChooseProgramFolder(exe.parent_path().string(), kInstalledBinDir);
}

std::string GetReadMePath(const std::string& appDir, const std::string& installedReadMe) {
    std::string own = appDir + "ReadMe.txt";
    std::error_code ec;
    return fs::exists(FsPath(own), ec) ? own : installedReadMe;
}

std::string GetSettingsPath(const std::string& appDir, std::string_view baseName) {
    return appDir + std::string(baseName) + ".ini";
}

std::string EnsureDefaultDocument(const std::string& appDir) {
    std::string path = appDir + "Default.lbv";
    // Created when missing, never truncated; a FIFO in its place does not hold the start-up.
    if (lv::platform::EnsureFile(path)) return path;
    // A read-only but existing document is still usable.
    std::error_code ec;
    return fs::is_regular_file(FsPath(path), ec) ? path : std::string();
}

PROXY_SETTINGS ProxyFromSettings(const CAppSettings& s) {
    PROXY_SETTINGS proxy;
    proxy.bUseIE = s.m_bProxyUseIE;
    proxy.bEnable = s.m_bProxyEnable;
    proxy.strHost = s.m_strProxyHost;
    proxy.nPort = s.m_nProxyPort;
    return proxy;
}
