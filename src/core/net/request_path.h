#pragma once
// Making request paths from text the recorder sent us.
#include <string>
#include <string_view>

namespace lv::net {

// Percent-encodes a page name for use after "/library/": no byte of it can
// start a new header, a new path segment or a fragment.
std::string EscapePageName(std::string_view page);

}  // namespace lv::net
