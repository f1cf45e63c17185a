#pragma once
// The keyword history of the search boxes: most recent first, at most 50
// entries, kept in "Input.dat" in the program folder.
#include <string>
#include <vector>

constexpr int KEYWORD_HISTORY_LIMIT = 50;

// program folder + "Input.dat"
std::string GetHistoryPath(const std::string& appDir);

// Index of the first entry that begins with `text` (ASCII letters compared
// without regard to case, other characters exactly), trying the entries after
// `startAfter` first and wrapping around; -1 when none does.
int FindKeywordPrefix(const std::vector<std::string>& list, const std::string& text, int startAfter);

// Puts `text` at the top: the first entry after the top one (the top one last)
// that begins with it is removed, then the list is cut to the limit. An empty
// text changes nothing.
void AddKeyword(std::vector<std::string>& list, const std::string& text);

// Appends the file's non-empty lines to the list. A missing file is no error;
// false when an existing file cannot be opened or read (what was read stays).
bool LoadHistory(std::vector<std::string>& list, const std::string& path);

// Writes every non-empty entry followed by CR LF. False when the file cannot
// be written; the old file then stays as it was.
bool SaveHistory(const std::vector<std::string>& list, const std::string& path);
