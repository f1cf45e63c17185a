#include "core/text/messages.h"

#include "core/text/codec.h"

namespace lv::msg {

#define LV_DEFINE_MESSAGE(name, utf8)                            \
    const std::string& name() {                                  \
        static const std::string text = text::Utf8ToCp932(utf8); \
        return text;                                             \
    }
LV_MESSAGES(LV_DEFINE_MESSAGE)
#undef LV_DEFINE_MESSAGE

}  // namespace lv::msg
