#include "core/shell/keyword_history.h"

#include <filesystem>
#include <system_error>

#include "core/ini/atomic_file.h"
#include "core/library/line_reader.h"
#include "core/platform/file.h"
#include "core/platform/path.h"
#include "core/text/cp932.h"

std::string GetHistoryPath(const std::string& appDir) { return appDir + "Input.dat"; }

int FindKeywordPrefix(const std::vector<std::string>& list, const std::string& text, int startAfter) {
    const int count = static_cast<int>(list.size());
    if (count == 0) return -1;
    int start = (startAfter < 0 || startAfter >= count) ? 0 : startAfter + 1;
    for (int k = 0; k < count; ++k) {
        int i = (start + k) % count;
        if (lv::text::BeginsWithNoCase(list[i], text)) return i;
    }
    return -1;
}

void AddKeyword(std::vector<std::string>& list, const std::string& text) {
    if (text.empty()) return;
    int found = FindKeywordPrefix(list, text, 0);
    if (found >= 0) list.erase(list.begin() + found);
    list.insert(list.begin(), text);
    if (list.size() > static_cast<std::size_t>(KEYWORD_HISTORY_LIMIT)) list.resize(KEYWORD_HISTORY_LIMIT);
}

bool LoadHistory(std::vector<std::string>& list, const std::string& path) {
    std::error_code ec;
    if (!std::filesystem::exists(lv::platform::FsPath(path), ec)) return true;
    lv::LineReader reader;
    if (!reader.Open(path)) return false;
    std::string line;
    while (reader.Next(line)) {
        while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.pop_back();
        if (!line.empty()) list.push_back(line);
    }
    return !reader.Failed();
}

bool SaveHistory(const std::vector<std::string>& list, const std::string& path) {
    // A read-only history file stays as it is, as it would for every user.
    if (lv::platform::IsSpecialFile(path) || lv::platform::IsReadOnlyFile(path)) return false;

    std::string bytes;
    for (const std::string& entry : list)
        if (!entry.empty()) bytes += entry + "\r\n";
    return lv::WriteFileAtomic(path, bytes);
}
