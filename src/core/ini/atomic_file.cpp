#include "core/ini/atomic_file.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <filesystem>
#include <random>

#include "core/platform/path.h"
#include "core/platform/program.h"
#include "core/text/system_errors.h"

namespace lv {

namespace fs = std::filesystem;
using platform::File;
using platform::FsPath;

namespace {

constexpr std::string_view kSuffixChars = "abcdefghijklmnopqrstuvwxyz0123456789";
constexpr std::size_t kSuffixLength = 6;

std::string UniqueSuffix() {
    static std::atomic<unsigned> counter{0};
    thread_local std::mt19937 gen(std::random_device{}() ^ platform::ProcessId());
    unsigned v = static_cast<unsigned>(gen()) ^ (counter.fetch_add(1) * 2654435761u);
    std::string s;
    for (std::size_t i = 0; i < kSuffixLength; ++i) {
        s += kSuffixChars[v % kSuffixChars.size()];
        v /= 36;
    }
    return s;
}

// Creates "<stem><suffix>" exclusively; closed with errno set on failure.
File OpenUnique(const std::string& stem, unsigned mode, std::string& name) {
    File file;
    for (int attempt = 0; attempt < 64; ++attempt) {
        name = stem + UniqueSuffix();
        file = platform::CreateNewFile(name, mode);
        if (file || errno != EEXIST) break;
    }
    return file;
}

bool SetError(std::string* error, const std::string& path, int err) {
    if (error) *error = lv::text::FileErrorText(FsPath(path).filename().string(), err);
    return false;
}

}  // namespace

bool RefuseSpecialFile(const std::string& path, std::string* error) {
    if (!platform::IsSpecialFile(path)) return false;
    if (error) *error = FsPath(path).filename().string() + ": not a regular file";
    return true;
}

int RemoveStaleTemps(const std::string& folder, std::string_view prefix, fs::file_time_type before) {
    int removed = 0;
    std::error_code ec;
    for (fs::directory_iterator it(FsPath(folder), ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.size() != prefix.size() + kSuffixLength || name.compare(0, prefix.size(), prefix) != 0) continue;
        if (name.find_first_not_of(kSuffixChars, prefix.size()) != std::string::npos) continue;
        std::error_code fec;
        if (!fs::is_regular_file(it->symlink_status(fec))) continue;
        const fs::file_time_type written = fs::last_write_time(it->path(), fec);
        if (fec || written >= before) continue;
        if (platform::Unlink(it->path().string())) ++removed;
    }
    return removed;
}

std::string CreateTempFile(const std::string& stem, std::string* error) {
    std::string name;
    if (!OpenUnique(stem, 0600, name)) {
        SetError(error, stem, errno);
        return {};
    }
    return name;
}

std::string WriteTempFile(const std::string& stem, std::string_view bytes) {
    std::string name;
    File file = OpenUnique(stem, 0600, name);
    if (!file) return {};
    if (file.Write(bytes.data(), bytes.size()) && file.Close()) return name;
    const int err = errno;
    file.Close();
    platform::Unlink(name);
    errno = err;
    return {};
}

bool HoldsBytes(const std::string& path, std::string_view bytes) {
    File file = platform::OpenRegularFile(path);
    if (!file || file.Size() != bytes.size()) return false;
    std::string held(bytes.size() + 1, '\0');
    return file.Read(held.data(), held.size()) == static_cast<std::ptrdiff_t>(bytes.size()) &&
           std::string_view(held.data(), bytes.size()) == bytes;
}

bool CommitFile(const std::string& tmp, const std::string& path, std::string* error) {
    if (RefuseSpecialFile(path, error)) return false;
    if (!platform::SyncFile(tmp)) return SetError(error, tmp, errno);
    return platform::MoveIntoPlace(tmp, path) || SetError(error, path, errno);
}

bool CommitBatch::Commit(std::string* failed) {
    std::vector<std::string> tmps, folders;
    for (const auto& [tmp, path] : m_files) {
        tmps.push_back(tmp);
        const std::size_t slash = path.find_last_of("/\\");
        std::string folder = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
        if (std::find(folders.begin(), folders.end(), folder) == folders.end()) folders.push_back(std::move(folder));
    }
    if (!platform::SyncFiles(tmps)) {
        const int err = errno;
        if (failed && !m_files.empty()) *failed = m_files.front().second;
        Discard();
        errno = err;
        return false;
    }
    int err = 0;
    for (const auto& [tmp, path] : m_files) {
        if (!RefuseSpecialFile(path, nullptr) && platform::RenameOver(tmp, path)) continue;
        if (!err) {
            err = errno;
            if (failed) *failed = path;
        }
        platform::Unlink(tmp);
    }
    m_files.clear();
    for (const std::string& folder : folders) platform::SyncFolder(folder);
    errno = err;
    return err == 0;
}

void CommitBatch::Discard() {
    for (const auto& file : m_files) platform::Unlink(file.first);
    m_files.clear();
}

bool WriteFileAtomic(const std::string& path, std::string_view bytes, std::optional<unsigned> mode,
                     std::string* error) {
    return WriteFileAtomic(
        path, [bytes](const FileWriter& write) { return write(bytes); }, mode, error);
}

bool WriteFileAtomic(const std::string& path, const std::function<bool(const FileWriter&)>& produce,
                     std::optional<unsigned> mode, std::string* error) {
    const fs::file_time_type started = fs::file_time_type::clock::now();
    if (RefuseSpecialFile(path, error)) return false;
    std::string target = path;
    std::error_code ec;
    if (fs::is_symlink(FsPath(path), ec)) {
        fs::path resolved = fs::weakly_canonical(FsPath(path), ec);
        if (!ec) target = resolved.string();
    }
    const std::optional<unsigned> old = platform::Permissions(target);

    std::string tmp;
    File file = OpenUnique(target + ".~", mode ? *mode : 0666, tmp);
    if (!file) return SetError(error, target, errno);
    auto fail = [&](int err) {
        file.Close();
        platform::Unlink(tmp);
        return SetError(error, target, err);
    };
    // Permissions first, before any content is in the file.
    if (mode) {
        if (!platform::SetPermissions(file, *mode)) return fail(errno);
    } else if (old) {
        platform::SetPermissions(file, *old);
    }
    try {
        errno = 0;
        if (!produce([&file](std::string_view bytes) { return file.Write(bytes.data(), bytes.size()); }))
            return fail(errno ? errno : EIO);
    } catch (...) {
        file.Close();
        platform::Unlink(tmp);
        throw;
    }
    if (!file.Sync()) return fail(errno);
    if (!file.Close()) {
        const int err = errno;
        platform::Unlink(tmp);
        return SetError(error, target, err);
    }
    if (!platform::MoveIntoPlace(tmp, target)) {
        const int err = errno;
        platform::Unlink(tmp);
        return SetError(error, target, err);
    }
    // Copies of this file left by a save that was killed; they may hold what
    // the file no longer does (an old password).
    const fs::path t = FsPath(target);
    RemoveStaleTemps(t.parent_path().empty() ? "." : t.parent_path().string(), t.filename().string() + ".~", started);
    return true;
}

bool ReadWholeFile(const std::string& path, std::string& bytes, bool* missing) {
    bytes.clear();
    if (missing) *missing = false;
    File file = platform::OpenRegularFile(path);
    if (!file) {
        if (missing) *missing = errno == ENOENT || errno == ENOTDIR;
        return false;
    }
    char buf[1 << 16];
    for (;;) {
        const std::ptrdiff_t n = file.Read(buf, sizeof buf);
        if (n < 0) return false;
        bytes.append(buf, static_cast<std::size_t>(n));
        if (n < static_cast<std::ptrdiff_t>(sizeof buf)) break;
    }
    return true;
}

}  // namespace lv
