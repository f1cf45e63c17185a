#include "core/ini/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <random>

#include "core/text/system_errors.h"

namespace lv {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kSuffixChars = "abcdefghijklmnopqrstuvwxyz0123456789";
constexpr std::size_t kSuffixLength = 6;

std::string UniqueSuffix() {
    static std::atomic<unsigned> counter{0};
    thread_local std::mt19937 gen(std::random_device{}() ^ static_cast<unsigned>(::getpid()));
    unsigned v = static_cast<unsigned>(gen()) ^ (counter.fetch_add(1) * 2654435761u);
    std::string s;
    for (std::size_t i = 0; i < kSuffixLength; ++i) {
        s += kSuffixChars[v % kSuffixChars.size()];
        v /= 36;
    }
    return s;
}

bool WriteAll(int fd, std::string_view bytes) {
    const char* p = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        ssize_t n = ::write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    return true;
}

// Makes the rename itself durable; a failure here loses nothing already written.
void SyncFolder(const fs::path& dir) {
    int fd = ::open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

// Creates "<stem><suffix>" exclusively; -1 with errno set on failure.
int OpenUnique(const std::string& stem, unsigned mode, std::string& name) {
    int fd = -1;
    for (int attempt = 0; attempt < 64; ++attempt) {
        name = stem + UniqueSuffix();
        fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd >= 0 || errno != EEXIST) break;
    }
    return fd;
}

bool SetError(std::string* error, const std::string& path, int err) {
    if (error) *error = lv::text::FileErrorText(fs::path(path).filename().string(), err);
    return false;
}

bool SyncFile(const std::string& path, std::string* error) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return SetError(error, path, errno);
    const bool ok = ::fsync(fd) == 0;
    const int err = errno;
    ::close(fd);
    return ok || SetError(error, path, err);
}

bool RenameDurably(const std::string& tmp, const std::string& target, std::string* error) {
    if (::rename(tmp.c_str(), target.c_str()) != 0) return SetError(error, target, errno);
    SyncFolder(fs::path(target).parent_path());
    return true;
}

}  // namespace

int RemoveStaleTemps(const std::string& folder, std::string_view prefix, fs::file_time_type before) {
    int removed = 0;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.size() != prefix.size() + kSuffixLength || name.compare(0, prefix.size(), prefix) != 0) continue;
        if (name.find_first_not_of(kSuffixChars, prefix.size()) != std::string::npos) continue;
        std::error_code fec;
        if (!fs::is_regular_file(it->symlink_status(fec))) continue;
        const fs::file_time_type written = fs::last_write_time(it->path(), fec);
        if (fec || written >= before) continue;
        if (::unlink(it->path().c_str()) == 0) ++removed;
    }
    return removed;
}

std::string CreateTempFile(const std::string& stem, std::string* error) {
    std::string name;
    int fd = OpenUnique(stem, 0600, name);
    if (fd < 0) {
        SetError(error, stem, errno);
        return {};
    }
    ::close(fd);
    return name;
}

bool CommitFile(const std::string& tmp, const std::string& path, std::string* error) {
    return SyncFile(tmp, error) && RenameDurably(tmp, path, error);
}

bool WriteFileAtomic(const std::string& path, std::string_view bytes, std::optional<unsigned> mode,
                     std::string* error) {
    const fs::file_time_type started = fs::file_time_type::clock::now();
    std::string target = path;
    std::error_code ec;
    if (fs::is_symlink(path, ec)) {
        fs::path resolved = fs::weakly_canonical(path, ec);
        if (!ec) target = resolved.string();
    }
    struct stat old {};
    const bool exists = ::stat(target.c_str(), &old) == 0;

    std::string tmp;
    int fd = OpenUnique(target + ".~", mode ? *mode : 0666, tmp);
    if (fd < 0) return SetError(error, target, errno);
    auto fail = [&](int err) {
        ::close(fd);
        ::unlink(tmp.c_str());
        return SetError(error, target, err);
    };
    // Permissions first, before any content is in the file.
    if (mode) {
        if (::fchmod(fd, *mode) != 0) return fail(errno);
    } else if (exists) {
        ::fchmod(fd, old.st_mode & 07777);
    }
    if (!WriteAll(fd, bytes)) return fail(errno);
    if (::fsync(fd) != 0) return fail(errno);
    if (::close(fd) != 0) {
        int err = errno;
        ::unlink(tmp.c_str());
        return SetError(error, target, err);
    }
    if (!RenameDurably(tmp, target, error)) {
        ::unlink(tmp.c_str());
        return false;
    }
    // Copies of this file left by a save that was killed; they may hold what
    // the file no longer does (an old password).
    const fs::path t(target);
    RemoveStaleTemps(t.parent_path().empty() ? "." : t.parent_path().string(), t.filename().string() + ".~", started);
    return true;
}

int OpenRegularFile(const std::string& path) {
    // O_NONBLOCK: opening a FIFO without a writer would otherwise wait forever.
    int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return -1;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        const int err = S_ISDIR(st.st_mode) ? EISDIR : ENXIO;
        ::close(fd);
        errno = err;
        return -1;
    }
    // Reads of a regular file never block; cleared all the same so that the
    // descriptor behaves as an ordinary one wherever it goes.
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    return fd;
}

bool IsSpecialFile(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode);
}

bool ReadWholeFile(const std::string& path, std::string& bytes, bool* missing) {
    bytes.clear();
    if (missing) *missing = false;
    int fd = OpenRegularFile(path);
    if (fd < 0) {
        if (missing) *missing = errno == ENOENT || errno == ENOTDIR;
        return false;
    }
    char buf[1 << 16];
    for (;;) {
        ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0) {
            if (errno == EINTR) continue;
            ::close(fd);
            return false;
        }
        if (n == 0) break;
        bytes.append(buf, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return true;
}

}  // namespace lv
