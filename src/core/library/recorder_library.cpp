#include "core/library/recorder_library.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <stdexcept>

#include "core/library/csv.h"
#include "core/library/description_path.h"
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

using OFFSETS = CRDTitleInfo::OFFSETS;

// Room a title's texts may need beyond its line: NULs and the file name.
constexpr std::size_t kLineExtra = 64;

// Copies the n bytes of a field. Most are short: those move a fixed 16 bytes,
// for which both sides have room (the output's extra room, the line's slack).
inline void CopyField(char* out, const char* in, std::size_t n) {
    static_assert(16 + 2 <= lv::LINE_SLACK && 16 + 2 <= kLineExtra);
    if (n <= 16)
        std::memcpy(out, in, 16);
    else
        std::memcpy(out, in, n);
}

// One field at p of a line whose NUL is at end. The forms nearly every field
// has (unquoted, or quoted without a quote inside) are taken here, which is
// the same in both quoting modes; any other goes through the full splitter.
inline const char* TakeField(const char* p, const char* end, char* out, std::size_t room, std::size_t& n,
                             CSV_MODE mode) {
    // Fields are short: a plain loop beats a call to memchr.
    if (*p != '"') {
        const char* e = p;
        while (e != end && *e != ',') ++e;
        n = std::min(static_cast<std::size_t>(e - p), room);
        CopyField(out, p, n);
        return e == end ? e : e + 1;
    }
    const char* q = p + 1;
    while (q != end && *q != '"') ++q;
    if (q != end && (q[1] == ',' || q + 1 == end)) {
        n = std::min(static_cast<std::size_t>(q - p - 1), room);
        CopyField(out, p + 1, n);
        return q[1] == ',' ? q + 2 : q + 1;
    }
    return ParseCsvField(p, out, room, n, mode);
}

// Lays out one library line at out as a title's texts (CRDTitleInfo::TEXT_SLOT
// order) and returns the bytes written; out has room for the line plus
// kLineExtra. Fields are parsed straight into place: no field buffers.
std::size_t ParseTitleTexts(const char* line, std::size_t length, CSV_MODE mode, char* out, OFFSETS& off, int& genre) {
    // The line ends at its first NUL, wherever that is.
    const auto* end = static_cast<const char*>(std::memchr(line, '\0', length + 1));
    // Kept bytes of the thirteen fields (0: not used) and the slot each goes to.
    static constexpr std::size_t kRoom[13] = {4, 128, 10, 2, 5, 8, 0, 32, 6, 0, 32, 0, 16};
    constexpr int kUnused = -1, kKey = -2;
    static constexpr int kSlotOf[13] = {CRDTitleInfo::S_DISC,
                                        CRDTitleInfo::S_TITLE,
                                        CRDTitleInfo::S_DATE,
                                        CRDTitleInfo::S_WEEK,
                                        CRDTitleInfo::S_TIME,
                                        CRDTitleInfo::S_CHANNEL,
                                        kUnused,
                                        CRDTitleInfo::S_GENRE,
                                        CRDTitleInfo::S_DISCFREE,
                                        kUnused,
                                        CRDTitleInfo::S_PAGE,
                                        kUnused,
                                        kKey};
    char key[17];
    const char* p = line;
    char* o = out;
    for (int i = 0; i < 13; ++i) {
        const int slot = kSlotOf[i];
        std::size_t n = 0;
        if (p) p = TakeField(p, end, slot == kKey ? key : o, kRoom[i], n, mode);
        if (slot == kKey) {
            key[n] = '\0';
        } else if (slot != kUnused) {
            off[slot] = static_cast<std::uint16_t>(o - out);
            if (slot == CRDTitleInfo::S_GENRE) {
                // Leading "_" and spaces are single-byte characters: skipping bytes skips characters.
                std::size_t lead = 0;
                while (lead < n && (o[lead] == '_' || o[lead] == ' ')) ++lead;
                if (lead) std::memmove(o, o + lead, n - lead);
                n -= lead;
            }
            o[n] = '\0';
            o += n + 1;
        }
    }
    // The description file name: date, time and channel together, cleaned as
    // every description file name is, then ".txt".
    off[CRDTitleInfo::S_TEXTFILE] = static_cast<std::uint16_t>(o - out);
    char* name = o;
    for (int s : {CRDTitleInfo::S_DATE, CRDTitleInfo::S_TIME, CRDTitleInfo::S_CHANNEL}) {
        const std::size_t n = off[s + 1] - off[s] - 1U;
        std::memcpy(o, out + off[s], n);
        o += n;
    }
    o = name + CleanDescriptionName(name, static_cast<std::size_t>(o - name));
    std::memcpy(o, ".txt", 5);
    o += 5;
    off[CRDTitleInfo::S_COUNT] = static_cast<std::uint16_t>(o - out);
    genre = ParseGenreCode(key);
    return static_cast<std::size_t>(o - out);
}

// A growing byte buffer whose tail is never initialised: pages that the load
// does not reach cost nothing.
class CTextBuffer {
public:
    explicit CTextBuffer(std::size_t capacity)
        : m_data(std::make_unique_for_overwrite<char[]>(capacity)), m_cap(capacity) {}
    char* Room(std::size_t n) {
        if (m_cap - m_size < n) {
            const std::size_t cap = std::max(m_cap * 2, m_size + n);
            auto data = std::make_unique_for_overwrite<char[]>(cap);
            if (m_size) std::memcpy(data.get(), m_data.get(), m_size);
            m_data = std::move(data);
            m_cap = cap;
        }
        return m_data.get() + m_size;
    }
    void Commit(std::size_t n) { m_size += n; }
    void AppendText(const std::string& s) {
        char* o = Room(s.size() + 1);
        std::memcpy(o, s.c_str(), s.size() + 1);
        Commit(s.size() + 1);
    }
    std::size_t Size() const { return m_size; }
    const char* Data() const { return m_data.get(); }
    std::unique_ptr<char[]> Release() { return std::move(m_data); }

private:
    std::unique_ptr<char[]> m_data;
    std::size_t m_cap;
    std::size_t m_size = 0;
};

// A disc number of up to four bytes as one integer (its length included), so
// that a title finds its disc's index without hashing a string.
constexpr std::uint64_t kNoKey = ~std::uint64_t{0};
std::uint64_t DiscKey(std::string_view no) {
    if (no.size() > DISC_NO_LIMIT) return kNoKey;
    std::uint64_t k = no.size();
    for (char c : no) k = (k << 8) | static_cast<unsigned char>(c);
    return k;
}

// Disc number -> index of the first disc with it, for the lookup every title makes.
class CDiscIndex {
public:
    explicit CDiscIndex(const std::vector<CRDDiscInfo>& discs) {
        for (std::size_t i = 0; i < discs.size(); ++i) {
            const std::uint64_t k = DiscKey(discs[i].m_strDiscNo);
            if (k != kNoKey) m_keys.emplace_back(k, static_cast<int>(i));
        }
        std::stable_sort(m_keys.begin(), m_keys.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
        m_keys.erase(
            std::unique(m_keys.begin(), m_keys.end(), [](const auto& a, const auto& b) { return a.first == b.first; }),
            m_keys.end());
    }
    // -1 when no disc has the number.
    int Find(std::string_view no) {
        const std::uint64_t k = DiscKey(no);
        if (k == m_lastKey) return m_lastIndex;
        auto it = std::lower_bound(m_keys.begin(), m_keys.end(), k,
                                   [](const auto& e, std::uint64_t v) { return e.first < v; });
        m_lastKey = k;
        m_lastIndex = (k != kNoKey && it != m_keys.end() && it->first == k) ? it->second : -1;
        return m_lastIndex;
    }

private:
    std::vector<std::pair<std::uint64_t, int>> m_keys;
    std::uint64_t m_lastKey = kNoKey;
    int m_lastIndex = -1;
};

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
    return !reader.Failed();
}

bool CRDRecorderLibrary::LoadTitleList(const std::string& path) {
    lv::LineReader reader;
    if (!reader.Open(path)) return false;
    const int modelClass = GetModelClass();
    const CSV_MODE mode = ModeFor(modelClass);
    // The titles' texts are smaller than their lines; a file of very short
    // lines makes the buffer grow.
    const std::size_t size = reader.SizeHint();
    CTextBuffer text(size + size / 8 + 4096);
    // Each disc's remaining times, copied once at load: its titles point at them.
    std::vector<std::size_t> discFree;
    if (modelClass != 1) {
        for (const CRDDiscInfo& d : m_aDiscs) {
            discFree.push_back(text.Size());
            for (const std::string& f : d.m_strFreeN) text.AppendText(f);
        }
    }
    CDiscIndex discs(m_aDiscs);
    const std::size_t first = m_aTitles.size();
    std::vector<std::size_t> starts;
    // Room for lines of a typical length, so that the entries are not moved
    // while they grow; pages of room that stays unused are never touched.
    const std::size_t expected = size / 64 + 16;
    m_aTitles.reserve(first + expected);
    starts.reserve(expected);
    char* line;
    std::size_t length;
    while (reader.Next(line, length)) {
        length = lv::TrimmedLength(line, length, true);
        if (length == 0) continue;
        line[length] = '\0';
        char* out = text.Room(length + kLineExtra);
        OFFSETS off;
        int genre = 0;
        const std::size_t n = ParseTitleTexts(line, length, mode, out, off, genre);
        std::int32_t free = CRDTitleInfo::FREE_SAME;
        if (modelClass != 1) {
            const int d = discs.Find(std::string_view(out, off[1] - 1U));
            free = d < 0 ? CRDTitleInfo::FREE_NONE
                         : static_cast<std::int32_t>(discFree[static_cast<std::size_t>(d)]) -
                               static_cast<std::int32_t>(text.Size());
        }
        starts.push_back(text.Size());
        text.Commit(n);
        m_aTitles.emplace_back().Borrow(nullptr, off, free, genre);
    }
    // The buffer no longer moves: point the new titles into it.
    for (std::size_t i = 0; i < starts.size(); ++i) m_aTitles[first + i].Rebase(text.Data() + starts[i]);
    m_aText.push_back(text.Release());
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
    const std::size_t length = std::strlen(line);
    // The parser may read past the line's end, as it may in a reader's buffer.
    std::string padded(line, length);
    padded.resize(length + 1 + lv::LINE_SLACK);
    auto buf = std::make_unique<char[]>(length + kLineExtra);
    OFFSETS off;
    int genre = 0;
    ParseTitleTexts(padded.c_str(), length, ModeFor(modelClass), buf.get(), off, genre);
    CRDTitleInfo parsed;
    parsed.Borrow(buf.get(), off, modelClass == 1 ? CRDTitleInfo::FREE_SAME : CRDTitleInfo::FREE_NONE, genre);
    title = parsed;  // a copy owns its texts
    if (modelClass == 1) return;
    const CRDDiscInfo* disc = lib.FindDisc(title.Field(TF_DISC));
    if (!disc) return;
    // The disc's remaining times are copied: later changes of the disc do not reach the title.
    TITLEINFO v;
    title.GetInfo(v);
    for (int i = 0; i < 5; ++i) v.apszField[TF_DISCFREE1 + i] = disc->m_strFreeN[i].c_str();
    title.SetInfo(v);
    title.m_nGenre = genre;
}
