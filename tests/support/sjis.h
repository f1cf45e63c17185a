#pragma once
// Tests spell Japanese text in UTF-8; the program holds code page 932.
#include <string>

#include "core/text/codec.h"

inline std::string SJ(const char* utf8) { return lv::text::Utf8ToCp932(utf8); }
