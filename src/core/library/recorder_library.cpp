#include "core/library/recorder_library.h"

#include <cstdio>
#include <cstring>
#include <stdexcept>

#include "core/library/csv.h"
#include "core/library/line_reader.h"
#include "core/settings/models.h"

namespace {

constexpr int kHeaderFields = 8;
constexpr std::size_t kHeaderFieldSize = 32;

void CheckIndex(int index, std::size_t count) {
    if (index < 0 || static_cast<std::size_t>(index) >= count) throw std::out_of_range("index out of range");
}

CSV_MODE ModeFor(int modelClass) { return modelClass == 1 ? CSV_PLAIN : CSV_DOUBLED; }

// Reads field 13 as two numbers of at most five digits each, like "%05d%05d".
bool ReadNumber(const char*& p, int& value) {
    while (*p == ' ' || *p == '\t' || *p == '\n' || *p == '\r' || *p == '\v' || *p == '\f') ++p;
    const char* start = p;
    bool negative = false;
    int width = 5;
    if (*p == '+' || *p == '-') {
        negative = *p == '-';
        ++p;
        --width;
    }
    int v = 0, digits = 0;
    while (width > 0 && *p >= '0' && *p <= '9') {
        v = v * 10 + (*p++ - '0');
        ++digits;
        --width;
    }
    if (digits == 0) {
        p = start;
        return false;
    }
    value = negative ? -v : v;
    return true;
}

int ParseGenreCode(const char* field) {
    const char* p = field;
    int major = 0, minor = 0;
    if (!ReadNumber(p, major) || !ReadNumber(p, minor)) return 0;
    return static_cast<int>((static_cast<unsigned>(major) << 16) | static_cast<unsigned>(minor));
}

}  // namespace

int CRDRecorderLibrary::GetModelClass() const { return ::GetModelClass(m_strModel); }

void CRDRecorderLibrary::AddModeLabels(const char* const* values, int count) {
    for (int i = 0; i < count; ++i) m_aModeLabels.emplace_back(values && values[i] ? values[i] : "");
}

void CRDRecorderLibrary::GetModeLabels(char* const* buffers, int count) const {
    for (int i = 0; i < count && i < static_cast<int>(m_aModeLabels.size()); ++i) {
        if (!buffers[i]) continue;
        std::snprintf(buffers[i], 32, "%s", m_aModeLabels[i].c_str());
    }
}

int CRDRecorderLibrary::AddDisc(const DISCINFO& info) {
    m_aDiscs.emplace_back().SetInfo(info);
    m_discIndex.emplace(m_aDiscs.back().m_strDiscNo, GetDiscCount() - 1);
    return GetDiscCount() - 1;
}

int CRDRecorderLibrary::AddTitle(const TITLEINFO& info) {
    m_aTitles.emplace_back().SetInfo(info);
    return GetTitleCount() - 1;
}

void CRDRecorderLibrary::GetDiscInfo(int index, DISCINFO& info) const {
    CheckIndex(index, m_aDiscs.size());
    m_aDiscs[index].GetInfo(info);
}

void CRDRecorderLibrary::GetTitleInfo(int index, TITLEINFO& info) const {
    CheckIndex(index, m_aTitles.size());
    m_aTitles[index].GetInfo(info);
    info.pszRDName = m_strName.c_str();
}

const CRDDiscInfo* CRDRecorderLibrary::FindDisc(std::string_view discNo) const {
    thread_local std::string key;
    key.assign(discNo);
    auto it = m_discIndex.find(key);
    return it == m_discIndex.end() ? nullptr : &m_aDiscs[it->second];
}

void CRDRecorderLibrary::FindDisc(const char* discNo, DISCINFO& info) const {
    const CRDDiscInfo* d = FindDisc(std::string_view(discNo ? discNo : ""));
    if (d) {
        d->GetInfo(info);
    } else {
        info = DISCINFO{};
    }
}

bool CRDRecorderLibrary::LoadDiscList(const std::string& path) {
    lv::LineReader reader;
    if (!reader.Open(path)) return false;
    std::string line;
    std::string labels[5];
    if (reader.Next(line))
        lv::TrimLineEnd(line, true);
    else
        line.clear();
    ParseDiscHeader(line.c_str(), labels);
    const char* values[5] = {labels[0].c_str(), labels[1].c_str(), labels[2].c_str(), labels[3].c_str(),
                             labels[4].c_str()};
    AddModeLabels(values, 5);
    const int modelClass = GetModelClass();
    while (reader.Next(line)) {
        lv::TrimLineEnd(line, true);
        if (line.empty()) continue;
        ParseDiscLine(line.c_str(), m_strName, modelClass, m_aDiscs.emplace_back());
        m_discIndex.emplace(m_aDiscs.back().m_strDiscNo, GetDiscCount() - 1);
    }
    return !reader.Failed();
}

bool CRDRecorderLibrary::LoadTitleList(const std::string& path) {
    lv::LineReader reader;
    if (!reader.Open(path)) return false;
    const int modelClass = GetModelClass();
    char* line;
    std::size_t length;
    while (reader.Next(line, length)) {
        length = lv::TrimmedLength(line, length, true);
        if (length == 0) continue;
        line[length] = '\0';
        ParseTitleLine(line, modelClass, *this, m_aTitles.emplace_back());
    }
    return !reader.Failed();
}

void ParseDiscHeader(const char* line, std::string labels[5]) {
    char buf[kHeaderFields][kHeaderFieldSize];
    CSV_FIELD slots[kHeaderFields + 1];
    for (int i = 0; i < kHeaderFields; ++i) slots[i] = {buf[i], kHeaderFieldSize};
    slots[kHeaderFields] = {nullptr, 0};
    SplitCsvLine(line, slots, CSV_PLAIN);
    for (int i = 0; i < 5; ++i) labels[i] = buf[3 + i];
}

void ParseDiscLine(const char* line, const std::string& rdName, int modelClass, CRDDiscInfo& disc) {
    char no[DISC_NO_LIMIT + 1] = {}, label[LABEL_LIMIT + 1], times[6][TIME_FIELD_SIZE];
    CSV_FIELD slots[] = {{no, sizeof no},
                         {label, sizeof label},
                         {times[0], TIME_FIELD_SIZE},
                         {times[1], TIME_FIELD_SIZE},
                         {times[2], TIME_FIELD_SIZE},
                         {times[3], TIME_FIELD_SIZE},
                         {times[4], TIME_FIELD_SIZE},
                         {times[5], TIME_FIELD_SIZE},
                         {nullptr, 0}};
    SplitCsvLine(line, slots, ModeFor(modelClass));
    if (no[3] == '_') no[3] = '\0';
    for (auto& t : times) NormalizeTime(t);
    DISCINFO info{};
    info.nFlags = modelClass <= 1 ? DISC_FLAGS_CLASS01 : DISC_FLAGS_CLASS23;
    info.pszRDName = rdName.c_str();
    info.pszDiscNo = no;
    info.pszFree = times[0];
    info.pszLabel = label;
    const char* per[5];
    for (int i = 0; i < 5; ++i) per[i] = modelClass == 1 ? times[0] : times[1 + i];
    info.pszFree1 = per[0];
    info.pszFree2 = per[1];
    info.pszFree3 = per[2];
    info.pszFree4 = per[3];
    info.pszFree5 = per[4];
    disc.SetInfo(info);
}

void ParseTitleLine(const char* line, int modelClass, const CRDRecorderLibrary& lib, CRDTitleInfo& title) {
    // Kept bytes per field of a library line; fields 7, 10 and 12 are not used.
    char f1[5], f2[129], f3[11], f4[3], f5[6], f6[9], f7[33], f8[33], f9[7], f10[2], f11[33], f12[17], f13[17];
    CSV_FIELD slots[] = {{f1, sizeof f1},   {f2, sizeof f2},   {f3, sizeof f3},   {f4, sizeof f4}, {f5, sizeof f5},
                         {f6, sizeof f6},   {f7, sizeof f7},   {f8, sizeof f8},   {f9, sizeof f9}, {f10, sizeof f10},
                         {f11, sizeof f11}, {f12, sizeof f12}, {f13, sizeof f13}, {nullptr, 0}};
    std::size_t len[13];
    SplitCsvLine(line, slots, ModeFor(modelClass), len);
    std::string_view fields[TF_TEXTFILE];
    fields[TF_DISC] = {f1, len[0]};
    fields[TF_TITLE] = {f2, len[1]};
    fields[TF_DATE] = {f3, len[2]};
    fields[TF_WEEK] = {f4, len[3]};
    fields[TF_TIME] = {f5, len[4]};
    fields[TF_CHANNEL] = {f6, len[5]};
    fields[TF_GENRE] = {f8, len[7]};
    fields[TF_DISCFREE] = {f9, len[8]};
    fields[TF_PAGE] = {f11, len[10]};
    const CRDDiscInfo* disc = modelClass == 1 ? nullptr : lib.FindDisc(fields[TF_DISC]);
    for (int i = 0; i < 5; ++i) {
        std::string_view v;
        if (modelClass == 1)
            v = fields[TF_DISCFREE];
        else if (disc)
            v = disc->m_strFreeN[i];
        fields[TF_DISCFREE1 + i] = v;
    }
    title.SetFields(fields, ParseGenreCode(f13));
}
