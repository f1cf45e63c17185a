#include "core/shell/keyword_history.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "core/library/line_reader.h"
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
    if (!std::filesystem::exists(path, ec)) return true;
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
    namespace fs = std::filesystem;
    // A read-only history file stays as it is, as it would for every user.
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0 && (!S_ISREG(st.st_mode) || !(st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH))))
        return false;

    // Written beside the old file and renamed over it, so that a failed write
    // leaves the old history intact.
    fs::path folder = fs::path(path).parent_path();
    std::string tmp = ((folder.empty() ? fs::path(".") : folder) / "~RDXXXXXX").string();
    int fd = ::mkstemp(tmp.data());
    if (fd < 0) return false;
    ::fchmod(fd, 0644);
    std::FILE* f = ::fdopen(fd, "wb");
    if (!f) {
        ::close(fd);
        std::error_code ec;
        fs::remove(tmp, ec);
        return false;
    }
    bool ok = true;
    for (const std::string& entry : list) {
        if (entry.empty()) continue;
        if (std::fwrite(entry.data(), 1, entry.size(), f) != entry.size() || std::fwrite("\r\n", 1, 2, f) != 2) {
            ok = false;
            break;
        }
    }
    if (std::fclose(f) != 0) ok = false;
    std::error_code ec;
    if (ok) fs::rename(tmp, path, ec);
    if (!ok || ec) {
        fs::remove(tmp, ec);
        return false;
    }
    return true;
}
