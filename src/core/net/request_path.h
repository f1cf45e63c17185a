#pragma once
// Making request paths and file names from text the recorder sent us.
#include <string>
#include <string_view>

namespace lv::net {

// Percent-encodes a page name for use after "/library/": no byte of it can
// start a new header, a new path segment or a fragment.
std::string EscapePageName(std::string_view page);

// A file name that stays inside its folder: path separators of every
// platform removed, stepping by whole characters.
std::string SafeFileName(std::string_view name);

}  // namespace lv::net
