#include "core/platform/file.h"

#include <windows.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>

#include "core/platform/errors.h"
#include "core/platform/path.h"

namespace lv::platform {

namespace {

HANDLE Handle(std::intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }  // NOLINT(performance-no-int-to-ptr)
std::intptr_t FromHandle(HANDLE h) { return reinterpret_cast<std::intptr_t>(h); }

// Readers let others write, rename and delete the file meanwhile, as on
// POSIX: a save may replace a file that is being read.
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// A handle for asking about `path` itself or about what it links to; a
// folder opens too.
HANDLE OpenForQuery(const std::string& path, bool followLinks) {
    const DWORD flags = FILE_FLAG_BACKUP_SEMANTICS | (followLinks ? 0 : FILE_FLAG_OPEN_REPARSE_POINT);
    return ::CreateFileW(Widen(path).c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr, OPEN_EXISTING, flags, nullptr);
}

// Whether the open handle is a regular file; errno says what it is otherwise.
bool IsRegular(HANDLE h) {
    BY_HANDLE_FILE_INFORMATION info{};
    if (::GetFileType(h) != FILE_TYPE_DISK || !::GetFileInformationByHandle(h, &info)) {
        errno = ENXIO;
        return false;
    }
    if (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        errno = EISDIR;
        return false;
    }
    // A link asked about itself.
    if (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
        errno = ENXIO;
        return false;
    }
    return true;
}

}  // namespace

std::ptrdiff_t File::Read(void* buffer, std::size_t n) {
    auto* p = static_cast<char*>(buffer);
    std::size_t done = 0;
    while (done < n) {
        const DWORD want = static_cast<DWORD>(std::min<std::size_t>(n - done, 1u << 30));
        DWORD got = 0;
        if (!::ReadFile(Handle(m_handle), p + done, want, &got, nullptr)) {
            FailWithLastError();
            return -1;
        }
        if (got == 0) break;
        done += got;
    }
    return static_cast<std::ptrdiff_t>(done);
}

bool File::Write(const void* data, std::size_t n) {
    const auto* p = static_cast<const char*>(data);
    while (n > 0) {
        const DWORD want = static_cast<DWORD>(std::min<std::size_t>(n, 1u << 30));
        DWORD put = 0;
        if (!::WriteFile(Handle(m_handle), p, want, &put, nullptr)) return FailWithLastError();
        p += put;
        n -= put;
    }
    return true;
}

bool File::Sync() { return ::FlushFileBuffers(Handle(m_handle)) || FailWithLastError(); }

bool File::Seek(std::uint64_t offset) {
    LARGE_INTEGER to{};
    to.QuadPart = static_cast<LONGLONG>(offset);
    return (offset <= static_cast<std::uint64_t>(INT64_MAX) &&
            ::SetFilePointerEx(Handle(m_handle), to, nullptr, FILE_BEGIN)) ||
           FailWithLastError();
}

std::uint64_t File::Size() const {
    LARGE_INTEGER size{};
    if (m_handle == kNone || !::GetFileSizeEx(Handle(m_handle), &size) || size.QuadPart < 0) return 0;
    return static_cast<std::uint64_t>(size.QuadPart);
}

bool FileView::Map(const File& file, std::uint64_t offset, std::size_t length) {
    Unmap();
    SYSTEM_INFO info{};
    ::GetSystemInfo(&info);
    const std::uint64_t start = offset / info.dwAllocationGranularity * info.dwAllocationGranularity;
    const auto lead = static_cast<std::size_t>(offset - start);
    if (length > SIZE_MAX - lead) {
        errno = EOVERFLOW;
        return false;
    }
    const HANDLE mapping = ::CreateFileMappingW(Handle(file.m_handle), nullptr, PAGE_READONLY, 0, 0, nullptr);
    if (!mapping) return FailWithLastError();
    void* base = ::MapViewOfFile(mapping, FILE_MAP_READ, static_cast<DWORD>(start >> 32), static_cast<DWORD>(start),
                                 lead + length);
    // The view keeps what it maps; the mapping's handle is not needed again.
    const bool mapped = base != nullptr || FailWithLastError();
    ::CloseHandle(mapping);
    if (!mapped) return false;
    m_base = base;
    m_size = lead + length;
    m_data = static_cast<const char*>(base) + lead;
    return true;
}

void FileView::Unmap() {
    if (m_base) ::UnmapViewOfFile(m_base);
    m_base = nullptr;
    m_size = 0;
    m_data = nullptr;
}

bool File::Close() {
    if (m_handle == kNone) return true;
    const HANDLE h = Handle(m_handle);
    m_handle = kNone;
    return ::CloseHandle(h) || FailWithLastError();
}

File OpenRegularFile(const std::string& path) {
    // Backup semantics: a folder opens too, and is refused below as EISDIR.
    const HANDLE h = ::CreateFileW(Widen(path).c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING,
                                   FILE_ATTRIBUTE_NORMAL | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        FailWithLastError();
        return {};
    }
    if (!IsRegular(h)) {
        const int err = errno;
        ::CloseHandle(h);
        errno = err;
        return {};
    }
    return File(FromHandle(h));
}

File CreateNewFile(const std::string& path, unsigned) {
    const HANDLE h = ::CreateFileW(Widen(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                   CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        FailWithLastError();
        return {};
    }
    return File(FromHandle(h));
}

bool SetPermissions(File&, unsigned) { return true; }

std::optional<unsigned> Permissions(const std::string&) { return std::nullopt; }

bool EnsureFile(const std::string& path) {
    const HANDLE h = ::CreateFileW(Widen(path).c_str(), GENERIC_WRITE, kShareAll, nullptr, OPEN_ALWAYS,
                                   FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return FailWithLastError();
    const bool regular = IsRegular(h);
    ::CloseHandle(h);
    return regular;
}

bool SyncFile(const std::string& path) {
    // Flushing needs write access.
    const HANDLE h = ::CreateFileW(Widen(path).c_str(), GENERIC_WRITE, kShareAll, nullptr, OPEN_EXISTING,
                                   FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return FailWithLastError();
    const bool ok = ::FlushFileBuffers(h) || FailWithLastError();
    const int err = errno;
    ::CloseHandle(h);
    errno = err;
    return ok;
}

bool MoveIntoPlace(const std::string& from, const std::string& to) {
    return ::MoveFileExW(Widen(from).c_str(), Widen(to).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) ||
           FailWithLastError();
}

bool SyncFiles(const std::vector<std::string>& paths) {
    return std::all_of(paths.begin(), paths.end(), [](const std::string& p) { return SyncFile(p); });
}

bool RenameOver(const std::string& from, const std::string& to) { return MoveIntoPlace(from, to); }

void SyncFolder(const std::string&) {}

bool Unlink(const std::string& path) { return ::DeleteFileW(Widen(path).c_str()) || FailWithLastError(); }

bool MakePrivateFolder(const std::string& path) {
    return ::CreateDirectoryW(Widen(path).c_str(), nullptr) || FailWithLastError();
}

bool IsSpecialFile(const std::string& path) {
    const HANDLE h = OpenForQuery(path, true);
    if (h == INVALID_HANDLE_VALUE) return false;
    const bool regular = IsRegular(h);
    ::CloseHandle(h);
    return !regular;
}

bool IsReadOnlyFile(const std::string& path, bool followLinks) {
    const HANDLE h = OpenForQuery(path, followLinks);
    if (h == INVALID_HANDLE_VALUE) return false;
    BY_HANDLE_FILE_INFORMATION info{};
    const bool readOnly = IsRegular(h) && ::GetFileInformationByHandle(h, &info) &&
                          (info.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0;
    ::CloseHandle(h);
    return readOnly;
}

}  // namespace lv::platform
