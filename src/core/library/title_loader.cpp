// The plain level of the title loader, the exact parser every level falls
// back to, and the choice of level (see title_loader.h).
#include "core/library/title_loader.h"

#include <atomic>

#include "core/library/line_reader.h"
#include "core/platform/cpu.h"

namespace lv {

namespace {

std::atomic<LoaderLevel> g_cap{LoaderLevel::Avx512};

// Reads one number of at most five digits, as "%5d" does.
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

// Each whole line of the bytes to take(line, length), by its LF; returns
// where the unfinished last line starts, when more bytes are to come.
template <class TAKE>
std::size_t EachLinePlain(const char* data, std::size_t size, bool atEnd, TAKE&& take) {
    const char* p = data;
    const char* const end = data + size;
    while (p < end) {
        const auto* lf = static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(end - p)));
        if (!lf && !atEnd) break;  // the rest comes with the next block
        const char* const line = p;
        p = lf ? lf + 1 : end;
        if (const std::size_t length = TitleLineLength(line, p)) take(line, length);
    }
    return static_cast<std::size_t>(p - data);
}

std::size_t LoadLinesPlain(CTitleLoad& load, const char* data, std::size_t size, bool atEnd) {
    return EachLinePlain(data, size, atEnd, [&](const char* line, std::size_t length) { load.AddExact(line, length); });
}

std::size_t ScanIdLinesPlain(CTitleIdScan& scan, const char* data, std::size_t size, bool atEnd,
                             std::vector<TITLE_ID_VIEW>& ids) {
    return EachLinePlain(data, size, atEnd, [&](const char* line, std::size_t length) {
        scan.AddExact(line, length, ids.emplace_back());
    });
}

LoaderLevel ChosenLevel() { return std::min(TopLoaderLevel(), g_cap.load()); }

}  // namespace

int ParseGenreCode(const char* key) {
    const char* p = key;
    int major = 0, minor = 0;
    if (!ReadNumber(p, major) || !ReadNumber(p, minor)) return 0;
    return static_cast<int>((static_cast<unsigned>(major) << 16) | static_cast<unsigned>(minor));
}

std::size_t ParseTitleTexts(const char* line, std::size_t length, CSV_MODE mode, char* out, CRDTitleInfo::OFFSETS& off,
                            int& genre) {
    const auto* end = static_cast<const char*>(std::memchr(line, '\0', length + 1));
    char key[17] = {};
    const char* p = line;
    char* o = out;
    for (int i = 0; i < 13; ++i) {
        const int slot = kTitleFieldSlot[i];
        std::size_t n = 0;
        // Past a malformed field, or the text's end, every field is empty.
        if (p && p != end) p = ParseCsvField(p, slot == kGenreKey ? key : o, kTitleFieldRoom[i], n, mode);
        if (slot == kGenreKey) {
            key[n] = '\0';
        } else if (slot != kUnusedField) {
            off[slot] = static_cast<std::uint16_t>(o - out);
            if (slot == CRDTitleInfo::S_GENRE) {
                const std::size_t lead = GenrePrefixLength(o, n);
                std::memmove(o, o + lead, n - lead);
                n -= lead;
            }
            o[n] = '\0';
            o += n + 1;
        }
    }
    // The description file name: date, time and channel together, cleaned as
    // every description file name is, then ".txt".
    off[CRDTitleInfo::S_TEXTFILE] = static_cast<std::uint16_t>(o - out);
    auto text = [&](int s) { return std::string_view(out + off[s], off[s + 1] - off[s] - 1U); };
    o +=
        WriteTextFileName(o, text(CRDTitleInfo::S_DATE), text(CRDTitleInfo::S_TIME), text(CRDTitleInfo::S_CHANNEL)) + 1;
    off[CRDTitleInfo::S_COUNT] = static_cast<std::uint16_t>(o - out);
    genre = ParseGenreCode(key);
    return static_cast<std::size_t>(o - out);
}

std::size_t TitleLineLength(const char* line, const char* next) {
    // A line ends at LF, and CR LF counts as LF, as in the line reader.
    std::size_t length = static_cast<std::size_t>(next - line);
    if (length > 0 && next[-1] == '\n') {
        --length;
        if (length > 0 && line[length - 1] == '\r') --length;
    }
    if (length > 0 && (line[length - 1] == ' ' || line[length - 1] == '\r' || line[length - 1] == '\n'))
        length = TrimmedLength(line, length, true);
    return length;
}

CDiscIndex::CDiscIndex(const std::vector<CRDDiscInfo>& discs) {
    for (std::size_t i = 0; i < discs.size(); ++i) {
        const std::string& number = discs[i].m_strDiscNo;
        char no[DISC_NO_LIMIT] = {};  // the number's bytes, then zeros
        std::copy_n(number.begin(), std::min(number.size(), sizeof no), no);
        const std::uint64_t k = number.size() > sizeof no ? kNoDiscKey : DiscKey(std::string_view(no, number.size()));
        if (k != kNoDiscKey) m_keys.emplace_back(k, static_cast<int>(i));
    }
    std::stable_sort(m_keys.begin(), m_keys.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    m_keys.erase(
        std::unique(m_keys.begin(), m_keys.end(), [](const auto& a, const auto& b) { return a.first == b.first; }),
        m_keys.end());
}

LoaderLevel TopLoaderLevel() {
#if defined(LV_VECTOR_LOADER)
    static const LoaderLevel top = platform::VectorLevel() >= 2   ? LoaderLevel::Avx512
                                   : platform::VectorLevel() == 1 ? LoaderLevel::Avx2
                                                                  : LoaderLevel::Sse2;
    return top;
#else
    return LoaderLevel::Plain;
#endif
}

void CapLoaderLevel(LoaderLevel level) { g_cap = level; }

CTitleLoad::CTitleLoad(CTitleStore& store, const std::vector<CRDDiscInfo>& discs, int modelClass, CSV_MODE mode,
                       std::vector<CRDTitleInfo>& titles)
    : m_store(store), m_discs(discs), m_modelClass(modelClass), m_mode(mode), m_titles(titles) {
    switch (ChosenLevel()) {
#if defined(LV_VECTOR_LOADER)
    case LoaderLevel::Avx512: m_lines = &LoadLinesAvx512; break;
    case LoaderLevel::Avx2: m_lines = &LoadLinesAvx2; break;
    case LoaderLevel::Sse2: m_lines = &LoadLinesSse2; break;
#endif
    default: m_lines = &LoadLinesPlain;
    }
}

void CTitleLoad::AddExact(const char* line, std::size_t length) {
    char* const out = m_store.Room(kTitleTextsRoom);
    m_line.assign(line, length);
    CRDTitleInfo::OFFSETS off;
    int genre = 0;
    ParseTitleTexts(m_line.c_str(), length, m_mode, out, off, genre);
    CRDTitleInfo::ENDS ends;
    for (int k = 1; k < CRDTitleInfo::S_TEXTFILE; ++k) ends[k - 1] = static_cast<std::uint8_t>(off[k + 1] - 1U);
    m_store.Commit(off[CRDTitleInfo::S_TEXTFILE]);  // the file name is made when asked for
    Add(out, ends, std::string_view(out, off[CRDTitleInfo::S_TITLE] - 1U), genre);
}

CTitleIdScan::CTitleIdScan(CSV_MODE mode) : m_mode(mode) {
    switch (ChosenLevel()) {
#if defined(LV_VECTOR_LOADER)
    case LoaderLevel::Avx512: m_lines = &ScanIdLinesAvx512; break;
    case LoaderLevel::Avx2: m_lines = &ScanIdLinesAvx2; break;
    case LoaderLevel::Sse2: m_lines = &ScanIdLinesSse2; break;
#endif
    default: m_lines = &ScanIdLinesPlain;
    }
}

void CTitleIdScan::AddExact(const char* line, std::size_t length, TITLE_ID_VIEW& id) {
    char* const out = m_texts.emplace_back().data();
    m_line.assign(line, length);
    CRDTitleInfo::OFFSETS off;
    int genre = 0;
    ParseTitleTexts(m_line.c_str(), length, m_mode, out, off, genre);
    auto text = [&](int k) { return std::string_view(out + off[k], off[k + 1] - off[k] - 1U); };
    id = {text(CRDTitleInfo::S_DATE), text(CRDTitleInfo::S_TIME), text(CRDTitleInfo::S_CHANNEL),
          text(CRDTitleInfo::S_TITLE)};
}

}  // namespace lv
