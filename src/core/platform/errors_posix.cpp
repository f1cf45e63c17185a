#include "core/platform/errors.h"

#include <cstring>

namespace lv::platform {

std::string ErrorMessage(int errnum) { return std::strerror(errnum); }

}  // namespace lv::platform
