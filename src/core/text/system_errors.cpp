#include "core/text/system_errors.h"

#include <cerrno>

#include "core/platform/errors.h"
#include "core/text/messages.h"

namespace lv::text {

std::string WithOriginal(const std::string& japanese, std::string_view original) {
    if (japanese.empty()) return std::string(original);
    if (original.empty()) return japanese;
    return japanese + " (" + std::string(original) + ")";
}

std::string SystemErrorText(int errnum) {
    std::string japanese;
    switch (errnum) {
#ifdef EDQUOT  // the Windows C runtime has no disk quotas
    case EDQUOT:
#endif
    case ENOSPC: japanese = lv::msg::ErrDiskFull(); break;
    case EACCES:
    case EPERM: japanese = lv::msg::ErrAccessDenied(); break;
    case ENOENT: japanese = lv::msg::ErrFileNotFound(); break;
    case EROFS: japanese = lv::msg::ErrReadOnly(); break;
    default: break;
    }
    return WithOriginal(japanese, lv::platform::ErrorMessage(errnum));
}

std::string FileErrorText(const std::string& path, int errnum) { return path + ": " + SystemErrorText(errnum); }

}  // namespace lv::text
