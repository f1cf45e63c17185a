#include "core/shell/cache_cleanup.h"

#include <cerrno>
#include <filesystem>
#include <string_view>
#include <system_error>
#include <unordered_set>
#include <vector>

#include "core/ini/atomic_file.h"
#include "core/library/new_titles.h"
#include "core/library/recorder_library.h"
#include "core/library/title_doc.h"
#include "core/platform/file.h"
#include "core/platform/path.h"
#include "core/settings/netnavi_setting.h"
#include "core/text/messages.h"
#include "core/text/system_errors.h"

namespace fs = std::filesystem;
using lv::platform::FsPath;

namespace {

bool LoadProfile(CNetNaviSetting& setting, const std::string& recorder) {
    return setting.SetName(recorder) && setting.Load();
}

std::string ReplaceFirst(const std::string& format, std::string_view token, const std::string& value) {
    std::string s = format;
    std::size_t at = s.find(token);
    if (at != std::string::npos) s.replace(at, token.size(), value);
    return s;
}

// Deletes one file. A read-only file is refused as the recorder's own
// platform refuses it, whoever runs the program.
bool RemoveFile(const std::string& path, CLEANUPRESULT& result) {
    std::error_code ec;
    if (lv::platform::IsReadOnlyFile(path, false)) {
        ec = std::make_error_code(std::errc::permission_denied);
    } else if (!lv::platform::Unlink(path)) {
        ec = std::error_code(errno, std::generic_category());
    }
    if (ec) {
        result.bFailed = true;
        result.strError =
            ReplaceFirst(lv::msg::CannotDelete(), "%s", path) + "\n" + lv::text::SystemErrorText(ec.value());
        return false;
    }
    ++result.nCount;
    return true;
}

// Something other than a folder stands at the path.
bool FileExists(const std::string& path) {
    std::error_code ec;
    fs::file_status st = fs::symlink_status(FsPath(path), ec);
    return !ec && fs::exists(st) && !fs::is_directory(st);
}

bool IsTextFileName(std::string_view name) {
    if (name.size() < 4) return false;
    std::string_view ext = name.substr(name.size() - 4);
    auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; };
    return ext[0] == '.' && lower(ext[1]) == 't' && lower(ext[2]) == 'x' && lower(ext[3]) == 't';
}

// The "*.txt" files of the cache folder in the order the folder lists them;
// folders are never description files. A missing folder has none.
std::vector<std::string> DescriptionFiles(const std::string& folder) {
    std::vector<std::string> names;
    std::error_code ec;
    for (fs::directory_iterator it(FsPath(folder), ec), end; !ec && it != end; it.increment(ec)) {
        std::string name = it->path().filename().string();
        if (!IsTextFileName(name)) continue;
        std::error_code sec;
        if (fs::is_directory(it->symlink_status(sec))) continue;
        names.push_back(std::move(name));
    }
    return names;
}

// What killed transfers left in the cache folder goes with the files it was
// to become; it is no cache file and is not counted.
void RemoveTransferLeftovers(const std::string& folder) {
    lv::RemoveStaleTemps(folder, lv::kTransferTempPrefix, fs::file_time_type::clock::now());
}

}  // namespace

CLEANUPRESULT DeleteLibraryCache(const std::string& appDir, const std::string& recorder) {
    CLEANUPRESULT result;
    CNetNaviSetting setting(appDir);
    if (!LoadProfile(setting, recorder)) return result;
    for (const std::string& path : {setting.GetLibraryPath(), setting.GetDiscPath()}) {
        if (FileExists(path) && !RemoveFile(path, result)) return result;
    }
    // What the last download found new goes with the library it was about;
    // it is no cache file of the recorder's and is not counted.
    std::error_code ec;
    fs::remove(FsPath(NewTitlesPath(setting.GetCacheFolder())), ec);
    lv::RemoveStaleTemps(setting.GetCacheFolder(), std::string(kNewTitlesFile) + ".~",
                         fs::file_time_type::clock::now());
    RemoveTransferLeftovers(setting.GetCacheFolder());
    return result;
}

CLEANUPRESULT DeleteUnusedDescriptions(const CRDTitleDoc& doc, const std::string& appDir, const std::string& recorder) {
    CLEANUPRESULT result;
    CNetNaviSetting setting(appDir);
    if (!LoadProfile(setting, recorder)) return result;
    const CRDRecorderLibrary* library = nullptr;
    for (const auto& rec : doc.GetRecorders()) {
        if (rec->GetName() == recorder) {
            library = rec.get();
            break;
        }
    }
    if (!library) return result;

    std::unordered_set<std::string_view> used;
    for (const CRDTitleInfo& title : library->Titles()) used.insert(title.Field(TF_TEXTFILE));
    const std::string folder = setting.GetCacheFolder();
    for (const std::string& name : DescriptionFiles(folder)) {
        if (used.count(name)) continue;
        if (!RemoveFile(folder + name, result)) break;
    }
    return result;
}

CLEANUPRESULT DeleteAllDescriptions(const std::string& appDir, const std::string& recorder) {
    CLEANUPRESULT result;
    CNetNaviSetting setting(appDir);
    if (!LoadProfile(setting, recorder)) return result;
    const std::string folder = setting.GetCacheFolder();
    for (const std::string& name : DescriptionFiles(folder))
        if (!RemoveFile(folder + name, result)) return result;
    RemoveTransferLeftovers(folder);
    return result;
}

std::string CleanupQuestion(CLEANUP_KIND kind, const std::string& recorder) {
    const std::string& text = kind == CLEANUP_LIBRARY               ? lv::msg::AskDeleteLibrary()
                              : kind == CLEANUP_UNUSED_DESCRIPTIONS ? lv::msg::AskDeleteUnused()
                                                                    : lv::msg::AskDeleteAll();
    return "\"" + recorder + "\"" + text;
}

std::string CleanupResultText(int count) { return ReplaceFirst(lv::msg::CacheDeleted(), "%d", std::to_string(count)); }
