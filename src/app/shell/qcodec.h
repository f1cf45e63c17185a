#pragma once
// The only place where the window converts text: code page 932 bytes of the
// core to QString for display, and what the user typed back to bytes.
#include <QString>
#include <string>
#include <string_view>

namespace lv::app {

QString ToQ(std::string_view cp932);
// Characters without a code page 932 form become "?"; `ok` tells whether all had one.
std::string FromQ(const QString& text, bool* ok = nullptr);

}  // namespace lv::app
