#pragma once
// The system's own text for a failure. The core's error numbers are errno
// values on every platform.
#include <string>
#include <string_view>

namespace lv::platform {

// The system's message for errnum, in code page 932 bytes: strerror on
// POSIX; on Windows the message, in the user's language, of the Windows
// error that errnum stands for.
std::string ErrorMessage(int errnum);

#ifndef _WIN32
// Text in the current locale's character set (LC_CTYPE), as strerror gives
// it, in code page 932; a character without a form there becomes "?".
std::string LocaleTextToCp932(std::string_view text);
#endif

#ifdef _WIN32
// The errno value for a Windows error, as the C runtime maps them.
int ErrnoFromWin32(unsigned long error);
// errno set from GetLastError(); returns false for a caller's `return`.
bool FailWithLastError();
#endif

}  // namespace lv::platform
