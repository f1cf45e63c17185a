#pragma once
// Tests spell Japanese text in UTF-8; the program holds code page 932.
#include <string>

#include "core/text/codec.h"

inline std::string SJ(const char* utf8) { return lv::text::Utf8ToCp932(utf8); }
// The other way, to compare the program's bytes with a UTF-8 spelling.
inline std::string U8(const char* cp932) { return lv::text::Cp932ToUtf8(cp932); }

// A word typed on the command line with --cp932: its code page 932 bytes
// where the terminal sends bytes; a Windows command line is Unicode whatever
// the option says.
inline std::string TypedWithCp932(const char* utf8) {
#ifdef _WIN32
    return utf8;
#else
    return SJ(utf8);
#endif
}
