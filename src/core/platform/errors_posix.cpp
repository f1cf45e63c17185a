#include "core/platform/errors.h"

#include <iconv.h>
#include <langinfo.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace lv::platform {

namespace {

// NOLINTNEXTLINE(performance-no-int-to-ptr): iconv's failure value
iconv_t Failed() { return reinterpret_cast<iconv_t>(-1); }

class Converter {
public:
    Converter(const char* to, const char* from) : m_cd(iconv_open(to, from)) {}
    ~Converter() {
        if (m_cd != Failed()) iconv_close(m_cd);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;
    bool Ok() const { return m_cd != Failed(); }
    // Converts one step; what was not taken stays in `in`. False when the
    // input at `in` cannot be converted.
    bool Step(std::string_view& in, char* out, std::size_t& outSize) {
        char* ip = const_cast<char*>(in.data());  // iconv's signature; the input is not written
        std::size_t il = in.size();
        char* op = out;
        std::size_t ol = outSize;
        const bool ok = iconv(m_cd, &ip, &il, &op, &ol) != static_cast<std::size_t>(-1);
        in.remove_prefix(in.size() - il);
        outSize -= ol;
        return ok || errno == E2BIG;
    }

private:
    iconv_t m_cd;
};

}  // namespace

std::string LocaleTextToCp932(std::string_view text) {
    // ASCII reads alike in every character set the system offers.
    if (std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
        return std::string(text);
    Converter toUnicode("UTF-32LE", nl_langinfo(CODESET));
    Converter toCp932("CP932", "UTF-32LE");
    std::string out;
    if (!toUnicode.Ok() || !toCp932.Ok()) {
        for (char c : text) out += static_cast<unsigned char>(c) < 0x80 ? c : '?';
        return out;
    }
    // One character at a time, so that one without a form becomes one "?".
    while (!text.empty()) {
        char wide[4];
        std::size_t wideSize = sizeof wide;
        const std::size_t before = text.size();
        const bool converted = toUnicode.Step(text, wide, wideSize);
        if (wideSize == 0) {
            if (converted && text.size() < before) continue;  // a shift sequence: no character
            out += '?';                                       // a byte that starts no character of the set
            text.remove_prefix(1);
            continue;
        }
        std::string_view unicode(wide, wideSize);
        char bytes[8];
        std::size_t size = sizeof bytes;
        if (toCp932.Step(unicode, bytes, size) && unicode.empty())
            out.append(bytes, size);
        else
            out += '?';
    }
    return out;
}

std::string ErrorMessage(int errnum) { return LocaleTextToCp932(std::strerror(errnum)); }

}  // namespace lv::platform
