#pragma once
// Where a title's description is kept: one rule for the transfer that writes
// the file and for everyone who reads it.
#include <optional>
#include <string>
#include <string_view>

// The title's description file name as stored: path separators removed and
// "." or ".." refused, so that the file stays inside the cache folder.
std::string DescriptionFileName(std::string_view textFile);

// The file in a recorder's cache folder (ending in a separator).
std::string DescriptionPath(const std::string& cacheFolder, std::string_view textFile);

// The same from the program folder and the recorder's name, without reading
// the profile; none for a name that no profile can have.
std::optional<std::string> DescriptionPath(const std::string& appDir, const std::string& recorder,
                                           std::string_view textFile);
