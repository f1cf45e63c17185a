#include "core/settings/netnavi_setting.h"

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "core/ini/atomic_file.h"
#include "core/ini/ini_file.h"
#include "core/platform/file.h"
#include "core/platform/path.h"
#include "core/settings/models.h"
#include "core/settings/password.h"
#include "core/text/cp932.h"
#include "core/text/system_errors.h"

namespace fs = std::filesystem;
using lv::platform::FsPath;

namespace {

constexpr char kSection[] = "NetNavi";
// Values are read as into a 256-byte buffer.
constexpr std::size_t kValueLimit = 255;
constexpr int kDefaultPort = 80;
// The profile holds a password: only its owner may read it.
constexpr unsigned kProfileMode = 0600;

bool IsNameChar(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-';
}

bool IsHostChar(unsigned char c) { return IsNameChar(c) || c == '.'; }

template <class Pred>
bool AllOf(const std::string& s, Pred pred) {
    for (unsigned char c : s)
        if (!pred(c)) return false;
    return true;
}

std::string ReadValue(const lv::ini::IniFile& ini, const char* key) {
    std::string v = ini.GetString(kSection, key, "");
    v.resize(lv::text::CutLength(v, kValueLimit));
    return v;
}

// The reason as an errno value, also for the standard library's own errors
// (Windows error numbers there).
std::string FileError(const std::string& path, const std::error_code& ec) {
    return lv::text::FileErrorText(FsPath(path).filename().string(), ec.default_error_condition().value());
}

std::string LastFileError(const std::string& path) {
    return FileError(path, std::error_code(errno, std::generic_category()));
}

bool Exists(const std::string& path) {
    std::error_code ec;
    return fs::exists(fs::symlink_status(FsPath(path), ec));
}

}  // namespace

CNetNaviSetting::CNetNaviSetting(std::string appDir) : m_strAppDir(std::move(appDir)) {}

bool CNetNaviSetting::IsValidName(const std::string& name) { return !name.empty() && AllOf(name, IsNameChar); }

bool CNetNaviSetting::SetName(const std::string& name) {
    if (!IsValidName(name)) return false;
    m_strName = name;
    return true;
}

bool CNetNaviSetting::SetHost(const std::string& host) {
    if (host.empty() || !AllOf(host, IsHostChar)) return false;
    m_strHost = host;
    return true;
}

bool CNetNaviSetting::SetPort(int port) {
    if (port != 80 && (port < 2000 || port > 10000)) return false;
    m_nPort = port;
    return true;
}

bool CNetNaviSetting::SetAuth(int auth) {
    m_bAuth = auth;
    return true;
}

bool CNetNaviSetting::SetUser(const std::string& user) {
    if (!AllOf(user, IsNameChar)) return false;
    m_strUser = user;
    return true;
}

bool CNetNaviSetting::SetPassword(const std::string& password) {
    if (!AllOf(password, IsNameChar)) return false;
    m_strPassword = password;
    return true;
}

bool CNetNaviSetting::SetModel(const std::string& model) {
    for (const auto& m : g_aModels)
        if (model == m.pszName) {
            m_strModel = model;
            return true;
        }
    return false;
}

int CNetNaviSetting::GetModelClass() const { return ::GetModelClass(m_strModel); }

std::string CNetNaviSetting::GetIniPath() const {
    return m_strAppDir + (m_strName.empty() ? std::string("Librovista") : m_strName) + ".ini";
}

std::string CNetNaviSetting::GetCacheFolder() const {
    return m_strName.empty() ? m_strAppDir : m_strAppDir + m_strName + "/";
}

std::string CNetNaviSetting::GetLibraryPath() const { return GetCacheFolder() + "Library.csv"; }

std::string CNetNaviSetting::GetDiscPath() const { return GetCacheFolder() + "Disc.csv"; }

// The file operations also refuse a name that Rename took unchecked: such a
// name could lead outside the program folder.
bool CNetNaviSetting::Load() {
    m_strError.clear();
    m_bPortDefaulted = false;
    if (!IsValidName(m_strName)) return false;
    lv::ini::IniFile ini;
    // An unreadable file leaves the defaults; the reason is kept for a
    // transfer, which would otherwise try a host it never read.
    if (const std::string path = GetIniPath(); !ini.Load(path)) {
        const int err = errno;
        if (!lv::RefuseSpecialFile(path, &m_strError))
            m_strError = FileError(path, std::error_code(err, std::generic_category()));
    }
    if (std::string v = ReadValue(ini, "Host"); !v.empty()) m_strHost = v;
    // A hand-edited port that no connection can take would be cut to 16 bits.
    const int port = ini.GetInt(kSection, "Port", kDefaultPort);
    m_bPortDefaulted = port < 1 || port > 65535;
    m_nPort = m_bPortDefaulted ? kDefaultPort : port;
    m_bAuth = ini.GetInt(kSection, "Auth", 0);
    if (std::string v = ReadValue(ini, "User"); !v.empty()) m_strUser = v;
    if (std::string v = ReadValue(ini, "Password"); !v.empty()) {
        if (lv::settings::IsProtectedForm(v)) {
            if (auto pw = lv::settings::UnprotectPassword(v)) m_strPassword = *pw;
        } else {
            m_strPassword = v;
        }
    }
    if (std::string v = ReadValue(ini, "Model"); !v.empty()) m_strModel = v;
    return true;
}

bool CNetNaviSetting::Save() {
    m_strError.clear();
    if (!IsValidName(m_strName)) return false;
    auto sealed = lv::settings::ProtectPassword(m_strPassword);
    if (!sealed) return false;
    lv::ini::IniFile ini;
    // An unreadable file is not overwritten: it may hold other sections.
    if (!ini.Load(GetIniPath())) {
        m_strError = FsPath(GetIniPath()).filename().string() + ": cannot be read";
        return false;
    }
    // All six keys reach the disk in one replacement of the file, or none.
    bool ok = ini.SetString(kSection, "Host", m_strHost) && ini.SetInt(kSection, "Port", m_nPort) &&
              ini.SetInt(kSection, "Auth", m_bAuth ? 1 : 0) && ini.SetString(kSection, "User", m_strUser) &&
              ini.SetString(kSection, "Password", *sealed) && ini.SetString(kSection, "Model", m_strModel);
    if (!ok) return false;
    return ini.Save(GetIniPath(), kProfileMode, &m_strError);
}

bool CNetNaviSetting::Rename(const std::string& newName) {
    m_strError.clear();
    if (m_strName.empty()) {
        m_strName = newName;  // a new profile has no files yet
        return true;
    }
    if (!IsValidName(newName) || !IsValidName(m_strName)) return false;
    if (newName == m_strName) return true;

    CNetNaviSetting target(m_strAppDir);
    target.m_strName = newName;
    std::error_code ec;
    // A move never replaces what is already there: the caller deletes it first.
    const std::string oldIni = GetIniPath(), newIni = target.GetIniPath();
    if (Exists(oldIni)) {
        if (Exists(newIni)) {
            m_strError = FileError(newIni, std::make_error_code(std::errc::file_exists));
            return false;
        }
        fs::rename(FsPath(oldIni), FsPath(newIni), ec);
        if (ec) {
            m_strError = FileError(oldIni, ec);
            return false;
        }
    }
    const std::string oldDir = m_strAppDir + m_strName, newDir = m_strAppDir + newName;
    if (fs::is_directory(FsPath(oldDir), ec)) {
        if (Exists(newDir)) {
            m_strError = FileError(newDir, std::make_error_code(std::errc::file_exists));
            return false;
        }
        fs::rename(FsPath(oldDir), FsPath(newDir), ec);
        if (ec) {
            m_strError = FileError(oldDir, ec);
            // The profile goes back to its folder: half a move would split the recorder.
            std::error_code back;
            if (Exists(newIni) && !Exists(oldIni)) fs::rename(FsPath(newIni), FsPath(oldIni), back);
            return false;
        }
    }
    m_strName = newName;
    return true;
}

// The cache goes first and the profile last: a delete that fails part way
// leaves a recorder that still works, whose next fetch fills the cache again.
bool CNetNaviSetting::Delete() {
    m_strError.clear();
    if (!IsValidName(m_strName)) return false;
    std::error_code ec;
    const std::string dir = m_strAppDir + m_strName;
    if (fs::is_directory(FsPath(dir), ec)) {
        fs::directory_iterator it(FsPath(dir), ec);
        if (ec) {
            m_strError = FileError(dir, ec);
            return false;
        }
        // Only the folder's own entries go; a sub-folder is an error, as the
        // folder is the recorder's cache and holds none of its own.
        for (; it != fs::directory_iterator(); it.increment(ec)) {
            const std::string entry = it->path().string();
            if (!lv::platform::Unlink(entry)) {
                m_strError = LastFileError(entry);
                return false;
            }
        }
        if (ec) {
            m_strError = FileError(dir, ec);
            return false;
        }
        fs::remove(FsPath(dir), ec);  // a failure here is of no consequence
    } else if (Exists(dir) && !lv::platform::Unlink(dir)) {
        // A file in the cache folder's place would stop every later download.
        m_strError = LastFileError(dir);
        return false;
    }
    const std::string ini = GetIniPath();
    if (Exists(ini) && !lv::platform::Unlink(ini)) {
        m_strError = LastFileError(ini);
        return false;
    }
    // Copies of the profile left by killed saves still hold the password.
    lv::RemoveStaleTemps(m_strAppDir, FsPath(ini).filename().string() + ".~", fs::file_time_type::clock::now());
    return true;
}
