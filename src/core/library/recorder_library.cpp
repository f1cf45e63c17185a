#include "core/library/recorder_library.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <bit>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <deque>
#include <stdexcept>
#include <type_traits>

#if defined(__SSE2__)
#include <immintrin.h>
#endif

#include "core/library/csv.h"
#include "core/library/line_reader.h"
#include "core/library/title_store.h"
#include "core/platform/cpu.h"
#include "core/platform/memory.h"
#include "core/settings/models.h"

namespace {

std::atomic<int> g_parserCap{INT_MAX};

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

// The number of eight digits, the first in the lowest byte of a; false when
// a byte is not a digit.
inline bool EightDigits(std::uint64_t a, std::uint64_t& value) {
    constexpr std::uint64_t kZeros = 0x3030303030303030, kHigh = 0x8080808080808080;
    // A byte outside "0" to "9" sets its high bit in one of the three.
    if (((a | (a + 0x4646464646464646) | (a - kZeros)) & kHigh) != 0) return false;
    std::uint64_t v = a - kZeros;
    v = (v * 10 + (v >> 8)) & 0x00FF00FF00FF00FF;
    v = (v * 100 + (v >> 16)) & 0x0000FFFF0000FFFF;
    value = (v * 10000 + (v >> 32)) & 0xFFFFFFFF;
    return true;
}

// Nearly every genre key is ten digits, the two numbers of five: each is
// read as eight digits, three zeros and its five. False for any other key.
inline bool ReadTenDigits(const char* key, std::size_t n, int& code) {
    static_assert(std::endian::native == std::endian::little);
    if (n != 10) return false;
    std::uint64_t a, b, major, minor;
    std::memcpy(&a, key, 8);
    std::memcpy(&b, key + 2, 8);
    constexpr std::uint64_t kThreeZeros = 0x303030, kLowThree = 0xFFFFFF;
    if (!EightDigits(a << 24 | kThreeZeros, major) || !EightDigits((b & ~kLowThree) | kThreeZeros, minor)) return false;
    code = static_cast<int>(static_cast<unsigned>(major) << 16 | static_cast<unsigned>(minor));
    return true;
}

int ParseGenreCode(const char* field) {
    const char* p = field;
    int major = 0, minor = 0;
    if (!ReadNumber(p, major) || !ReadNumber(p, minor)) return 0;
    return static_cast<int>((static_cast<unsigned>(major) << 16) | static_cast<unsigned>(minor));
}

using OFFSETS = CRDTitleInfo::OFFSETS;

// Gives `advice` for the whole pages of `page` bytes inside [p, p + n).
void Advise(void* p, std::size_t n, std::uintptr_t page, void (*advice)(void*, std::size_t)) {
    const auto at = reinterpret_cast<std::uintptr_t>(p);
    const auto begin = (at + page - 1) & ~(page - 1);
    const auto end = (at + n) & ~(page - 1);
    if (end > begin) advice(static_cast<char*>(p) + (begin - at), end - begin);
}

// Room that a title's texts never exceed: every kept byte, the NULs, the
// file name and the overrun of a short copy. Without the file name they fit
// in 255 bytes (CRDTitleInfo::ENDS).
constexpr std::size_t kTextsRoom = 512;
static_assert(4 + 128 + 10 + 2 + 5 + 8 + 32 + 6 + 32 + 9 <= 255);

// Copies the n bytes of a field. Most are short: those move a fixed 16 bytes,
// for which both sides have room (the output's room, the line's slack).
inline void CopyField(char* out, const char* in, std::size_t n) {
    static_assert(16 + 2 <= lv::LINE_SLACK);
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

// Kept bytes of the thirteen fields of a library line and the text slot each
// goes to: fields 7, 10 and 12 are not kept, 13 is the genre key.
constexpr int kUnused = -1, kKey = -2;
constexpr std::size_t kRoom[13] = {4, 128, 10, 2, 5, 8, 0, 32, 6, 0, 32, 0, 16};
constexpr int kSlotOf[13] = {CRDTitleInfo::S_DISC,
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

// Lays out one library line at out as a title's texts (CRDTitleInfo::TEXT_SLOT
// order) and returns the bytes written; out has kTextsRoom bytes. Fields are
// parsed straight into place: no field buffers.
std::size_t ParseTitleTexts(const char* line, std::size_t length, CSV_MODE mode, char* out, OFFSETS& off, int& genre) {
    // The line ends at its first NUL, wherever that is.
    const auto* end = static_cast<const char*>(std::memchr(line, '\0', length + 1));
    char key[17] = {};
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
    auto text = [&](int s) { return std::string_view(out + off[s], off[s + 1] - off[s] - 1U); };
    o +=
        WriteTextFileName(o, text(CRDTitleInfo::S_DATE), text(CRDTitleInfo::S_TIME), text(CRDTitleInfo::S_CHANNEL)) + 1;
    off[CRDTitleInfo::S_COUNT] = static_cast<std::uint16_t>(o - out);
    genre = ParseGenreCode(key);
    return static_cast<std::size_t>(o - out);
}

// The first c in [p, end), or end. Reads whole 16-byte blocks: up to 15
// bytes past end must be readable.
inline const char* FindByte(const char* p, const char* end, char c) {
#if defined(__SSE2__)
    const __m128i needle = _mm_set1_epi8(c);
    for (; p < end; p += 16) {
        const auto block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const auto hits = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(block, needle)));
        if (hits) return std::min(p + __builtin_ctz(hits), end);
    }
    return end;
#else
    while (p < end && *p != c) ++p;
    return p;
#endif
}

// The first LF or NUL from p; the store's bytes end in NULs, so there is one.
inline const char* FindLineStop(const char* p) {
#if defined(__SSE2__)
    const __m128i lf = _mm_set1_epi8('\n');
    const __m128i nul = _mm_setzero_si128();
    for (;; p += 16) {
        const auto block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const auto hits = static_cast<unsigned>(
            _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(block, lf), _mm_cmpeq_epi8(block, nul))));
        if (hits) return p + __builtin_ctz(hits);
    }
#else
    while (*p && *p != '\n') ++p;
    return p;
#endif
}

struct SPAN {
    const char* p;
    std::size_t n;
};

// Bit masks of the quotes, commas and line stops (LF or NUL) of 64-byte
// blocks of the file, one bit per byte. Each block is classified once, in a
// tight loop over a window of blocks (with AVX2 where the processor has it).
class CBlockMasks {
public:
    static constexpr std::size_t kBlocks = 1024;

    // data: size bytes, then zeros that may be read up to the end of the
    // 64-byte block holding data[size].
    void Reset(const char* data, std::size_t size) {
        m_data = data;
        m_total = size / 64 + 1;
        Fill(0);
    }

    // Makes blocks [block, block + n) available; n <= kBlocks / 2.
    void Need(std::size_t block, std::size_t n) {
        if (block + n > m_first + kBlocks) Fill(block);
    }
    // Where a block's masks are in the arrays below.
    std::size_t Index(std::size_t block) const { return block - m_first; }
    const std::uint64_t* Quotes() const { return m_quote; }
    const std::uint64_t* Commas() const { return m_comma; }
    const std::uint64_t* Stops() const { return m_stop; }

private:
    void Fill(std::size_t first) {
        m_first = first;
        const std::size_t n = first < m_total ? std::min(kBlocks, m_total - first) : 0;
        Classify(m_data + first * 64, n, m_quote, m_comma, m_stop);
        for (std::size_t i = n; i < kBlocks; ++i) m_quote[i] = m_comma[i] = m_stop[i] = 0;
    }
    static void Classify(const char* p, std::size_t n, std::uint64_t* quote, std::uint64_t* comma, std::uint64_t* stop);

    const char* m_data = nullptr;
    std::size_t m_total = 0;  // blocks holding data or its terminating NUL
    std::size_t m_first = 0;
    std::uint64_t m_quote[kBlocks];
    std::uint64_t m_comma[kBlocks];
    std::uint64_t m_stop[kBlocks];
};

#if defined(__SSE2__)
inline std::uint64_t Bits16(__m128i v) {
    return static_cast<std::uint64_t>(static_cast<unsigned>(_mm_movemask_epi8(v)));
}

#if defined(__GNUC__) && defined(__x86_64__)
__attribute__((target("avx2"))) inline std::uint64_t Bits32(__m256i v) {
    return static_cast<std::uint64_t>(static_cast<std::uint32_t>(_mm256_movemask_epi8(v)));
}

__attribute__((target("avx2"))) void ClassifyAvx2(const char* p, std::size_t n, std::uint64_t* quote,
                                                  std::uint64_t* comma, std::uint64_t* stop) {
    const __m256i q = _mm256_set1_epi8('"'), c = _mm256_set1_epi8(','), lf = _mm256_set1_epi8('\n');
    const __m256i nul = _mm256_setzero_si256();
    for (std::size_t i = 0; i < n; ++i, p += 64) {
        const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
        const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + 32));
        quote[i] = Bits32(_mm256_cmpeq_epi8(a, q)) | Bits32(_mm256_cmpeq_epi8(b, q)) << 32;
        comma[i] = Bits32(_mm256_cmpeq_epi8(a, c)) | Bits32(_mm256_cmpeq_epi8(b, c)) << 32;
        stop[i] = Bits32(_mm256_or_si256(_mm256_cmpeq_epi8(a, lf), _mm256_cmpeq_epi8(a, nul))) |
                  Bits32(_mm256_or_si256(_mm256_cmpeq_epi8(b, lf), _mm256_cmpeq_epi8(b, nul))) << 32;
    }
}
#endif
#endif

void CBlockMasks::Classify(const char* p, std::size_t n, std::uint64_t* quote, std::uint64_t* comma,
                           std::uint64_t* stop) {
#if defined(__SSE2__)
#if defined(__GNUC__) && defined(__x86_64__)
    static const bool avx2 = lv::platform::VectorLevel() >= 1;
    if (avx2 && g_parserCap >= 1) return ClassifyAvx2(p, n, quote, comma, stop);
#endif
    const __m128i q = _mm_set1_epi8('"'), c = _mm_set1_epi8(','), lf = _mm_set1_epi8('\n');
    const __m128i nul = _mm_setzero_si128();
    for (std::size_t i = 0; i < n; ++i, p += 64) {
        std::uint64_t qs = 0, cs = 0, ss = 0;
        for (int k = 0; k < 4; ++k) {
            const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + k * 16));
            qs |= Bits16(_mm_cmpeq_epi8(b, q)) << (k * 16);
            cs |= Bits16(_mm_cmpeq_epi8(b, c)) << (k * 16);
            ss |= Bits16(_mm_or_si128(_mm_cmpeq_epi8(b, lf), _mm_cmpeq_epi8(b, nul))) << (k * 16);
        }
        quote[i] = qs;
        comma[i] = cs;
        stop[i] = ss;
    }
#else
    for (std::size_t i = 0; i < n; ++i, p += 64) {
        quote[i] = comma[i] = stop[i] = 0;
        for (int k = 0; k < 64; ++k) {
            const std::uint64_t bit = std::uint64_t{1} << k;
            if (p[k] == '"') quote[i] |= bit;
            if (p[k] == ',') comma[i] |= bit;
            if (p[k] == '\n' || p[k] == '\0') stop[i] |= bit;
        }
    }
#endif
}

// The masks of one line, from its first byte on: walking the fields then
// takes no loop over their bytes. For lines of up to 512 bytes (nearly all).
class CLineMasks {
public:
    static constexpr std::size_t kWords = 8;
    static constexpr std::size_t kBytes = kWords * 64;

    // The offset of the first LF or NUL from byte `at` of the file, or -1
    // when none is in the first kBytes.
    [[gnu::always_inline]] std::ptrdiff_t Scan(CBlockMasks& blocks, std::size_t at) {
        const std::size_t shift = at % 64;
        blocks.Need(at / 64, kWords + 1);
        const std::size_t first = blocks.Index(at / 64);
        // The line's word w from the blocks' words w and w + 1.
        auto word = [&](const std::uint64_t* mask, std::size_t w) {
            const std::uint64_t lo = mask[first + w] >> shift;
            return shift ? lo | mask[first + w + 1] << (64 - shift) : lo;
        };
        for (std::size_t w = 0; w < kWords; ++w) {
            m_quote[w] = word(blocks.Quotes(), w);
            m_comma[w] = word(blocks.Commas(), w);
            if (const std::uint64_t stop = word(blocks.Stops(), w)) {
                m_words = w + 1;
                return static_cast<std::ptrdiff_t>(w * 64 + static_cast<std::size_t>(__builtin_ctzll(stop)));
            }
        }
        return -1;
    }
    std::size_t Words() const { return m_words; }
    std::uint64_t Quotes(std::size_t w) const { return m_quote[w]; }
    std::uint64_t Commas(std::size_t w) const { return m_comma[w]; }

private:
    std::uint64_t m_quote[kWords];
    std::uint64_t m_comma[kWords];
    std::size_t m_words = 0;
};

// Each bit set from a set bit of x on: which bytes lie after an odd number of quotes.
inline std::uint64_t PrefixXor(std::uint64_t x) {
    for (int k = 1; k < 64; k *= 2) x ^= x << k;
    return x;
}

#if defined(__GNUC__) && defined(__x86_64__)
#define LV_WIDE_TARGET "avx2,bmi,bmi2,popcnt,pclmul,avx512f,avx512bw,avx512vbmi2"
// PrefixXor as one carry-less multiply by all ones. Inlined where the caller
// is built for the same instructions (ParseLinesWide).
[[gnu::target(LV_WIDE_TARGET)]] inline std::uint64_t PrefixXorClmul(std::uint64_t x) {
    const __m128i product =
        _mm_clmulepi64_si128(_mm_cvtsi64_si128(static_cast<long long>(x)), _mm_set1_epi8(static_cast<char>(0xFF)), 0);
    return static_cast<std::uint64_t>(_mm_cvtsi128_si64(product));
}

// The set bits of x; without a popcount instruction, by halves.
template <bool kPopcount>
inline std::size_t CountBits(std::uint64_t x) {
    if constexpr (kPopcount) return static_cast<std::size_t>(__builtin_popcountll(x));
    x = x - ((x >> 1) & 0x5555555555555555);
    x = (x & 0x3333333333333333) + ((x >> 2) & 0x3333333333333333);
    x = (x + (x >> 4)) & 0x0F0F0F0F0F0F0F0F;
    return static_cast<std::size_t>((x * 0x0101010101010101) >> 56);
}

// Whether the first thirteen fields of a line, which end at `last`, are each
// quoted with nothing else quoted: the quotes are exactly the fields' first
// and last bytes, and no field is shorter than its two quotes. `seps` holds
// the separators of each word up to last, and one word more.
template <int kLevel>
[[gnu::always_inline]] inline bool EveryFieldQuoted(const CLineMasks& masks, const std::uint64_t* seps,
                                                    std::size_t last) {
    std::uint64_t differ = 0;
    std::size_t bounds = 0;
    for (std::size_t w = 0; w * 64 < last; ++w) {
        const std::size_t left = last - w * 64;
        const std::uint64_t keep = left >= 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << left) - 1;
        const std::uint64_t lastBit = left <= 64 ? std::uint64_t{1} << (left - 1) : 0;
        const std::uint64_t split = seps[w] & keep;
        // A field starts after each separator and at the line's start; one ends before each separator and at last.
        const std::uint64_t carryIn = w ? seps[w - 1] >> 63 : 1;
        const std::uint64_t carryOut = left > 64 ? seps[w + 1] << 63 : 0;
        const std::uint64_t wanted = ((split << 1) | carryIn | (split >> 1) | carryOut | lastBit) & keep;
        differ |= wanted ^ (masks.Quotes(w) & keep);
        bounds += CountBits<kLevel >= 1>(wanted);
    }
    // Two bounds a field: a field of one byte would have one.
    return differ == 0 && bounds == 26;
}

// SplitInPlace (below) over a line [line, line + end) whose masks are known,
// without a walk from field to field: the commas outside quotes split the
// line, and the split is taken only when every quote of the first thirteen
// fields opens or closes one (then a walk would have split it the same way).
// The offsets w * 64 + i of the set bits i of `bits`, in order, to out
// (which has room for 64 more): two compressions of 32 lanes. Inlined where
// the caller is built for the same instructions (ParseLinesWide).
[[gnu::target(LV_WIDE_TARGET)]] inline void CompressOffsets(std::uint64_t bits, std::size_t w, std::uint16_t* out) {
    const __m512i lanes = _mm512_set_epi16(31, 30, 29, 28, 27, 26, 25, 24, 23, 22, 21, 20, 19, 18, 17, 16, 15, 14, 13,
                                           12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0);
    const __m512i lo = _mm512_add_epi16(lanes, _mm512_set1_epi16(static_cast<short>(w * 64)));
    const __m512i hi = _mm512_add_epi16(lo, _mm512_set1_epi16(32));
    const auto low = static_cast<__mmask32>(bits), high = static_cast<__mmask32>(bits >> 32);
    _mm512_storeu_si512(out, _mm512_maskz_compress_epi16(low, lo));
    _mm512_storeu_si512(out + _mm_popcnt_u32(low), _mm512_maskz_compress_epi16(high, hi));
}

// The same as bytes, in one compression, for lines whose offsets fit in a byte.
[[gnu::target(LV_WIDE_TARGET)]] inline void CompressOffsets(std::uint64_t bits, std::size_t w, std::uint8_t* out) {
    alignas(64) static constexpr std::array<std::uint8_t, 64> kLanes = [] {
        std::array<std::uint8_t, 64> lanes{};
        for (std::size_t i = 0; i < 64; ++i) lanes[i] = static_cast<std::uint8_t>(i);
        return lanes;
    }();
    const __m512i at = _mm512_add_epi8(_mm512_load_si512(kLanes.data()), _mm512_set1_epi8(static_cast<char>(w * 64)));
    _mm512_storeu_si512(out, _mm512_maskz_compress_epi8(bits, at));
}
#else
inline std::uint64_t PrefixXorClmul(std::uint64_t x) { return PrefixXor(x); }
inline void CompressOffsets(std::uint64_t, std::size_t, std::uint16_t*) {}
inline void CompressOffsets(std::uint64_t, std::size_t, std::uint8_t*) {}
#endif

template <int kLevel, class OFFSET, class TAKE>
[[gnu::always_inline]] inline bool SplitMaskedAs(const char* line, std::size_t end, const CLineMasks& masks,
                                                 TAKE&& take) {
    // The separators' offsets: eight are taken from each word whether it has
    // them or not (no branch on their number), the count says how many hold;
    // with AVX-512, all of a word's at once.
    OFFSET sep[kLevel >= 2 ? 13 + 64 : 13 + 8];
    std::size_t n = 0, words = 0;
    std::uint64_t odd = 0;                       // all ones after an odd number of quotes
    std::uint64_t seps[CLineMasks::kWords + 1];  // the separators of each word
    for (std::size_t w = 0; w < masks.Words() && w * 64 < end && n < 13; ++w) {
        const std::uint64_t keep = end - w * 64 >= 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << (end - w * 64)) - 1;
        const std::uint64_t marks = masks.Quotes(w) & keep;
        const std::uint64_t inside = (kLevel >= 2 ? PrefixXorClmul(marks) : PrefixXor(marks)) ^ odd;
        odd = static_cast<std::uint64_t>(static_cast<std::int64_t>(inside) >> 63);
        std::uint64_t bits = masks.Commas(w) & keep & ~inside;
        seps[w] = bits;
        words = w + 1;
        const std::size_t count = CountBits<kLevel >= 1>(bits);
        if constexpr (kLevel >= 2) {
            CompressOffsets(bits, w, sep + n);
            n = std::min(n + count, std::size_t{13});
            continue;
        }
        constexpr std::uint64_t kTop = std::uint64_t{1} << 63;  // keeps ctz defined once bits run out
        for (std::size_t k = 0; k < 8; ++k) {
            sep[n + k] = w * 64 + static_cast<std::size_t>(__builtin_ctzll(bits | kTop));
            bits &= bits - 1;
        }
        for (std::size_t k = 8; k < count && n + k < 13; ++k) {
            sep[n + k] = w * 64 + static_cast<std::size_t>(__builtin_ctzll(bits));
            bits &= bits - 1;
        }
        n = std::min(n + count, std::size_t{13});
    }
    seps[words] = 0;
    if (n >= 12 && EveryFieldQuoted<kLevel>(masks, seps, n == 13 ? sep[12] : end)) {
        // Nothing to check field by field: each lies between its quotes.
        std::size_t from = 0;
#pragma GCC unroll 13
        for (std::size_t i = 0; i < 13; ++i) {
            const std::size_t e = i < 12 ? sep[i] : n == 13 ? sep[12] : end;
            take(i, line + from + 1, e - from - 2);
            from = e + 1;
        }
        return true;
    }
    std::size_t start = 0, quotes = 0;
#pragma GCC unroll 13
    for (std::size_t i = 0; i < 13; ++i) {
        const std::size_t e = i < n ? sep[i] : end;
        if (start >= e) {
            take(i, line + e, 0);
        } else if (line[start] != '"') {
            take(i, line + start, e - start);
        } else {
            if (e - start < 2 || line[e - 1] != '"') return false;
            take(i, line + start + 1, e - start - 2);
            quotes += 2;
        }
        start = std::min(e + 1, end);
    }
    // Every quote up to the end of field 13 must be one of those: the quoted
    // fields' first and last bytes are quotes, so it is a matter of counting.
    const std::size_t last = n == 13 ? sep[12] : end;
    std::size_t seen = 0;
    for (std::size_t w = 0; w * 64 < last; ++w) {
        const std::uint64_t keep = last - w * 64 >= 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << (last - w * 64)) - 1;
        seen += CountBits<kLevel >= 1>(masks.Quotes(w) & keep);
    }
    return seen == quotes;
}

template <int kLevel, class TAKE>
[[gnu::always_inline]] inline bool SplitMasked(const char* line, std::size_t end, const CLineMasks& masks,
                                               TAKE&& take) {
    // With AVX-512 the offsets of a line of up to 256 bytes fit in bytes: a
    // word's separators take one compression instead of two.
    if constexpr (kLevel >= 2)
        if (end <= 256) return SplitMaskedAs<kLevel, std::uint8_t>(line, end, masks, take);
    return SplitMaskedAs<kLevel, std::conditional_t<kLevel >= 2, std::uint16_t, std::size_t>>(line, end, masks, take);
}

// Fields 1 to 13 of the line [line, end), which holds no NUL, as runs of the
// line. False when a field is not one (a doubled quote, a quote inside a
// quoted field in CSV_PLAIN mode, a malformed field): such a line takes the
// full parser. Where both agree they give the same fields.
inline bool SplitInPlace(const char* line, const char* end, SPAN (&f)[13]) {
    const char* p = line;
    for (SPAN& field : f) {
        if (p == end) {
            field = {end, 0};
        } else if (*p != '"') {
            const char* e = FindByte(p, end, ',');
            field = {p, static_cast<std::size_t>(e - p)};
            p = e == end ? e : e + 1;
        } else {
            const char* q = FindByte(p + 1, end, '"');
            if (q == end || (q + 1 != end && q[1] != ',')) return false;
            field = {p + 1, static_cast<std::size_t>(q - p - 1)};
            p = q + 1 == end ? end : q + 2;
        }
    }
    return true;
}

// The fields of a split line, one by one in order.
template <class TAKE>
[[gnu::always_inline]] inline void TakeAll(const SPAN (&f)[13], TAKE& take) {
#pragma GCC unroll 13
    for (std::size_t i = 0; i < 13; ++i) take(i, f[i].p, f[i].n);
}

// A disc number of up to four bytes as one integer (its length included), so
// that a title finds its disc's index without hashing a string. Four bytes
// must be readable at no.data().
constexpr std::uint64_t kNoKey = ~std::uint64_t{0};
inline std::uint64_t DiscKey(std::string_view no) {
    static_assert(DISC_NO_LIMIT == 4);
    if (no.size() > DISC_NO_LIMIT) return kNoKey;
    std::uint32_t bytes;
    std::memcpy(&bytes, no.data(), 4);
    return (bytes & ((std::uint64_t{1} << (8 * no.size())) - 1)) | std::uint64_t{no.size()} << 32;
}

// Disc number -> index of the first disc with it, for the lookup every title makes.
class CDiscIndex {
public:
    explicit CDiscIndex(const std::vector<CRDDiscInfo>& discs) {
        for (std::size_t i = 0; i < discs.size(); ++i) {
            const std::string& number = discs[i].m_strDiscNo;
            char no[DISC_NO_LIMIT] = {};  // the number's bytes, then zeros
            std::copy_n(number.begin(), std::min(number.size(), sizeof no), no);
            const std::uint64_t k = number.size() > sizeof no ? kNoKey : DiscKey(std::string_view(no, number.size()));
            if (k != kNoKey) m_keys.emplace_back(k, static_cast<int>(i));
        }
        std::stable_sort(m_keys.begin(), m_keys.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
        m_keys.erase(
            std::unique(m_keys.begin(), m_keys.end(), [](const auto& a, const auto& b) { return a.first == b.first; }),
            m_keys.end());
    }
    // -1 when no disc has the number; four bytes must be readable at no.data().
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

// What a load of the title list fills, and what its blocks reuse.
struct LOAD {
    CTitleStore& store;
    CDiscIndex& discs;
    int modelClass;
    std::vector<CRDTitleInfo>& titles;
    CBlockMasks blocks;
    std::string odd;  // a line for the full parser

    // no: in the store's room, where four bytes may be read.
    std::int32_t DiscOf(std::string_view no) {
        if (modelClass == 1) return CRDTitleInfo::FREE_SAME;
        const int d = discs.Find(no);
        return d < 0 ? CRDTitleInfo::FREE_NONE : static_cast<std::int32_t>(d);
    }
};

// Every whole line of the bytes held (followed by zeros) into a title, its
// texts into the store; returns where the unfinished last line starts, if
// more bytes are to come. Made three times: for any processor, for one with
// AVX2, BMI2 and POPCNT, and for one that also has PCLMULQDQ and AVX-512 VBMI2.
template <int kLevel>
[[gnu::always_inline]] inline std::size_t ParseLines(const char* data, std::size_t size, bool atEnd, CSV_MODE mode,
                                                     LOAD& load) {
    CTitleStore& store = load.store;
    const char* p = data;
    const char* const dataEnd = data + size;
    std::string& odd = load.odd;
    CBlockMasks& blocks = load.blocks;
    blocks.Reset(data, size);
    while (p < dataEnd) {
        // A line ends at LF (CR LF counts as LF), like the line reader's.
        CLineMasks masks;
        const std::ptrdiff_t masked = masks.Scan(blocks, static_cast<std::size_t>(p - data));
        const char* stop = masked >= 0 ? p + masked : FindLineStop(p + CLineMasks::kBytes);
        const char* next = stop + 1;
        bool hasNul = false;
        if (*stop == '\0') {
            // The NUL after the bytes held, or one inside the line.
            hasNul = stop != dataEnd;
            const auto* lf =
                hasNul ? static_cast<const char*>(std::memchr(stop, '\n', static_cast<std::size_t>(dataEnd - stop)))
                       : nullptr;
            if (!lf && !atEnd) return static_cast<std::size_t>(p - data);  // the rest comes with the next block
            next = lf ? lf + 1 : dataEnd;
        }
        const char* const line = p;
        std::size_t length = static_cast<std::size_t>(next - line);
        if (next[-1] == '\n') {
            --length;
            if (length > 0 && line[length - 1] == '\r') --length;
        }
        p = next;
        if (length > 0 && (line[length - 1] == ' ' || line[length - 1] == '\r' || line[length - 1] == '\n'))
            length = lv::TrimmedLength(line, length, true);
        if (length == 0) continue;

        char* const out = store.Room(kTextsRoom);
        CRDTitleInfo::ENDS ends;
        int genre = 0;
        // Each field is copied straight from the file as the split finds it,
        // in blocks of 16 or 32 bytes, for which both sides have room (the
        // store's room, the file's zero tail). A line the split turns down
        // leaves nothing: its room is not committed.
        static_assert(32 <= lv::BlockReader::kTail);
        char* o = out;
        SPAN key{};
        // The ends of the texts gather in one word, stored whole.
        static_assert(CRDTitleInfo::S_PAGE == 8 && sizeof(CRDTitleInfo::ENDS) == 8);
        std::uint64_t allEnds = 0;
        std::size_t discLength = 0;
        auto take = [&](std::size_t i, const char* s, std::size_t n) [[gnu::always_inline]] {
            const int slot = kSlotOf[i];
            if (slot == kKey) key = {s, n};
            if (slot < 0) return;
            n = std::min(n, kRoom[i]);
            if (slot == CRDTitleInfo::S_GENRE) {
                // Leading "_" and spaces are single-byte characters: skipping bytes skips characters.
                while (n > 0 && (*s == '_' || *s == ' ')) {
                    ++s;
                    --n;
                }
            }
            // Short fields take one fixed move of their whole room: no loop.
            if (kRoom[i] <= 16) {
                std::memcpy(o, s, 16);
            } else if (kRoom[i] <= 32) {
                std::memcpy(o, s, 32);
            } else {
                for (std::size_t k = 0; k < n; k += 32) std::memcpy(o + k, s + k, 32);
            }
            o += n;
            *o = '\0';
            if (slot == CRDTitleInfo::S_DISC)
                discLength = n;
            else
                allEnds |= static_cast<std::uint64_t>(o - out) << (8 * (slot - 1));
            ++o;
        };
        SPAN f[13];
        if (!hasNul && (masked >= 0 ? SplitMasked<kLevel>(line, length, masks, take)
                                    : SplitInPlace(line, line + length, f) && (TakeAll(f, take), true))) {
            store.Commit(static_cast<std::size_t>(o - out));
            std::memcpy(ends.data(), &allEnds, sizeof allEnds);
            if (!ReadTenDigits(key.p, key.n, genre)) {
                char digits[17];
                std::memcpy(digits, key.p, 16);
                digits[std::min(key.n, kRoom[12])] = '\0';
                genre = ParseGenreCode(digits);
            }
        } else {
            // The full parser, on a NUL-terminated copy of the line with slack after it.
            odd.assign(line, length);
            odd.resize(length + 1 + lv::LINE_SLACK);
            OFFSETS off;
            ParseTitleTexts(odd.c_str(), length, mode, out, off, genre);
            for (int k = 1; k < CRDTitleInfo::S_TEXTFILE; ++k) ends[k - 1] = static_cast<std::uint8_t>(off[k + 1] - 1U);
            discLength = off[CRDTitleInfo::S_TITLE] - 1U;
            store.Commit(off[CRDTitleInfo::S_TEXTFILE]);  // the file name is made when asked for
        }
        const std::int32_t free = load.DiscOf(std::string_view(out, discLength));
        load.titles.emplace_back(&store, out, ends, free, genre);
    }
    return size;
}

std::size_t ParseLinesPlain(const char* data, std::size_t size, bool atEnd, CSV_MODE mode, LOAD& load) {
    return ParseLines<0>(data, size, atEnd, mode, load);
}

#if defined(__GNUC__) && defined(__x86_64__)
[[gnu::target("avx2,bmi,bmi2,popcnt")]] std::size_t ParseLinesFast(const char* data, std::size_t size, bool atEnd,
                                                                   CSV_MODE mode, LOAD& load) {
    return ParseLines<1>(data, size, atEnd, mode, load);
}

[[gnu::target(LV_WIDE_TARGET)]] std::size_t ParseLinesWide(const char* data, std::size_t size, bool atEnd,
                                                           CSV_MODE mode, LOAD& load) {
    return ParseLines<2>(data, size, atEnd, mode, load);
}
#endif

// The first c or NUL in [p, end), or end. Reads whole 16-byte blocks: up to
// 15 bytes past end must be readable.
inline const char* FindByteOrNul(const char* p, const char* end, char c) {
#if defined(__SSE2__)
    const __m128i needle = _mm_set1_epi8(c), nul = _mm_setzero_si128();
    for (; p < end; p += 16) {
        const auto block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const auto hits = static_cast<unsigned>(
            _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(block, needle), _mm_cmpeq_epi8(block, nul))));
        if (hits) return std::min(p + __builtin_ctz(hits), end);
    }
    return end;
#else
    while (p < end && *p != c && *p != '\0') ++p;
    return p;
#endif
}

// The field at p of the line [p, end) as TakeField reads it, without a copy;
// null when only the full parser reads it (a NUL, or quotes that do more
// than enclose it). The byte at end is no quote and no comma, and 15 bytes
// past it may be read.
inline const char* ViewField(const char* p, const char* end, std::size_t room, std::string_view& field) {
    if (p == end) {
        field = {};
        return end;
    }
    if (*p != '"') {
        const char* e = FindByteOrNul(p, end, ',');
        if (e != end && *e == '\0') return nullptr;
        field = {p, std::min(static_cast<std::size_t>(e - p), room)};
        return e == end ? e : e + 1;
    }
    const char* q = FindByteOrNul(p + 1, end, '"');
    if (q == end || *q == '\0' || (q + 1 != end && q[1] != ',')) return nullptr;
    field = {p + 1, std::min(static_cast<std::size_t>(q - p - 1), room)};
    return q + 1 == end ? end : q + 2;
}

// Fields 2, 3, 5 and 6 of a line, each the same as the load's; false when
// the line takes the full parser.
inline bool ViewIdFields(const char* p, const char* end, TITLE_ID_VIEW& id) {
    std::string_view skipped;
    std::string_view* const into[6] = {&skipped, &id.title, &id.date, &skipped, &id.time, &id.channel};
    for (int i = 0; i < 6; ++i)
        if (!(p = ViewField(p, end, kRoom[i], *into[i]))) return false;
    return true;
}

using PARSE = std::size_t (*)(const char*, std::size_t, bool, CSV_MODE, LOAD&);

// The widest build of ParseLines that the processor runs and the cap allows.
PARSE TitleParser() {
#if defined(__GNUC__) && defined(__x86_64__)
    static const int level = lv::platform::VectorLevel();
    if (level >= 1 && g_parserCap >= 1) return level >= 2 && g_parserCap >= 2 ? &ParseLinesWide : &ParseLinesFast;
#endif
    return &ParseLinesPlain;
}

}  // namespace

void CapTitleParser(int level) { g_parserCap = level; }

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
    CDiscIndex discs(m_aDiscs);
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
    auto load = std::make_unique<LOAD>(LOAD{*store, discs, modelClass, m_aTitles, {}, {}});
    const PARSE parse = TitleParser();
    bool ok = true;
    for (std::size_t keep = 0; ok;) {
        ok = file.Next(keep);
        keep = parse(file.Data(), file.Size(), file.AtEnd(), mode, *load);
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

bool CRDRecorderLibrary::ScanTitleIds(const std::string& path, const IDS_SEEN& each) const {
    lv::BlockReader file;
    if (!file.Open(path)) return false;
    const CSV_MODE mode = ModeFor(GetModelClass());
    std::vector<TITLE_ID_VIEW> ids;
    std::deque<std::array<char, kTextsRoom>> oddTexts;  // never moved: the views stay
    std::string odd;
    bool ok = true;
    static_assert(16 <= lv::BlockReader::kTail);
    for (std::size_t keep = 0; ok;) {
        ok = file.Next(keep);
        const char* const data = file.Data();
        const char* const dataEnd = data + file.Size();
        const char* p = data;
        while (p < dataEnd) {
            // Lines end and are trimmed as the load's.
            const auto* lf = static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(dataEnd - p)));
            if (!lf && !file.AtEnd()) break;  // the rest comes with the next block
            const char* const line = p;
            std::size_t length = static_cast<std::size_t>((lf ? lf : dataEnd) - line);
            p = lf ? lf + 1 : dataEnd;
            if (lf && length > 0 && line[length - 1] == '\r') --length;
            if (length > 0 && (line[length - 1] == ' ' || line[length - 1] == '\r' || line[length - 1] == '\n'))
                length = lv::TrimmedLength(line, length, true);
            if (length == 0) continue;
            TITLE_ID_VIEW& id = ids.emplace_back();
            if (ViewIdFields(line, line + length, id)) continue;
            odd.assign(line, length);
            odd.resize(length + 1 + lv::LINE_SLACK);
            char* const out = oddTexts.emplace_back().data();
            OFFSETS off;
            int genre = 0;
            ParseTitleTexts(odd.c_str(), length, mode, out, off, genre);
            auto text = [&](int k) { return std::string_view(out + off[k], off[k + 1] - off[k] - 1U); };
            id = {text(CRDTitleInfo::S_DATE), text(CRDTitleInfo::S_TIME), text(CRDTitleInfo::S_CHANNEL),
                  text(CRDTitleInfo::S_TITLE)};
        }
        keep = static_cast<std::size_t>(p - data);
        ok = ok && each(ids);
        ids.clear();
        oddTexts.clear();
        if (file.AtEnd()) break;
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
    const std::size_t length = std::strlen(line);
    // The parser may read past the line's end, as it may in a reader's buffer.
    std::string padded(line, length);
    padded.resize(length + 1 + lv::LINE_SLACK);
    char buf[kTextsRoom];
    OFFSETS off;
    int genre = 0;
    ParseTitleTexts(padded.c_str(), length, ModeFor(modelClass), buf, off, genre);
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
