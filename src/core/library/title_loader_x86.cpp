// The vector levels of the title loader: one line loop built for SSE2, for
// AVX2 with BMI2 and POPCNT, and for AVX-512 VBMI2 with PCLMUL (see
// title_loader.h). Built on x86-64 alone, where SSE2 is always there.
#include <immintrin.h>

#include <array>
#include <bit>
#include <type_traits>

#include "core/library/line_reader.h"
#include "core/library/title_loader.h"

namespace lv {

namespace {

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

// Classifies n 64-byte blocks from p into their masks.
using CLASSIFY = void (*)(const char* p, std::size_t n, std::uint64_t* quote, std::uint64_t* comma,
                          std::uint64_t* stop);

// Bit masks of the quotes, commas and line stops (LF or NUL) of 64-byte
// blocks of the file, one bit per byte. Each block is classified once, in a
// tight loop over a window of blocks.
class CBlockMasks {
public:
    static constexpr std::size_t kBlocks = 1024;

    explicit CBlockMasks(CLASSIFY classify) : m_classify(classify) {}

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
        m_classify(m_data + first * 64, n, m_quote, m_comma, m_stop);
        for (std::size_t i = n; i < kBlocks; ++i) m_quote[i] = m_comma[i] = m_stop[i] = 0;
    }

    CLASSIFY m_classify;
    const char* m_data = nullptr;
    std::size_t m_total = 0;  // blocks holding data or its terminating NUL
    std::size_t m_first = 0;
    std::uint64_t m_quote[kBlocks];
    std::uint64_t m_comma[kBlocks];
    std::uint64_t m_stop[kBlocks];
};

inline std::uint64_t Bits16(__m128i v) {
    return static_cast<std::uint64_t>(static_cast<unsigned>(_mm_movemask_epi8(v)));
}

void ClassifySse2(const char* p, std::size_t n, std::uint64_t* quote, std::uint64_t* comma, std::uint64_t* stop) {
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
}

[[gnu::target("avx2")]] inline std::uint64_t Bits32(__m256i v) {
    return static_cast<std::uint64_t>(static_cast<std::uint32_t>(_mm256_movemask_epi8(v)));
}

[[gnu::target("avx2")]] void ClassifyAvx2(const char* p, std::size_t n, std::uint64_t* quote, std::uint64_t* comma,
                                          std::uint64_t* stop) {
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

#define LV_WIDE_TARGET "avx2,bmi,bmi2,popcnt,pclmul,avx512f,avx512bw,avx512vbmi2"
// PrefixXor as one carry-less multiply by all ones. Inlined where the caller
// is built for the same instructions (LoadLinesAvx512).
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

// Whether the first kFields fields of a line, which end at `last`, are each
// quoted with nothing else quoted: the quotes are exactly the fields' first
// and last bytes, and no field is shorter than its two quotes. `seps` holds
// the separators of each word up to last, and one word more.
template <int kLevel, std::size_t kFields>
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
    return differ == 0 && bounds == 2 * kFields;
}

// The offsets w * 64 + i of the set bits i of `bits`, in order, to out
// (which has room for 64 more): two compressions of 32 lanes. Inlined where
// the caller is built for the same instructions (LoadLinesAvx512).
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
// The first kFields fields of a line [line, line + end) whose masks are
// known, to take(field, bytes, length), split without a walk from field to
// field: the commas outside quotes split the line, and the split is taken
// only when every quote of those fields opens or closes one (then the exact
// parser, which reads a line's fields in order, would have split them the
// same way). False, and the line goes to the exact parser, when one does more.
template <int kLevel, std::size_t kFields, class OFFSET, class TAKE>
[[gnu::always_inline]] inline bool SplitMaskedAs(const char* line, std::size_t end, const CLineMasks& masks,
                                                 TAKE&& take) {
    // The separators' offsets: eight are taken from each word whether it has
    // them or not (no branch on their number), the count says how many hold;
    // with AVX-512, all of a word's at once.
    constexpr std::size_t kLast = kFields - 1;  // the separators wanted: the one after each field but the last
    OFFSET sep[kLevel >= 2 ? kFields + 64 : kFields + 8];
    std::size_t n = 0, words = 0;
    std::uint64_t odd = 0;                       // all ones after an odd number of quotes
    std::uint64_t seps[CLineMasks::kWords + 1];  // the separators of each word
    for (std::size_t w = 0; w < masks.Words() && w * 64 < end && n < kFields; ++w) {
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
            n = std::min(n + count, kFields);
            continue;
        }
        constexpr std::uint64_t kTop = std::uint64_t{1} << 63;  // keeps ctz defined once bits run out
        for (std::size_t k = 0; k < 8; ++k) {
            sep[n + k] = w * 64 + static_cast<std::size_t>(__builtin_ctzll(bits | kTop));
            bits &= bits - 1;
        }
        for (std::size_t k = 8; k < count && n + k < kFields; ++k) {
            sep[n + k] = w * 64 + static_cast<std::size_t>(__builtin_ctzll(bits));
            bits &= bits - 1;
        }
        n = std::min(n + count, kFields);
    }
    seps[words] = 0;
    if (n >= kLast && EveryFieldQuoted<kLevel, kFields>(masks, seps, n == kFields ? sep[kLast] : end)) {
        // Nothing to check field by field: each lies between its quotes.
        std::size_t from = 0;
#pragma GCC unroll 13
        for (std::size_t i = 0; i < kFields; ++i) {
            const std::size_t e = i < kLast ? sep[i] : n == kFields ? sep[kLast] : end;
            take(i, line + from + 1, e - from - 2);
            from = e + 1;
        }
        return true;
    }
    std::size_t start = 0, quotes = 0;
#pragma GCC unroll 13
    for (std::size_t i = 0; i < kFields; ++i) {
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
    // Every quote up to the end of the last field must be one of those: the
    // quoted fields' first and last bytes are quotes, so it is a matter of counting.
    const std::size_t last = n == kFields ? sep[kLast] : end;
    std::size_t seen = 0;
    for (std::size_t w = 0; w * 64 < last; ++w) {
        const std::uint64_t keep = last - w * 64 >= 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << (last - w * 64)) - 1;
        seen += CountBits<kLevel >= 1>(masks.Quotes(w) & keep);
    }
    return seen == quotes;
}

template <int kLevel, std::size_t kFields = 13, class TAKE>
[[gnu::always_inline]] inline bool SplitMasked(const char* line, std::size_t end, const CLineMasks& masks,
                                               TAKE&& take) {
    // With AVX-512 the offsets of a line of up to 256 bytes fit in bytes: a
    // word's separators take one compression instead of two.
    if constexpr (kLevel >= 2)
        if (end <= 256) return SplitMaskedAs<kLevel, kFields, std::uint8_t>(line, end, masks, take);
    return SplitMaskedAs<kLevel, kFields, std::conditional_t<kLevel >= 2, std::uint16_t, std::size_t>>(line, end, masks,
                                                                                                       take);
}

// A line whose masks are known into a title, each field copied straight
// from the file as the split finds it, in blocks of 16 or 32 bytes, for which
// both sides have room (the store's room, the file's zero tail). False when
// the split turns the line down: then nothing is kept.
template <int kLevel>
[[gnu::always_inline]] inline bool AddSplit(CTitleLoad& load, const char* line, std::size_t length,
                                            const CLineMasks& masks) {
    static_assert(32 <= BlockReader::kTail);
    char* const out = load.Store().Room(kTitleTextsRoom);
    char* o = out;
    std::string_view key;
    // The ends of the texts gather in one word, stored whole.
    static_assert(CRDTitleInfo::S_PAGE == 8 && sizeof(CRDTitleInfo::ENDS) == 8);
    std::uint64_t allEnds = 0;
    std::size_t discLength = 0;
    auto take = [&](std::size_t i, const char* s, std::size_t n) __attribute__((always_inline)) {
        const int slot = kTitleFieldSlot[i];
        if (slot == kGenreKey) key = {s, n};
        if (slot < 0) return;
        n = std::min(n, kTitleFieldRoom[i]);
        if (slot == CRDTitleInfo::S_GENRE) {
            const std::size_t lead = GenrePrefixLength(s, n);
            s += lead;
            n -= lead;
        }
        // Short fields take one fixed move of their whole room: no loop.
        if (kTitleFieldRoom[i] <= 16) {
            std::memcpy(o, s, 16);
        } else if (kTitleFieldRoom[i] <= 32) {
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
    if (!SplitMasked<kLevel>(line, length, masks, take)) return false;
    load.Store().Commit(static_cast<std::size_t>(o - out));
    CRDTitleInfo::ENDS ends;
    std::memcpy(ends.data(), &allEnds, sizeof allEnds);
    int genre = 0;
    if (!ReadTenDigits(key.data(), key.size(), genre)) {
        char digits[17];
        std::memcpy(digits, key.data(), 16);
        digits[std::min(key.size(), kTitleFieldRoom[12])] = '\0';
        genre = ParseGenreCode(digits);
    }
    load.Add(out, ends, std::string_view(out, discLength), genre);
    return true;
}

// A line whose masks are known to its id: views of its fields in the file,
// each cut to the room a load keeps of it. False when the split turns the
// line down.
template <int kLevel>
[[gnu::always_inline]] inline bool ViewSplit(const char* line, std::size_t length, const CLineMasks& masks,
                                             TITLE_ID_VIEW& id) {
    auto take = [&](std::size_t i, const char* s, std::size_t n) __attribute__((always_inline)) {
        const std::string_view text(s, std::min(n, kTitleFieldRoom[i]));
        switch (kTitleFieldSlot[i]) {
        case CRDTitleInfo::S_TITLE: id.title = text; break;
        case CRDTitleInfo::S_DATE: id.date = text; break;
        case CRDTitleInfo::S_TIME: id.time = text; break;
        case CRDTitleInfo::S_CHANNEL: id.channel = text; break;
        default: break;
        }
    };
    // The id is in the first six fields: the rest of the line is not looked at.
    return SplitMasked<kLevel, 6>(line, length, masks, take);
}

// Every whole line of the bytes held (followed by bytes that may be read) to
// take(line, length, masks, exact), exact when the masks do not reach it;
// returns where the unfinished last line starts, if more bytes are to come.
// Made once for each vector level and each use.
template <int kLevel, class TAKE>
[[gnu::always_inline]] inline std::size_t EachLine(const char* data, std::size_t size, bool atEnd, CLASSIFY classify,
                                                   TAKE&& take) {
    const char* p = data;
    const char* const dataEnd = data + size;
    CBlockMasks blocks(classify);
    blocks.Reset(data, size);
    while (p < dataEnd) {
        CLineMasks masks;
        const std::ptrdiff_t masked = masks.Scan(blocks, static_cast<std::size_t>(p - data));
        const char* next = p + masked + 1;
        // A NUL inside the line, or a line longer than its masks reach: the exact parser reads it.
        bool exact = masked < 0;
        if (exact || p[masked] == '\0') {
            const char* const from = exact ? p + CLineMasks::kBytes : p + masked;
            exact = exact || from != dataEnd;  // else the NUL after the bytes held
            const auto* lf =
                static_cast<const char*>(std::memchr(from, '\n', static_cast<std::size_t>(dataEnd - from)));
            if (!lf && !atEnd) return static_cast<std::size_t>(p - data);  // the rest comes with the next block
            next = lf ? lf + 1 : dataEnd;
        }
        const char* const line = p;
        p = next;
        if (const std::size_t length = TitleLineLength(line, next)) take(line, length, masks, exact);
    }
    return size;
}

template <int kLevel>
[[gnu::always_inline]] inline std::size_t LoadLines(CTitleLoad& load, const char* data, std::size_t size, bool atEnd,
                                                    CLASSIFY classify) {
    return EachLine<kLevel>(
        data, size, atEnd, classify,
        [&](const char* line, std::size_t length, const CLineMasks& masks, bool exact) __attribute__((always_inline)) {
            if (exact || !AddSplit<kLevel>(load, line, length, masks)) load.AddExact(line, length);
        });
}

template <int kLevel>
[[gnu::always_inline]] inline std::size_t ScanIdLines(CTitleIdScan& scan, const char* data, std::size_t size,
                                                      bool atEnd, std::vector<TITLE_ID_VIEW>& ids, CLASSIFY classify) {
    return EachLine<kLevel>(
        data, size, atEnd, classify,
        [&](const char* line, std::size_t length, const CLineMasks& masks, bool exact) __attribute__((always_inline)) {
            TITLE_ID_VIEW& id = ids.emplace_back();
            if (exact || !ViewSplit<kLevel>(line, length, masks, id)) scan.AddExact(line, length, id);
        });
}

}  // namespace

std::size_t LoadLinesSse2(CTitleLoad& load, const char* data, std::size_t size, bool atEnd) {
    return LoadLines<0>(load, data, size, atEnd, &ClassifySse2);
}

[[gnu::target("avx2,bmi,bmi2,popcnt")]] std::size_t LoadLinesAvx2(CTitleLoad& load, const char* data, std::size_t size,
                                                                  bool atEnd) {
    return LoadLines<1>(load, data, size, atEnd, &ClassifyAvx2);
}

[[gnu::target(LV_WIDE_TARGET)]] std::size_t LoadLinesAvx512(CTitleLoad& load, const char* data, std::size_t size,
                                                            bool atEnd) {
    return LoadLines<2>(load, data, size, atEnd, &ClassifyAvx2);
}

std::size_t ScanIdLinesSse2(CTitleIdScan& scan, const char* data, std::size_t size, bool atEnd,
                            std::vector<TITLE_ID_VIEW>& ids) {
    return ScanIdLines<0>(scan, data, size, atEnd, ids, &ClassifySse2);
}

[[gnu::target("avx2,bmi,bmi2,popcnt")]] std::size_t ScanIdLinesAvx2(CTitleIdScan& scan, const char* data,
                                                                    std::size_t size, bool atEnd,
                                                                    std::vector<TITLE_ID_VIEW>& ids) {
    return ScanIdLines<1>(scan, data, size, atEnd, ids, &ClassifyAvx2);
}

[[gnu::target(LV_WIDE_TARGET)]] std::size_t ScanIdLinesAvx512(CTitleIdScan& scan, const char* data, std::size_t size,
                                                              bool atEnd, std::vector<TITLE_ID_VIEW>& ids) {
    return ScanIdLines<2>(scan, data, size, atEnd, ids, &ClassifyAvx2);
}

}  // namespace lv
