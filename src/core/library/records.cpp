#include "core/library/records.h"

#include "core/text/cp932.h"

namespace {
const char* OrEmpty(const char* p) { return p ? p : ""; }
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
    std::string name;
    name.reserve(date.size() + time.size() + channel.size() + 4);
    name.append(date).append(time).append(channel).append(".txt");
    // The backslash goes too, so that no name can point out of the cache folder.
    return lv::text::RemoveChars(name, "/:\\");
}

void CRDTitleInfo::SetInfo(const TITLEINFO& info) {
    std::string_view fields[TF_COUNT];
    for (int f = 0; f < TF_TEXTFILE; ++f) fields[f] = OrEmpty(info.apszField[f]);
    std::string genre(fields[TF_GENRE]);
    lv::text::TrimLeft(genre, "_ ");
    fields[TF_GENRE] = genre;
    std::string textFile = MakeTextFileName(fields[TF_DATE], fields[TF_TIME], fields[TF_CHANNEL]);
    fields[TF_TEXTFILE] = textFile;

    // Offsets are 16-bit; no cache field comes near this guard.
    constexpr std::size_t kFieldGuard = 4000;
    std::size_t total = 0;
    for (auto& f : fields) {
        f = f.substr(0, lv::text::CutLength(f, kFieldGuard));
        total += f.size() + 1;
    }
    m_data.clear();
    m_data.reserve(total);
    for (int f = 0; f < TF_COUNT; ++f) {
        m_offset[f] = static_cast<std::uint16_t>(m_data.size());
        m_data.append(fields[f]);
        m_data.push_back('\0');
    }
    m_offset[TF_COUNT] = static_cast<std::uint16_t>(m_data.size());
    m_nGenre = info.nGenre;
}

void CRDTitleInfo::GetInfo(TITLEINFO& info) const {
    info.pszRDName = nullptr;
    for (int f = 0; f < TF_COUNT; ++f) info.apszField[f] = CStr(static_cast<TITLE_FIELD>(f));
    info.nGenre = m_nGenre;
}

std::string_view CRDTitleInfo::GetRemaining(int recMode) const {
    return (recMode >= 0 && recMode < 5) ? Field(static_cast<TITLE_FIELD>(TF_DISCFREE1 + recMode))
                                         : Field(TF_DISCFREE);
}
