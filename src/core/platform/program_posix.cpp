#include "core/platform/program.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

namespace lv::platform {

std::string ExecutablePath() {
    std::error_code ec;
    const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::string() : exe.string();
}

std::string GetEnv(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

unsigned ProcessId() { return static_cast<unsigned>(::getpid()); }

std::string UserDataFolder() {
    const std::string xdg = GetEnv("XDG_DATA_HOME");
    // A relative XDG_DATA_HOME is invalid and is ignored.
    if (!xdg.empty() && xdg[0] == '/') return xdg + (xdg.back() == '/' ? "" : "/") + "librovista/";
    std::string home = GetEnv("HOME");
    if (home.empty())
        if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_dir) home = pw->pw_dir;
    if (home.empty()) return {};
    return home + (home.back() == '/' ? "" : "/") + ".local/share/librovista/";
}

bool MayUseExecutableFolder(const std::string& folder) { return ::access(folder.c_str(), W_OK) == 0; }

}  // namespace lv::platform
