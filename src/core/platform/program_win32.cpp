#include "core/platform/program.h"

#include <windows.h>

#include <shlobj.h>

#include <cstdlib>

#include "core/platform/path.h"

namespace lv::platform {

std::string ExecutablePath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0) return {};
        if (n < path.size()) {
            path.resize(n);
            return Narrow(path);
        }
        path.resize(path.size() * 2);
    }
}

std::string GetEnv(const char* name) {
    const wchar_t* value = ::_wgetenv(Widen(name).c_str());
    return value ? Narrow(value) : std::string();
}

unsigned ProcessId() { return ::GetCurrentProcessId(); }

std::string UserDataFolder() {
    std::string roaming = GetEnv("APPDATA");
    if (roaming.empty()) {
        wchar_t* known = nullptr;
        if (::SHGetKnownFolderPath(FOLDERID_RoamingAppData, KF_FLAG_DEFAULT, nullptr, &known) == S_OK)
            roaming = Narrow(known);
        ::CoTaskMemFree(known);
    }
    if (roaming.empty()) return {};
    if (roaming.back() != '\\' && roaming.back() != '/') roaming += '\\';
    return roaming + "Librovista\\";
}

bool MayUseExecutableFolder(const std::string&) { return false; }

}  // namespace lv::platform
