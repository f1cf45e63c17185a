#include "support/temp_dir.h"

#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

#include "core/platform/path.h"

namespace lv::test {

namespace {
std::string Utf8(const std::filesystem::path& p) {
    const std::u8string s = p.u8string();
    return {s.begin(), s.end()};
}
}  // namespace

TempDir::TempDir() {
#ifdef _WIN32
    // No mkdtemp: a random name, created only when nothing has it yet.
    std::mt19937_64 random(std::random_device{}());
    for (int attempt = 0; attempt < 100 && m_path.empty(); ++attempt) {
        std::string name = "lvtest-";
        for (int i = 0; i < 6; ++i) name += "abcdefghijklmnopqrstuvwxyz0123456789"[random() % 36];
        const std::filesystem::path p = std::filesystem::temp_directory_path() / name;
        std::error_code ec;
        if (std::filesystem::create_directory(p, ec)) m_path = p;
    }
    if (m_path.empty()) throw std::runtime_error("cannot create a temporary folder");
#else
    std::string tmpl = (std::filesystem::temp_directory_path() / "lvtest-XXXXXX").string();
    if (!mkdtemp(tmpl.data())) throw std::runtime_error("mkdtemp failed");
    m_path = tmpl;
#endif
}

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::permissions(m_path, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ec);
#ifdef _WIN32
    // A read-only file cannot be deleted on Windows; tests make some.
    for (std::filesystem::recursive_directory_iterator it(m_path, ec), end; !ec && it != end; it.increment(ec))
        std::filesystem::permissions(it->path(), std::filesystem::perms::owner_write,
                                     std::filesystem::perm_options::add, ec);
#endif
    std::filesystem::remove_all(m_path, ec);
}

std::string TempDir::dir() const {
    return Utf8(m_path) + static_cast<char>(std::filesystem::path::preferred_separator);
}

std::string TempDir::file(std::string_view name) const { return dir() + std::string(name); }

void WriteFile(const std::string& path, std::string_view bytes) {
    std::ofstream f(lv::platform::FsPath(path), std::ios::binary | std::ios::trunc);
    f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

bool MakeReadOnly(const std::string& path) {
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::permissions(lv::platform::FsPath(path), fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read,
                    ec);
    return !ec;
}

std::string ReadFile(const std::string& path) {
    std::ifstream f(lv::platform::FsPath(path), std::ios::binary);
    std::ostringstream s;
    s << f.rdbuf();
    return s.str();
}

}  // namespace lv::test
