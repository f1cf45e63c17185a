#pragma once
// A fresh folder under the system's temporary folder, removed with its
// contents when the object goes.
#include <filesystem>
#include <string>
#include <string_view>

namespace lv::test {

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return m_path; }
    // The folder as the program spells a folder: with a trailing separator
    // ("\\" on Windows), in UTF-8 there.
    std::string dir() const;
    std::string file(std::string_view name) const;

private:
    std::filesystem::path m_path;
};

// Whole-file helpers for tests.
void WriteFile(const std::string& path, std::string_view bytes);
std::string ReadFile(const std::string& path);
// Takes every write permission away: mode 0444 on POSIX, the read-only
// attribute on Windows. False when it could not.
bool MakeReadOnly(const std::string& path);

}  // namespace lv::test
