// libFuzzer target: any bytes as a recorder's news file; what is read is
// written back the same.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "core/library/new_titles.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    NEWTITLES news, again;
    if (!ParseNewTitles(std::string_view(reinterpret_cast<const char*>(data), size), news)) return 0;
    if (!ParseNewTitles(FormatNewTitles(news), again) || !(again == news)) __builtin_trap();
    return 0;
}
