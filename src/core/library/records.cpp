#include "core/library/records.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

#include "core/library/description_path.h"
#include "core/library/title_store.h"
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

std::size_t WriteTextFileName(char* out, std::string_view date, std::string_view time, std::string_view channel) {
    char* o = out;
    for (std::string_view part : {date, time, channel}) o = std::copy(part.begin(), part.end(), o);
    o = out + CleanDescriptionName(out, static_cast<std::size_t>(o - out));
    std::memcpy(o, ".txt", 5);
    return static_cast<std::size_t>(o + 4 - out);
}

std::string MakeTextFileName(std::string_view date, std::string_view time, std::string_view channel) {
    std::string name(date.size() + time.size() + channel.size() + 5, '\0');
    name.resize(WriteTextFileName(name.data(), date, time, channel));
    return name;
}

const CRDTitleInfo::EMPTY CRDTitleInfo::kEmpty = {{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10}, {}};
// A million titles cost their entries: keep them compact.
static_assert(sizeof(void*) != 8 || sizeof(CRDTitleInfo) <= 32);

CRDTitleInfo::CRDTitleInfo(const CRDTitleInfo& other) { *this = other; }

CRDTitleInfo& CRDTitleInfo::operator=(const CRDTitleInfo& other) {
    if (this == &other) return *this;
    std::string_view texts[TF_COUNT];
    for (int f = 0; f < TF_COUNT; ++f) texts[f] = other.Field(static_cast<TITLE_FIELD>(f));
    SetTexts(texts, other.m_nGenre);
    return *this;
}

void CRDTitleInfo::SetTexts(const std::string_view (&texts)[TF_COUNT], int genre) {
    static_assert(offsetof(EMPTY, text) == sizeof(OFFSETS));
    std::size_t total = 0;
    for (const auto& t : texts) total += t.size() + 1;
    auto* block = static_cast<char*>(::operator new(sizeof(OFFSETS) + total));
    char* const start = block + sizeof(OFFSETS);
    char* out = start;
    auto put = [&out](std::string_view t) {
        // An empty view may hold no pointer at all (a title whose disc is not listed).
        if (!t.empty()) std::memcpy(out, t.data(), t.size());
        out += t.size();
        *out++ = '\0';
    };
    constexpr TITLE_FIELD kOrder[S_COUNT] = {TF_DISC,    TF_TITLE, TF_DATE,     TF_WEEK, TF_TIME,
                                             TF_CHANNEL, TF_GENRE, TF_DISCFREE, TF_PAGE, TF_TEXTFILE};
    OFFSETS offsets{};
    for (int k = 0; k < S_COUNT; ++k) {
        offsets[k] = static_cast<std::uint16_t>(out - start);
        put(texts[kOrder[k]]);
    }
    offsets[S_COUNT] = static_cast<std::uint16_t>(out - start);
    const auto free = static_cast<std::int32_t>(out - start);
    for (int i = 0; i < 5; ++i) put(texts[TF_DISCFREE1 + i]);
    new (block) OFFSETS(offsets);
    // Released only now: the texts may have been this title's own.
    Release();
    m_text = block;
    m_free = free;
    m_nGenre = genre;
}

std::string_view CRDTitleInfo::Remaining(int setting) const {
    if (m_free == FREE_SAME) return Field(TF_DISCFREE);
    if (m_free == FREE_NONE) return std::string_view(kEmpty.text);  // empty, and NUL-terminated for CStr
    if (m_store) return m_store->DiscTime(m_free, setting);
    const char* p = m_text + sizeof(OFFSETS) + m_free;
    for (int i = 0; i < setting; ++i) p += std::strlen(p) + 1;
    return p;
}

std::string_view CRDTitleInfo::StoredFileName() const { return m_store->FileName(*this); }

std::string_view CRDTitleInfo::FileName(std::string& buffer) const {
    if (!m_store) return OwnField(S_TEXTFILE);
    const std::string_view date = Field(TF_DATE), time = Field(TF_TIME), channel = Field(TF_CHANNEL);
    buffer.resize(date.size() + time.size() + channel.size() + 5);
    buffer.resize(WriteTextFileName(buffer.data(), date, time, channel));
    return buffer;
}

void CRDTitleInfo::SetInfo(const TITLEINFO& info) {
    std::string_view fields[TF_TEXTFILE];
    for (int f = 0; f < TF_TEXTFILE; ++f) fields[f] = OrEmpty(info.apszField[f]);
    SetFields(fields, info.nGenre);
}

void CRDTitleInfo::SetFields(std::string_view (&fields)[TF_TEXTFILE], int genre) {
    std::string_view& genreText = fields[TF_GENRE];
    genreText.remove_prefix(GenrePrefixLength(genreText.data(), genreText.size()));

    // Offsets are 16-bit: fifteen fields and a file name made of three of
    // them must fit together. No cache field comes near this guard.
    constexpr std::size_t kFieldGuard = 3000;
    static_assert((TF_COUNT + 3) * kFieldGuard + TF_COUNT + 5 <= 0xFFFF);
    std::string_view texts[TF_COUNT];
    for (int f = 0; f < TF_TEXTFILE; ++f) {
        std::string_view v = fields[f];
        if (v.size() > kFieldGuard) v = v.substr(0, lv::text::CutLength(v, kFieldGuard));
        texts[f] = v;
    }
    const std::string name = MakeTextFileName(texts[TF_DATE], texts[TF_TIME], texts[TF_CHANNEL]);
    texts[TF_TEXTFILE] = name;
    SetTexts(texts, genre);
}

void CRDTitleInfo::GetInfo(TITLEINFO& info) const {
    info.pszRDName = nullptr;
    for (int f = 0; f < TF_COUNT; ++f) info.apszField[f] = CStr(static_cast<TITLE_FIELD>(f));
    info.nGenre = m_nGenre;
}

std::string_view CRDTitleInfo::GetRemaining(int recMode) const {
    return (recMode >= 0 && recMode < 5) ? Remaining(recMode) : Field(TF_DISCFREE);
}
