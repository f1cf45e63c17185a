#pragma once
// The running program: where its executable is, its environment, where the
// user's data goes.
#include <string>

namespace lv::platform {

// The full path of the running executable; empty when unknown.
std::string ExecutablePath();

// The environment variable's value; empty when unset.
std::string GetEnv(const char* name);

// The process's identifier, to tell processes apart.
unsigned ProcessId();

// The folder for this user's program files, with a trailing separator; not
// created here. Linux: $XDG_DATA_HOME/librovista/ (~/.local/share/librovista/
// by default). Windows: %APPDATA%\Librovista\. Empty without a home.
std::string UserDataFolder();

// Whether a program run from `folder` keeps its files there when no document
// beside it says so. Linux: when the user may write the folder (a build, an
// unpacked copy). Windows: never; an installer puts the program wherever the
// user chose, so only a portable copy's document does.
bool MayUseExecutableFolder(const std::string& folder);

}  // namespace lv::platform
