#include "core/library/records.h"

#include <algorithm>
#include <cstring>

#include "core/library/description_path.h"
#include "core/text/cp932.h"

namespace {
using lv::text::OrEmpty;

}  // namespace

void CRDDiscInfo::SetInfo(const DISCINFO& info) {
    m_nFlags = info.nFlags;
    m_strRDName = OrEmpty(info.pszRDName);
    m_strDiscNo = OrEmpty(info.pszDiscNo);
    m_strFree = OrEmpty(info.pszFree);
    m_strLabel = OrEmpty(info.pszLabel);
    const char* free[5] = {info.pszFree1, info.pszFree2, info.pszFree3, info.pszFree4, info.pszFree5};
    for (int i = 0; i < 5; ++i) m_strFreeN[i] = OrEmpty(free[i]);
}

void CRDDiscInfo::GetInfo(DISCINFO& info) const {
    info.nFlags = m_nFlags;
    info.pszRDName = m_strRDName.c_str();
    info.pszDiscNo = m_strDiscNo.c_str();
    info.pszFree = m_strFree.c_str();
    info.pszLabel = m_strLabel.c_str();
    info.pszFree1 = m_strFreeN[0].c_str();
    info.pszFree2 = m_strFreeN[1].c_str();
    info.pszFree3 = m_strFreeN[2].c_str();
    info.pszFree4 = m_strFreeN[3].c_str();
    info.pszFree5 = m_strFreeN[4].c_str();
}

const std::string& CRDDiscInfo::GetRemaining(int recMode) const {
    return (recMode >= 0 && recMode < 5) ? m_strFreeN[recMode] : m_strFree;
}

std::string MakeTextFileName(std::string_view date, std::string_view time, std::string_view channel) {
    std::string name = std::string(date) + std::string(time) + std::string(channel);
    name.resize(CleanDescriptionName(name.data(), name.size()));
    return name + ".txt";
}

void CRDTitleInfo::SetInfo(const TITLEINFO& info) {
    std::string_view fields[TF_TEXTFILE];
    for (int f = 0; f < TF_TEXTFILE; ++f) fields[f] = OrEmpty(info.apszField[f]);
    SetFields(fields, info.nGenre);
}

void CRDTitleInfo::SetFields(std::string_view (&fields)[TF_TEXTFILE], int genre) {
    // Leading "_" and spaces are single-byte characters, so skipping bytes is skipping characters.
    std::string_view& genreText = fields[TF_GENRE];
    while (!genreText.empty() && (genreText.front() == '_' || genreText.front() == ' ')) genreText.remove_prefix(1);

    // Offsets are 16-bit: fourteen fields and a file name made of three of
    // them must fit together. No cache field comes near this guard.
    constexpr std::size_t kFieldGuard = 3000;
    static_assert((TF_TEXTFILE + 3) * kFieldGuard + TF_TEXTFILE + 5 <= 0xFFFF);
    std::size_t total = 0;
    for (auto& f : fields) {
        if (f.size() > kFieldGuard) f = f.substr(0, lv::text::CutLength(f, kFieldGuard));
        total += f.size() + 1;
    }
    total += fields[TF_DATE].size() + fields[TF_TIME].size() + fields[TF_CHANNEL].size() + 5;

    m_data.resize(total);
    char* out = m_data.data();
    for (int f = 0; f < TF_TEXTFILE; ++f) {
        m_offset[f] = static_cast<std::uint16_t>(out - m_data.data());
        // An empty view may hold no pointer at all (a title whose disc is not listed).
        if (!fields[f].empty()) std::memcpy(out, fields[f].data(), fields[f].size());
        out += fields[f].size();
        *out++ = '\0';
    }
    // The description file name is built in place: date, time and channel
    // together, cleaned as every description file name is, then ".txt".
    m_offset[TF_TEXTFILE] = static_cast<std::uint16_t>(out - m_data.data());
    char* name = out;
    for (TITLE_FIELD f : {TF_DATE, TF_TIME, TF_CHANNEL}) {
        if (!fields[f].empty()) std::memcpy(out, fields[f].data(), fields[f].size());
        out += fields[f].size();
    }
    out = name + CleanDescriptionName(name, static_cast<std::size_t>(out - name));
    std::memcpy(out, ".txt", 5);
    out += 5;
    m_data.resize(out - m_data.data());
    m_offset[TF_COUNT] = static_cast<std::uint16_t>(m_data.size());
    m_nGenre = genre;
}

void CRDTitleInfo::GetInfo(TITLEINFO& info) const {
    info.pszRDName = nullptr;
    for (int f = 0; f < TF_COUNT; ++f) info.apszField[f] = CStr(static_cast<TITLE_FIELD>(f));
    info.nGenre = m_nGenre;
}

std::string_view CRDTitleInfo::GetRemaining(int recMode) const {
    return (recMode >= 0 && recMode < 5) ? Field(static_cast<TITLE_FIELD>(TF_DISCFREE1 + recMode)) : Field(TF_DISCFREE);
}
