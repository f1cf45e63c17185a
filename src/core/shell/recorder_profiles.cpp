#include "core/shell/recorder_profiles.h"

#include <algorithm>
#include <filesystem>

#include "core/platform/path.h"
#include "core/text/messages.h"

namespace {

bool PathExists(const std::string& path) {
    std::error_code ec;
    return std::filesystem::exists(std::filesystem::symlink_status(lv::platform::FsPath(path), ec));
}

PROFILE_RESULT Refused(PROFILE_FIELD field, const std::string& message) {
    return {PROFILE_REFUSED, field, message, {}};
}

PROFILE_RESULT Failed(PROFILE_STEP step, const CNetNaviSetting& setting, const std::string& message) {
    return {step, PF_NONE, message, setting.GetErrorText()};
}

PROFILE_RESULT ApplyFields(CNetNaviSetting& setting, const PROFILE_FIELDS& f) {
    namespace msg = lv::msg;
    if (!setting.SetModel(f.strModel)) return Refused(PF_MODEL, msg::BadModel());
    if (!setting.SetHost(f.strHost)) return Refused(PF_HOST, msg::BadHost());
    if (!setting.SetPort(f.nPort)) return Refused(PF_PORT, msg::BadPort());
    if (!setting.SetAuth(f.bAuth)) return Refused(PF_AUTH, msg::BadAuth());
    if (!setting.SetUser(f.strUser)) return Refused(PF_USER, msg::BadUser());
    if (!setting.SetPassword(f.strPassword)) return Refused(PF_PASSWORD, msg::BadPassword());
    return {};
}

// Moves `setting` to `name`, deleting another recorder's files there first.
PROFILE_RESULT MoveTo(CNetNaviSetting& setting, const std::string& name, const ConfirmOverwrite& confirm,
                      const RECORDER_LIST* list) {
    const std::string& appDir = setting.GetAppDir();
    const bool listed = list && list->pNames;
    if (RecorderFilesExist(appDir, name) &&
        !(listed && IsInterruptedRename(appDir, setting.GetName(), name, *list->pNames))) {
        const bool orphan = listed && IsOrphanProfile(appDir, name, *list->pNames);
        if (!orphan && (!confirm || !confirm(name))) return {PROFILE_DECLINED, PF_NONE, {}, {}};
        CNetNaviSetting other(appDir);
        other.SetName(name);
        // What could not be removed would block the rename.
        if (!other.Delete()) return Failed(PROFILE_OVERWRITE_FAILED, other, {});
    }
    if (!setting.Rename(name)) return Failed(PROFILE_RENAME_FAILED, setting, lv::msg::SaveFailed());
    return {};
}

// Puts the new name into the list and writes the document; on failure the
// names are as before and the files go back to the old name.
PROFILE_RESULT Commit(CNetNaviSetting& setting, const std::string& oldName, RECORDER_LIST& list) {
    std::vector<std::string>& names = *list.pNames;
    const std::vector<std::string> before = names;
    const int index = list.nIndex;
    if (index >= 0)
        RenameRecorderName(names, list.nIndex, setting.GetName());
    else
        AddRecorderName(names, setting.GetName());
    if (!list.save || list.save()) return {};
    names = before;
    list.nIndex = index;
    if (!oldName.empty()) setting.Rename(oldName);
    return {PROFILE_DOCUMENT_FAILED, PF_NONE, lv::msg::SaveFailed(), {}};
}

}  // namespace

bool LoadProfileFields(CNetNaviSetting& setting, const std::string& name, PROFILE_FIELDS& fields) {
    if (!setting.SetName(name) || !setting.Load()) return false;
    fields.strModel = setting.GetModel();
    fields.strHost = setting.GetHost();
    fields.nPort = setting.GetPort();
    fields.bAuth = setting.GetAuth();
    fields.strUser = setting.GetUser();
    fields.strPassword = setting.GetPassword();
    return true;
}

bool RecorderFilesExist(const std::string& appDir, const std::string& name) {
    CNetNaviSetting probe(appDir);
    if (!probe.SetName(name)) return false;
    // The cache folder without its separator: a plain file there blocks it too.
    std::string folder = probe.GetCacheFolder();
    folder.pop_back();
    return PathExists(probe.GetIniPath()) || PathExists(folder);
}

bool IsOrphanProfile(const std::string& appDir, const std::string& name, const std::vector<std::string>& listed) {
    CNetNaviSetting probe(appDir);
    if (!probe.SetName(name) || std::find(listed.begin(), listed.end(), name) != listed.end()) return false;
    std::string folder = probe.GetCacheFolder();
    folder.pop_back();
    return PathExists(probe.GetIniPath()) && !PathExists(folder);
}

bool IsInterruptedRename(const std::string& appDir, const std::string& oldName, const std::string& newName,
                         const std::vector<std::string>& listed) {
    CNetNaviSetting from(appDir), to(appDir);
    if (!from.SetName(oldName) || !to.SetName(newName) || oldName == newName) return false;
    const auto isListed = [&listed](const std::string& n) {
        return std::find(listed.begin(), listed.end(), n) != listed.end();
    };
    return isListed(oldName) && !isListed(newName) && !PathExists(from.GetIniPath()) && PathExists(to.GetIniPath());
}

PROFILE_RESULT SaveProfile(CNetNaviSetting& setting, const PROFILE_FIELDS& fields, const std::string& name,
                           const ConfirmOverwrite& confirm, RECORDER_LIST* list) {
    if (PROFILE_RESULT r = ApplyFields(setting, fields); !r.Ok()) return r;
    // Checked last. An empty name is refused too: it would save into the
    // application's own settings file and leave a nameless entry.
    if (!CNetNaviSetting::IsValidName(name)) return Refused(PF_NAME, lv::msg::BadName());
    if (name != setting.GetName()) {
        const std::string oldName = setting.GetName();
        if (PROFILE_RESULT r = MoveTo(setting, name, confirm, list); !r.Ok()) return r;
        if (list && list->pNames) {
            if (PROFILE_RESULT r = Commit(setting, oldName, *list); !r.Ok()) return r;
        }
    }
    if (!setting.Save()) return Failed(PROFILE_SAVE_FAILED, setting, lv::msg::SaveFailed());
    return {};
}

void AddRecorderName(std::vector<std::string>& names, const std::string& name) {
    if (std::find(names.begin(), names.end(), name) == names.end()) names.push_back(name);
}

bool RenameRecorderName(std::vector<std::string>& names, int& index, const std::string& newName) {
    const auto at = static_cast<std::size_t>(index);
    if (index < 0 || at >= names.size() || names[at] == newName) return false;
    std::size_t other = names.size();
    for (std::size_t i = 0; i < names.size() && other == names.size(); ++i)
        if (i != at && names[i] == newName) other = i;
    names[at] = newName;
    if (other != names.size()) {
        names.erase(names.begin() + static_cast<std::ptrdiff_t>(other));
        if (other < at) --index;
    }
    return true;
}

PROFILE_RESULT DeleteRecorder(const std::string& appDir, std::vector<std::string>& names, int index) {
    const auto at = static_cast<std::size_t>(index);
    if (index < 0 || at >= names.size()) return Refused(PF_NAME, lv::msg::BadName());
    CNetNaviSetting setting(appDir);
    if (!setting.SetName(names[at])) return Refused(PF_NAME, lv::msg::BadName());
    if (!setting.Delete()) return Failed(PROFILE_DELETE_FAILED, setting, {});
    names.erase(names.begin() + index);
    return {};
}
