#include "core/platform/errors.h"

#include <windows.h>

#include <cerrno>
#include <cstring>

namespace lv::platform {

namespace {

struct MAPPING {
    DWORD win32;
    int err;
};

// As the C runtime maps them.
constexpr MAPPING kMappings[] = {
    {ERROR_FILE_NOT_FOUND, ENOENT},
    {ERROR_PATH_NOT_FOUND, ENOENT},
    {ERROR_INVALID_DRIVE, ENOENT},
    {ERROR_NO_MORE_FILES, ENOENT},
    {ERROR_BAD_NETPATH, ENOENT},
    {ERROR_BAD_NET_NAME, ENOENT},
    {ERROR_INVALID_NAME, ENOENT},
    {ERROR_BAD_PATHNAME, ENOENT},
    {ERROR_FILENAME_EXCED_RANGE, ENOENT},
    {ERROR_ACCESS_DENIED, EACCES},
    {ERROR_SHARING_VIOLATION, EACCES},
    {ERROR_LOCK_VIOLATION, EACCES},
    {ERROR_CURRENT_DIRECTORY, EACCES},
    {ERROR_NETWORK_ACCESS_DENIED, EACCES},
    {ERROR_CANNOT_MAKE, EACCES},
    {ERROR_FAIL_I24, EACCES},
    {ERROR_DRIVE_LOCKED, EACCES},
    {ERROR_SEEK_ON_DEVICE, EACCES},
    {ERROR_NOT_LOCKED, EACCES},
    {ERROR_LOCK_FAILED, EACCES},
    {ERROR_DISK_FULL, ENOSPC},
    {ERROR_HANDLE_DISK_FULL, ENOSPC},
    {ERROR_WRITE_PROTECT, EROFS},
    {ERROR_FILE_EXISTS, EEXIST},
    {ERROR_ALREADY_EXISTS, EEXIST},
    {ERROR_DIRECTORY, EISDIR},
    {ERROR_DIR_NOT_EMPTY, ENOTEMPTY},
    {ERROR_NOT_SAME_DEVICE, EXDEV},
    {ERROR_TOO_MANY_OPEN_FILES, EMFILE},
    {ERROR_INVALID_HANDLE, EBADF},
    {ERROR_INVALID_TARGET_HANDLE, EBADF},
    {ERROR_DIRECT_ACCESS_HANDLE, EBADF},
    {ERROR_NOT_ENOUGH_MEMORY, ENOMEM},
    {ERROR_OUTOFMEMORY, ENOMEM},
    {ERROR_NOT_ENOUGH_QUOTA, ENOMEM},
    {ERROR_ARENA_TRASHED, ENOMEM},
    {ERROR_INVALID_BLOCK, ENOMEM},
    {ERROR_BROKEN_PIPE, EPIPE},
    {ERROR_NO_DATA, EPIPE},
    {ERROR_INVALID_FUNCTION, EINVAL},
    {ERROR_INVALID_ACCESS, EINVAL},
    {ERROR_INVALID_DATA, EINVAL},
    {ERROR_INVALID_PARAMETER, EINVAL},
    {ERROR_NEGATIVE_SEEK, EINVAL},
    {ERROR_BAD_ENVIRONMENT, E2BIG},
    {ERROR_BAD_FORMAT, ENOEXEC},
    {ERROR_NOT_READY, EIO},
    {ERROR_CRC, EIO},
    {ERROR_SECTOR_NOT_FOUND, EIO},
    {ERROR_WRITE_FAULT, EIO},
    {ERROR_READ_FAULT, EIO},
    {ERROR_GEN_FAILURE, EIO},
};

// The Windows error whose message reads right for an errno value. The rest
// (EISDIR and ENXIO for what is no regular file, say) keep the C runtime's text.
constexpr MAPPING kMessages[] = {
    {ERROR_FILE_NOT_FOUND, ENOENT}, {ERROR_ACCESS_DENIED, EACCES},       {ERROR_DISK_FULL, ENOSPC},
    {ERROR_WRITE_PROTECT, EROFS},   {ERROR_FILE_EXISTS, EEXIST},         {ERROR_DIR_NOT_EMPTY, ENOTEMPTY},
    {ERROR_NOT_SAME_DEVICE, EXDEV}, {ERROR_TOO_MANY_OPEN_FILES, EMFILE}, {ERROR_NOT_ENOUGH_MEMORY, ENOMEM},
    {ERROR_INVALID_HANDLE, EBADF},  {ERROR_BROKEN_PIPE, EPIPE},
};

}  // namespace

int ErrnoFromWin32(unsigned long error) {
    for (const MAPPING& m : kMappings)
        if (m.win32 == error) return m.err;
    return EINVAL;
}

bool FailWithLastError() {
    errno = ErrnoFromWin32(::GetLastError());
    return false;
}

std::string ErrorMessage(int errnum) {
    const MAPPING* found = nullptr;
    for (const MAPPING& m : kMessages)
        if (m.err == errnum) found = &m;
    if (!found) return std::strerror(errnum);
    wchar_t* text = nullptr;
    const DWORD n =
        ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                         nullptr, found->win32, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring message(text ? text : L"", n);
    if (text) ::LocalFree(text);
    while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r' || message.back() == L' '))
        message.pop_back();
    if (message.empty()) return std::strerror(errnum);
    // Core texts are code page 932; a character without a form there becomes "?".
    const int size = ::WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS, message.data(), static_cast<int>(message.size()),
                                           nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
    if (size > 0)
        ::WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS, message.data(), static_cast<int>(message.size()), bytes.data(),
                              size, nullptr, nullptr);
    return bytes;
}

}  // namespace lv::platform
