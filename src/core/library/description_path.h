#pragma once
// Where a title's description is kept: one rule for the transfer that writes
// the file and for everyone who reads it.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// Removes from the n bytes at s what a description file name never holds,
// in place; returns the new length. "/" and ":" go wherever they stand (they
// are never the second byte of a character); "\" stays only as the second
// byte of a valid double-byte character; a lead byte without a valid second
// byte goes too, so that it cannot pair with what follows it. Applying it
// twice changes nothing.
std::size_t CleanDescriptionName(char* s, std::size_t n);

// The title's description file name as stored: cleaned as above and "." or
// ".." refused, so that the file stays inside the cache folder.
std::string DescriptionFileName(std::string_view textFile);

// The file in a recorder's cache folder (ending in a separator).
std::string DescriptionPath(const std::string& cacheFolder, std::string_view textFile);

// The same from the program folder and the recorder's name, without reading
// the profile; none for a name that no profile can have.
std::optional<std::string> DescriptionPath(const std::string& appDir, const std::string& recorder,
                                           std::string_view textFile);
