#pragma once
// Files as the program reads and writes them. Every failure sets errno, on
// Windows too, so callers test ENOENT or EEXIST alike everywhere.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace lv::platform {

// An open file, closed with the object.
class File {
public:
    File() = default;
    File(File&& other) noexcept : m_handle(other.m_handle) { other.m_handle = kNone; }
    File& operator=(File&& other) noexcept {
        if (this != &other) {
            Close();
            m_handle = other.m_handle;
            other.m_handle = kNone;
        }
        return *this;
    }
    File(const File&) = delete;
    File& operator=(const File&) = delete;
    ~File() { Close(); }

    explicit operator bool() const { return m_handle != kNone; }
    // Up to n bytes, fewer only at the end of the file; -1 on an error.
    std::ptrdiff_t Read(void* buffer, std::size_t n);
    // The next Read starts `offset` bytes into the file; false on an error.
    bool Seek(std::uint64_t offset);
    // All n bytes, or false.
    bool Write(const void* data, std::size_t n);
    // Puts what was written on the disk.
    bool Sync();
    // The size now; 0 when unknown.
    std::uint64_t Size() const;
    // False when closing reports a failure; the file is closed all the same.
    bool Close();

private:
    friend class FileView;
    friend File OpenRegularFile(const std::string& path);
    friend File CreateNewFile(const std::string& path, unsigned mode);
    friend bool SetPermissions(File& file, unsigned mode);
    static constexpr std::intptr_t kNone = -1;
    explicit File(std::intptr_t handle) : m_handle(handle) {}
    std::intptr_t m_handle = kNone;  // a descriptor, or a Windows handle
};

// A read-only view of part of an open file: its bytes in the system's file
// cache, read without a copy. The program replaces its files by renaming,
// never in place, so what a view shows does not change under it.
class FileView {
public:
    FileView() = default;
    FileView(const FileView&) = delete;
    FileView& operator=(const FileView&) = delete;
    ~FileView() { Unmap(); }

    // Bytes [offset, offset + length) of `file`, which must hold them;
    // length > 0. False, with errno set, when they cannot be mapped. The
    // view stays valid when the file is closed.
    bool Map(const File& file, std::uint64_t offset, std::size_t length);
    const char* Data() const { return m_data; }
    void Unmap();

private:
    void* m_base = nullptr;  // where the mapping starts, before Data() for its alignment
    std::size_t m_size = 0;
    const char* m_data = nullptr;
};

// `path` opened for reading when it is a regular file (or a link to one). A
// FIFO, a device or a folder is refused at once, without waiting for a
// writer: EISDIR for a folder, ENXIO for the rest. A stray special file thus
// reads as unreadable instead of hanging or pouring out bytes without end;
// every reader of the program's files opens through this.
File OpenRegularFile(const std::string& path);

// A new file for writing; EEXIST when something has the name. `mode` gives
// the permissions on POSIX (less the umask).
File CreateNewFile(const std::string& path, unsigned mode);

// Exactly `mode` as the file's permissions on POSIX. Windows has no modes:
// the ACLs of the user's folder protect the files, and this does nothing.
bool SetPermissions(File& file, unsigned mode);
// The permission bits of `path` (a link followed); none on Windows or when
// it does not exist.
std::optional<unsigned> Permissions(const std::string& path);

// `path` created empty when missing, never truncated; false when it cannot be
// opened for writing (a FIFO without a reader too, without waiting for one).
bool EnsureFile(const std::string& path);

// Flushes the closed file `path` to disk.
bool SyncFile(const std::string& path);

// Renames `from` over `to` so that `to` is old or new, never torn, and the
// rename itself survives a crash.
bool MoveIntoPlace(const std::string& from, const std::string& to);

// Flushes the closed files `paths` to disk: on Linux with one flush of each
// file system holding them, elsewhere file by file.
bool SyncFiles(const std::vector<std::string>& paths);
// MoveIntoPlace without making the rename durable: many renames then share
// one SyncFolder. On Windows every rename is written through.
bool RenameOver(const std::string& from, const std::string& to);
void SyncFolder(const std::string& dir);

// Removes one file (or link, or on POSIX any entry but a folder).
bool Unlink(const std::string& path);

// A folder only its owner may use (mode 0700 on POSIX); false when it
// cannot be made, also when it exists.
bool MakePrivateFolder(const std::string& path);

// Whether `path` exists but is no regular file (a link followed); errno then
// says what it is, as for OpenRegularFile. A file the program replaces must
// not be one: a rename would put a regular file in the place of a device, a
// FIFO or whatever a link leads to.
bool IsSpecialFile(const std::string& path);

// Whether `path` is a regular file that may not be written: no write
// permission at all (POSIX), or marked read-only (Windows). Without
// `followLinks` a link is asked about itself, and a link is never a regular file.
bool IsReadOnlyFile(const std::string& path, bool followLinks = true);

}  // namespace lv::platform
