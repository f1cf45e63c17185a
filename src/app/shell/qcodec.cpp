#include "app/shell/qcodec.h"

#include "core/text/codec.h"

namespace lv::app {

QString ToQ(std::string_view cp932) {
    // Pure ASCII needs no table look-up; most cells of the list are digits.
    bool ascii = true;
    for (unsigned char c : cp932) {
        if (c >= 0x80) {
            ascii = false;
            break;
        }
    }
    if (ascii) return QString::fromLatin1(cp932.data(), static_cast<qsizetype>(cp932.size()));
    const std::string utf8 = lv::text::Cp932ToUtf8(cp932);
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

std::string FromQ(const QString& text, bool* ok) {
    const QByteArray utf8 = text.toUtf8();
    return lv::text::Utf8ToCp932(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())), ok);
}

}  // namespace lv::app
