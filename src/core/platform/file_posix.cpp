#include "core/platform/file.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <filesystem>

namespace lv::platform {

namespace {

int Fd(std::intptr_t handle) { return static_cast<int>(handle); }

// `flush` run on `path` opened for reading; errno is the flush's.
bool FlushOpened(const std::string& path, int (*flush)(int)) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool ok = flush(fd) == 0;
    const int err = errno;
    ::close(fd);
    errno = err;
    return ok;
}

bool WriteBits(const struct stat& st) { return (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0; }

}  // namespace

std::ptrdiff_t File::Read(void* buffer, std::size_t n) {
    auto* p = static_cast<char*>(buffer);
    std::size_t done = 0;
    while (done < n) {
        const ssize_t got = ::read(Fd(m_handle), p + done, n - done);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return -1;
        if (got == 0) break;
        done += static_cast<std::size_t>(got);
    }
    return static_cast<std::ptrdiff_t>(done);
}

bool File::Write(const void* data, std::size_t n) {
    const auto* p = static_cast<const char*>(data);
    while (n > 0) {
        const ssize_t put = ::write(Fd(m_handle), p, n);
        if (put < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        p += put;
        n -= static_cast<std::size_t>(put);
    }
    return true;
}

bool File::Sync() { return ::fsync(Fd(m_handle)) == 0; }

bool File::Seek(std::uint64_t offset) {
    return offset <= static_cast<std::uint64_t>(INT64_MAX) &&
           ::lseek(Fd(m_handle), static_cast<off_t>(offset), SEEK_SET) >= 0;
}

bool FileView::Map(const File& file, std::uint64_t offset, std::size_t length) {
    Unmap();
    const auto page = static_cast<std::uint64_t>(::sysconf(_SC_PAGESIZE));
    const std::uint64_t start = offset / page * page;
    const auto lead = static_cast<std::size_t>(offset - start);
    if (start > static_cast<std::uint64_t>(INT64_MAX) || length > SIZE_MAX - lead) {
        errno = EOVERFLOW;
        return false;
    }
    int flags = MAP_SHARED;
#if defined(MAP_POPULATE)
    flags |= MAP_POPULATE;  // the view is read through at once: one call instead of a fault per few pages
#endif
    void* base = ::mmap(nullptr, lead + length, PROT_READ, flags, Fd(file.m_handle), static_cast<off_t>(start));
    if (base == MAP_FAILED) return false;
    m_base = base;
    m_size = lead + length;
    m_data = static_cast<const char*>(base) + lead;
    return true;
}

void FileView::Unmap() {
    if (m_base) ::munmap(m_base, m_size);
    m_base = nullptr;
    m_size = 0;
    m_data = nullptr;
}

std::uint64_t File::Size() const {
    struct stat st {};
    if (m_handle == kNone || ::fstat(Fd(m_handle), &st) != 0 || st.st_size < 0) return 0;
    return static_cast<std::uint64_t>(st.st_size);
}

bool File::Close() {
    if (m_handle == kNone) return true;
    const int fd = Fd(m_handle);
    m_handle = kNone;
    return ::close(fd) == 0;
}

File OpenRegularFile(const std::string& path) {
    // O_NONBLOCK: opening a FIFO without a writer would otherwise wait forever.
    int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return {};
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        const int err = S_ISDIR(st.st_mode) ? EISDIR : ENXIO;
        ::close(fd);
        errno = err;
        return {};
    }
    // Reads of a regular file never block; cleared all the same so that the
    // descriptor behaves as an ordinary one wherever it goes.
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    return File(fd);
}

File CreateNewFile(const std::string& path, unsigned mode) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    return fd < 0 ? File() : File(fd);
}

bool SetPermissions(File& file, unsigned mode) { return ::fchmod(Fd(file.m_handle), mode) == 0; }

std::optional<unsigned> Permissions(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return std::nullopt;
    return st.st_mode & 07777;
}

bool EnsureFile(const std::string& path) {
    // O_NONBLOCK: a FIFO in its place would otherwise hold the caller forever.
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_NONBLOCK | O_CLOEXEC, 0666);
    if (fd < 0) return false;
    ::close(fd);
    return true;
}

bool SyncFile(const std::string& path) { return FlushOpened(path, ::fsync); }

bool SyncFiles(const std::vector<std::string>& paths) {
#ifdef __linux__
    std::vector<dev_t> done;
    for (const std::string& path : paths) {
        struct stat st {};
        if (::stat(path.c_str(), &st) != 0) return false;
        if (std::find(done.begin(), done.end(), st.st_dev) != done.end()) continue;
        if (!FlushOpened(path, ::syncfs)) return false;
        done.push_back(st.st_dev);
    }
    return true;
#else
    return std::all_of(paths.begin(), paths.end(), [](const std::string& p) { return SyncFile(p); });
#endif
}

bool RenameOver(const std::string& from, const std::string& to) { return ::rename(from.c_str(), to.c_str()) == 0; }

// A failure here loses nothing already written.
void SyncFolder(const std::string& dir) {
    int fd = ::open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

bool MoveIntoPlace(const std::string& from, const std::string& to) {
    if (!RenameOver(from, to)) return false;
    SyncFolder(std::filesystem::path(to).parent_path().string());
    return true;
}

bool Unlink(const std::string& path) { return ::unlink(path.c_str()) == 0; }

bool MakePrivateFolder(const std::string& path) { return ::mkdir(path.c_str(), 0700) == 0; }

bool IsSpecialFile(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || S_ISREG(st.st_mode)) return false;
    errno = S_ISDIR(st.st_mode) ? EISDIR : ENXIO;
    return true;
}

bool IsReadOnlyFile(const std::string& path, bool followLinks) {
    struct stat st {};
    const int r = followLinks ? ::stat(path.c_str(), &st) : ::lstat(path.c_str(), &st);
    return r == 0 && S_ISREG(st.st_mode) && !WriteBits(st);
}

}  // namespace lv::platform
