#pragma once
// The title loader: the lines of a title list into titles, their texts laid
// out in a store.
//
// Levels, simplest first:
// - Plain (title_loader.cpp): a line at a time, found by its LF, each of its
//   fields read by the exact CSV splitter (ParseCsvField). It runs on any
//   processor and compiler, and it is what every other level must give, byte
//   for byte: the tests and the fuzzer hold them to it.
// - SSE2, AVX2 (with BMI2 and POPCNT), AVX-512 (VBMI2, with PCLMUL), in
//   title_loader_x86.cpp, built on x86-64 unless LV_PLAIN_LOADER is set:
//   one line loop made three times. Each 64-byte block of the file is
//   classified once into bit masks of its quotes, commas and line stops (LF
//   or NUL); a line's separators are its commas outside quotes, taken from
//   the masks without a walk over its bytes, and each field is copied from
//   the file straight into the store.
// The widest level the processor runs is chosen once.
//
// A line goes to the exact parser, whatever the level, when the masks cannot
// vouch for its split: it holds a NUL, it is longer than one line's masks
// reach (512 bytes), or a quote of its first thirteen fields does more than
// open or close a field (a doubled quote, a quote inside a field, a field
// left open). Such lines are rare; nearly every line is split by the masks.
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <deque>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/library/csv.h"
#include "core/library/records.h"
#include "core/library/title_store.h"

namespace lv {

// Room that a title's texts never exceed: every kept byte, the NULs, the
// file name and the overrun of a short copy. Without the file name they fit
// in 255 bytes (CRDTitleInfo::ENDS).
constexpr std::size_t kTitleTextsRoom = 512;

// Kept bytes of the thirteen fields of a library line and the text slot each
// goes to: fields 7, 10 and 12 are not kept, 13 is the genre key.
constexpr int kUnusedField = -1, kGenreKey = -2;
inline constexpr std::size_t kTitleFieldRoom[13] = {4, 128, 10, 2, 5, 8, 0, 32, 6, 0, 32, 0, 16};
inline constexpr int kTitleFieldSlot[13] = {CRDTitleInfo::S_DISC,
                                            CRDTitleInfo::S_TITLE,
                                            CRDTitleInfo::S_DATE,
                                            CRDTitleInfo::S_WEEK,
                                            CRDTitleInfo::S_TIME,
                                            CRDTitleInfo::S_CHANNEL,
                                            kUnusedField,
                                            CRDTitleInfo::S_GENRE,
                                            CRDTitleInfo::S_DISCFREE,
                                            kUnusedField,
                                            CRDTitleInfo::S_PAGE,
                                            kUnusedField,
                                            kGenreKey};

// The exact parser. Lays out one library line (`length` bytes, then a NUL;
// an earlier NUL ends its text) at out as a title's texts, in TEXT_SLOT
// order, and returns the bytes written; out has kTitleTextsRoom bytes.
std::size_t ParseTitleTexts(const char* line, std::size_t length, CSV_MODE mode, char* out, CRDTitleInfo::OFFSETS& off,
                            int& genre);
// A genre key as two numbers of at most five digits each, like "%05d%05d";
// 0 when it is not.
int ParseGenreCode(const char* key);

// The length of the line from `line` to `next` (past its LF, or the end of
// the bytes) without its line end and trailing spaces, as the line reader
// trims it.
std::size_t TitleLineLength(const char* line, const char* next);

// A disc number of up to four bytes as one integer (its length included), so
// that a title finds its disc's index without hashing a string. Four bytes
// must be readable at no.data().
constexpr std::uint64_t kNoDiscKey = ~std::uint64_t{0};
inline std::uint64_t DiscKey(std::string_view no) {
    static_assert(DISC_NO_LIMIT == 4);
    if (no.size() > DISC_NO_LIMIT) return kNoDiscKey;
    std::uint32_t bytes;
    std::memcpy(&bytes, no.data(), 4);
    return (bytes & ((std::uint64_t{1} << (8 * no.size())) - 1)) | std::uint64_t{no.size()} << 32;
}

// Disc number -> index of the first disc with it, for the lookup every title makes.
class CDiscIndex {
public:
    explicit CDiscIndex(const std::vector<CRDDiscInfo>& discs);
    // -1 when no disc has the number; four bytes must be readable at no.data().
    int Find(std::string_view no) {
        const std::uint64_t k = DiscKey(no);
        if (k == m_lastKey) return m_lastIndex;
        auto it = std::lower_bound(m_keys.begin(), m_keys.end(), k,
                                   [](const auto& e, std::uint64_t v) { return e.first < v; });
        m_lastKey = k;
        m_lastIndex = (k != kNoDiscKey && it != m_keys.end() && it->first == k) ? it->second : -1;
        return m_lastIndex;
    }

private:
    std::vector<std::pair<std::uint64_t, int>> m_keys;
    std::uint64_t m_lastKey = kNoDiscKey;
    int m_lastIndex = -1;
};

// The loader's levels, simplest first (see above).
enum class LoaderLevel { Plain, Sse2, Avx2, Avx512 };
// The widest level this build runs on this processor.
LoaderLevel TopLoaderLevel();
// Loads use at most this level from then on: tests and benchmarks compare
// the levels against the plain one. The top level by default.
void CapLoaderLevel(LoaderLevel level);

// One load of a title list: its lines into `titles`, their texts into `store`.
class CTitleLoad {
public:
    CTitleLoad(CTitleStore& store, const std::vector<CRDDiscInfo>& discs, int modelClass, CSV_MODE mode,
               std::vector<CRDTitleInfo>& titles);

    // Every whole line of data (size bytes, then BlockReader::kTail zeros)
    // into a title; returns where the unfinished last line starts, when more
    // bytes are to come.
    std::size_t Take(const char* data, std::size_t size, bool atEnd) { return m_lines(*this, data, size, atEnd); }

    // The parts the levels share.
    CTitleStore& Store() { return m_store; }
    // A line by the exact parser; `length` bytes at line, a NUL among them
    // ending its text.
    void AddExact(const char* line, std::size_t length);
    // The title whose texts are at `texts` in the store, committed.
    void Add(const char* texts, const CRDTitleInfo::ENDS& ends, std::string_view discNo, int genre) {
        m_titles.emplace_back(&m_store, texts, ends, DiscOf(discNo), genre);
    }

private:
    // no: in the store's room, where four bytes may be read.
    std::int32_t DiscOf(std::string_view no) {
        if (m_modelClass == 1) return CRDTitleInfo::FREE_SAME;
        const int d = m_discs.Find(no);
        return d < 0 ? CRDTitleInfo::FREE_NONE : static_cast<std::int32_t>(d);
    }

    using LINES = std::size_t (*)(CTitleLoad&, const char*, std::size_t, bool);
    CTitleStore& m_store;
    CDiscIndex m_discs;
    int m_modelClass;
    CSV_MODE m_mode;
    std::vector<CRDTitleInfo>& m_titles;
    LINES m_lines;
    std::string m_line;  // a line for the exact parser, NUL-terminated
};

// A scan of a title list for the ids of its titles, each field read as a
// load reads it, nothing kept: the views point into the bytes handed in, or
// for lines the exact parser reads, into texts the scan holds until Forget.
class CTitleIdScan {
public:
    explicit CTitleIdScan(CSV_MODE mode);

    // The ids of every whole line of data (size bytes, then bytes that may
    // be read up to 64 past them) to ids; returns where the unfinished last
    // line starts, when more bytes are to come.
    std::size_t Take(const char* data, std::size_t size, bool atEnd, std::vector<TITLE_ID_VIEW>& ids) {
        return m_lines(*this, data, size, atEnd, ids);
    }
    // Drops the texts of the lines the exact parser read.
    void Forget() { m_texts.clear(); }

    // A line by the exact parser, as CTitleLoad::AddExact.
    void AddExact(const char* line, std::size_t length, TITLE_ID_VIEW& id);

private:
    using LINES = std::size_t (*)(CTitleIdScan&, const char*, std::size_t, bool, std::vector<TITLE_ID_VIEW>&);
    CSV_MODE m_mode;
    LINES m_lines;
    std::string m_line;
    std::deque<std::array<char, kTitleTextsRoom>> m_texts;  // never moved: the views stay
};

// The line loops of the vector levels, where built (title_loader_x86.cpp).
std::size_t LoadLinesSse2(CTitleLoad& load, const char* data, std::size_t size, bool atEnd);
std::size_t LoadLinesAvx2(CTitleLoad& load, const char* data, std::size_t size, bool atEnd);
std::size_t LoadLinesAvx512(CTitleLoad& load, const char* data, std::size_t size, bool atEnd);
std::size_t ScanIdLinesSse2(CTitleIdScan& scan, const char* data, std::size_t size, bool atEnd,
                            std::vector<TITLE_ID_VIEW>& ids);
std::size_t ScanIdLinesAvx2(CTitleIdScan& scan, const char* data, std::size_t size, bool atEnd,
                            std::vector<TITLE_ID_VIEW>& ids);
std::size_t ScanIdLinesAvx512(CTitleIdScan& scan, const char* data, std::size_t size, bool atEnd,
                              std::vector<TITLE_ID_VIEW>& ids);

}  // namespace lv
