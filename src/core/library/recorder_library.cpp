#include "core/library/recorder_library.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <stdexcept>

#include "core/library/csv.h"
#include "core/library/line_reader.h"
#include "core/library/title_loader.h"
#include "core/library/title_store.h"
#include "core/platform/memory.h"
#include "core/settings/models.h"

namespace {

constexpr int kHeaderFields = 8;
constexpr std::size_t kHeaderFieldSize = 32;

void CheckIndex(int index, std::size_t count) {
    if (index < 0 || static_cast<std::size_t>(index) >= count) throw std::out_of_range("index out of range");
}

CSV_MODE ModeFor(int modelClass) { return modelClass == 1 ? CSV_PLAIN : CSV_DOUBLED; }

using OFFSETS = CRDTitleInfo::OFFSETS;

// Gives `advice` for the whole pages of `page` bytes inside [p, p + n).
void Advise(void* p, std::size_t n, std::uintptr_t page, void (*advice)(void*, std::size_t)) {
    const auto at = reinterpret_cast<std::uintptr_t>(p);
    const auto begin = (at + page - 1) & ~(page - 1);
    const auto end = (at + n) & ~(page - 1);
    if (end > begin) advice(static_cast<char*>(p) + (begin - at), end - begin);
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
    for (const CRDDiscInfo& d : m_aDiscs)
        if (d.m_strDiscNo == discNo) return &d;
    return nullptr;
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
    }
    if (reader.Failed()) errno = reader.Error();
    return !reader.Failed();
}

bool CRDRecorderLibrary::LoadTitleList(const std::string& path, const std::function<bool()>& stopped) {
    lv::BlockReader file;
    if (!file.Open(path)) return false;
    const int modelClass = GetModelClass();
    const CSV_MODE mode = ModeFor(modelClass);
    // The kept texts are smaller than their lines; a file of very short lines
    // takes a further chunk.
    auto store = std::make_unique<CTitleStore>(file.SizeHint() + 4096);
    if (modelClass != 1)
        for (const CRDDiscInfo& d : m_aDiscs) store->AddDisc(d.m_strFreeN);
    // Room for lines of a typical length; pages of room that stays unused are
    // never touched.
    m_aTitles.reserve(m_aTitles.size() + file.SizeHint() / 64 + 16);
    // Huge pages: the entries of a million titles would otherwise cost ten
    // thousand page faults.
    auto room = [this] {
        return std::pair(static_cast<void*>(m_aTitles.data() + m_aTitles.size()),
                         (m_aTitles.capacity() - m_aTitles.size()) * sizeof(CRDTitleInfo));
    };
    Advise(room().first, room().second, std::uintptr_t{2} << 20, lv::platform::AdviseHugePages);
    lv::CTitleLoad load(*store, m_aDiscs, modelClass, mode, m_aTitles);
    bool ok = true;
    for (std::size_t keep = 0; ok;) {
        ok = file.Next(keep);
        keep = load.Take(file.Data(), file.Size(), file.AtEnd());
        if (file.AtEnd()) break;
        if (stopped && stopped()) ok = false;
    }
    // What the load reached of a huge page but did not use goes back.
    Advise(room().first, room().second, lv::platform::PageSize(), lv::platform::DiscardPages);
    store->ReleaseUnused();
    m_aStores.push_back(std::move(store));
    if (file.Error()) errno = file.Error();
    return ok;
}

bool CRDRecorderLibrary::ScanTitleIds(const std::string& path, const IDS_SEEN& each, std::uint64_t from,
                                      std::uint64_t to) const {
    lv::BlockReader file;
    if (!file.Open(path, from)) return false;
    std::uint64_t dataAt = from;  // where the bytes held start in the file
    lv::CTitleIdScan scan(ModeFor(GetModelClass()));
    std::vector<TITLE_ID_VIEW> ids;
    bool ok = true;
    for (std::size_t keep = 0; ok;) {
        ok = file.Next(keep);
        // `to` starts a line: the lines before it end within the bytes up to it.
        const bool last = to - dataAt <= file.Size();
        const std::size_t size = last ? static_cast<std::size_t>(to - dataAt) : file.Size();
        keep = scan.Take(file.Data(), size, last || file.AtEnd(), ids);
        dataAt += keep;
        ok = ok && each(ids);
        ids.clear();
        scan.Forget();
        if (last || file.AtEnd()) break;
    }
    if (file.Error()) errno = file.Error();
    return ok;
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
    char buf[lv::kTitleTextsRoom];
    OFFSETS off;
    int genre = 0;
    lv::ParseTitleTexts(line, std::strlen(line), ModeFor(modelClass), buf, off, genre);
    auto slot = [&](int k) { return std::string_view(buf + off[k], off[k + 1] - off[k] - 1U); };
    std::string_view texts[TF_COUNT] = {slot(CRDTitleInfo::S_DISC),
                                        slot(CRDTitleInfo::S_TITLE),
                                        slot(CRDTitleInfo::S_GENRE),
                                        slot(CRDTitleInfo::S_DATE),
                                        slot(CRDTitleInfo::S_WEEK),
                                        slot(CRDTitleInfo::S_TIME),
                                        slot(CRDTitleInfo::S_CHANNEL),
                                        slot(CRDTitleInfo::S_DISCFREE),
                                        {},
                                        {},
                                        {},
                                        {},
                                        {},
                                        slot(CRDTitleInfo::S_PAGE),
                                        slot(CRDTitleInfo::S_TEXTFILE)};
    // The disc's remaining times are copied: later changes of the disc do not reach the title.
    const CRDDiscInfo* disc = modelClass == 1 ? nullptr : lib.FindDisc(texts[TF_DISC]);
    for (int i = 0; i < 5; ++i)
        texts[TF_DISCFREE1 + i] = modelClass == 1 ? texts[TF_DISCFREE]
                                  : disc          ? std::string_view(disc->m_strFreeN[i])
                                                  : std::string_view();
    title.SetTexts(texts, genre);
}
