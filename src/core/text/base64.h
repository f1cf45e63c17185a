#pragma once
// Base64 as RFC 4648 writes it: the standard alphabet with "=" padding.
#include <optional>
#include <string>
#include <string_view>

namespace lv::text {

std::string Base64Encode(std::string_view bytes);

// Nothing but whole groups of the alphabet, padding only at the end; anything
// else (a blank, a stray "=", a short group) gives nullopt.
std::optional<std::string> Base64Decode(std::string_view text);

}  // namespace lv::text
