#include "core/library/description_path.h"

#include "core/settings/netnavi_setting.h"
#include "core/text/cp932.h"

std::size_t CleanDescriptionName(char* s, std::size_t n) {
    std::size_t out = 0;
    for (std::size_t i = 0; i < n;) {
        const auto c = static_cast<unsigned char>(s[i]);
        if (lv::text::IsLeadByte(c)) {
            if (i + 1 < n && lv::text::IsTrailByte(static_cast<unsigned char>(s[i + 1]))) {
                s[out++] = s[i];
                s[out++] = s[i + 1];
                i += 2;
            } else {
                ++i;
            }
            continue;
        }
        if (c != '/' && c != ':' && c != '\\') s[out++] = s[i];
        ++i;
    }
    return out;
}

std::string DescriptionFileName(std::string_view textFile) {
    std::string name(textFile);
    name.resize(CleanDescriptionName(name.data(), name.size()));
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
