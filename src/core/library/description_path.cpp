#include "core/library/description_path.h"

#include "core/settings/netnavi_setting.h"
#include "core/text/cp932.h"

std::string DescriptionFileName(std::string_view textFile) {
    std::string name = lv::text::RemoveChars(textFile, "/\\:");
    if (name == "." || name == "..") name.clear();
    return name;
}

std::string DescriptionPath(const std::string& cacheFolder, std::string_view textFile) {
    return cacheFolder + DescriptionFileName(textFile);
}

std::optional<std::string> DescriptionPath(const std::string& appDir, const std::string& recorder,
                                           std::string_view textFile) {
    CNetNaviSetting setting(appDir);
    if (!setting.SetName(recorder)) return std::nullopt;
    return DescriptionPath(setting.GetCacheFolder(), textFile);
}
