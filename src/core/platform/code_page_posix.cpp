#include "core/platform/code_page.h"

#include <iconv.h>

namespace lv::platform {

namespace {
// NOLINTNEXTLINE(performance-no-int-to-ptr): iconv's failure value
iconv_t Failed() { return reinterpret_cast<iconv_t>(-1); }
}  // namespace

Cp932Decoder::Cp932Decoder() {
    iconv_t cd = iconv_open("UTF-32LE", "CP932");
    if (cd != Failed()) m_converter = cd;
}

Cp932Decoder::~Cp932Decoder() {
    if (m_converter) iconv_close(static_cast<iconv_t>(m_converter));
}

bool Cp932Decoder::Available() const { return m_converter != nullptr; }

char32_t Cp932Decoder::Decode(std::string_view bytes) {
    if (!m_converter || bytes.empty() || bytes.size() > 2) return 0;
    const auto cd = static_cast<iconv_t>(m_converter);
    char inbuf[2] = {bytes[0], bytes.size() > 1 ? bytes[1] : '\0'};
    char outbuf[8];
    char* ip = inbuf;
    char* op = outbuf;
    std::size_t il = bytes.size(), ol = sizeof outbuf;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    if (iconv(cd, &ip, &il, &op, &ol) == static_cast<std::size_t>(-1) || il != 0) return 0;
    if (sizeof outbuf - ol != 4) return 0;
    char32_t cp = 0;
    for (int k = 0; k < 4; ++k) cp |= static_cast<char32_t>(static_cast<unsigned char>(outbuf[k])) << (8 * k);
    return cp;
}

}  // namespace lv::platform
