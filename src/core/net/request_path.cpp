#include "core/net/request_path.h"

#include <cctype>
#include <cstdio>

namespace lv::net {

namespace {
bool IsHex(char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; }

bool KeptAsIs(char c) {
    unsigned char u = static_cast<unsigned char>(c);
    if (u >= 0x80 || u <= 0x20 || u == 0x7F) return false;
    if (std::isalnum(u)) return true;
    // Unreserved characters, sub-delimiters and the query marks of a page name.
    return std::string_view("-._~!$&'()*+,;=:@?").find(c) != std::string_view::npos;
}
}  // namespace

std::string EscapePageName(std::string_view page) {
    if (page == "." || page == "..") return page == "." ? "%2E" : "%2E%2E";
    std::string out;
    out.reserve(page.size());
    for (std::size_t i = 0; i < page.size(); ++i) {
        char c = page[i];
        // A page name the recorder already escaped keeps its escapes.
        bool escape = c == '%' && i + 2 < page.size() && IsHex(page[i + 1]) && IsHex(page[i + 2]);
        if (KeptAsIs(c) || escape) {
            out += c;
        } else {
            char buf[4];
            std::snprintf(buf, sizeof buf, "%%%02X", static_cast<unsigned char>(c));
            out += buf;
        }
    }
    return out;
}

}  // namespace lv::net
