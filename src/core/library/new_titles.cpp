#include "core/library/new_titles.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "core/ini/atomic_file.h"
#include "core/library/csv.h"
#include "core/library/line_reader.h"
#include "core/library/recorder_library.h"
#include "core/platform/file.h"
#include "core/platform/memory.h"
#include "core/platform/path.h"
#include "core/settings/netnavi_setting.h"
#include "core/text/messages.h"
#include "core/text/system_errors.h"

namespace {

constexpr std::string_view kMagic = "NewTitles";
constexpr std::string_view kVersion = "1";

void AppendQuoted(std::string& out, std::string_view text) {
    out += '"';
    for (char c : text) {
        if (c == '"') out += '"';  // a quote is never the second byte of a character
        out += c;
    }
    out += "\",";
}

std::optional<int> ParseCount(std::string_view s, int min) {
    int value = 0;
    auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
    if (ec != std::errc() || end != s.data() + s.size() || value < min) return std::nullopt;
    return value;
}

// Every this many titles a long comparison asks whether to stop.
constexpr std::size_t kStopCheckTitles = 4096;

constexpr std::uint64_t kMul = 0x9E3779B97F4A7C15ull;

// The two halves of a 128-bit product folded into one: every bit of either
// side moves most bits of the result.
inline std::uint64_t Fold(std::uint64_t a, std::uint64_t b) {
    const unsigned __int128 product = static_cast<unsigned __int128>(a) * b;
    return static_cast<std::uint64_t>(product) ^ static_cast<std::uint64_t>(product >> 64);
}

template <typename T>
inline std::uint64_t Load(const char* p) {
    T v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

// Texts of a title's id are short: they are copied and compared in words,
// the last of which may overlap the one before, never past either end.
inline void CopyText(char* to, const char* from, std::size_t n) {
    if (n >= 8) {
        for (std::size_t i = 0; i + 8 < n; i += 8) std::memcpy(to + i, from + i, 8);
        std::memcpy(to + n - 8, from + n - 8, 8);
    } else if (n >= 4) {
        std::memcpy(to, from, 4);
        std::memcpy(to + n - 4, from + n - 4, 4);
    } else {
        for (std::size_t i = 0; i < n; ++i) to[i] = from[i];
    }
}
inline bool SameText(const char* a, const char* b, std::size_t n) {
    if (n >= 8) {
        std::uint64_t differ = 0;
        for (std::size_t i = 0; i + 8 < n; i += 8) differ |= Load<std::uint64_t>(a + i) ^ Load<std::uint64_t>(b + i);
        return (differ | (Load<std::uint64_t>(a + n - 8) ^ Load<std::uint64_t>(b + n - 8))) == 0;
    }
    if (n >= 4)
        return ((Load<std::uint32_t>(a) ^ Load<std::uint32_t>(b)) |
                (Load<std::uint32_t>(a + n - 4) ^ Load<std::uint32_t>(b + n - 4))) == 0;
    for (std::size_t i = 0; i < n; ++i)
        if (a[i] != b[i]) return false;
    return true;
}

// A text 16 bytes a round, its last (at most) 16 read in fixed-size pieces
// that may overlap, with its length: a copy of a varying size is a call.
inline std::uint64_t HashText(std::uint64_t seed, std::string_view s) {
    const char* p = s.data();
    const std::size_t n = s.size();
    std::uint64_t a = 0, b = 0;
    if (n > 16) {
        for (std::size_t i = 0; i + 16 < n; i += 16)
            seed = Fold(Load<std::uint64_t>(p + i) ^ kMul, Load<std::uint64_t>(p + i + 8) ^ seed);
        a = Load<std::uint64_t>(p + n - 16);
        b = Load<std::uint64_t>(p + n - 8);
    } else if (n >= 8) {
        a = Load<std::uint64_t>(p);
        b = Load<std::uint64_t>(p + n - 8);
    } else if (n >= 4) {
        a = Load<std::uint32_t>(p);
        b = Load<std::uint32_t>(p + n - 4);
    } else if (n > 0) {
        auto byte = [&](std::size_t i) { return std::uint64_t{static_cast<unsigned char>(p[i])}; };
        a = byte(0) << 16 | byte(n / 2) << 8 | byte(n - 1);
    }
    return Fold(a ^ kMul ^ n, b ^ seed);
}

// The four texts apart, each with a seed of its own: "A" + "" is not "" + "A".
std::uint64_t HashOf(const TITLE_ID_VIEW& id) {
    const std::uint64_t t = HashText(0x243F6A8885A308D3ull, id.title), d = HashText(0x13198A2E03707344ull, id.date),
                        h = HashText(0xA4093822299F31D0ull, id.time), c = HashText(0x082EFA98EC4E6C89ull, id.channel);
    return Fold(Fold(t, d ^ 0x452821E638D01377ull) ^ kMul, Fold(h ^ 0xBE5466CF34E90C6Cull, c) ^ 0xC0AC29B7C97C50DDull);
}

TITLE_ID_VIEW IdOf(const TITLEID& id) { return {id.strDate, id.strTime, id.strChannel, id.strTitle}; }
TITLE_ID_VIEW IdOf(const CRDTitleInfo& t) {
    return {t.Field(TF_DATE), t.Field(TF_TIME), t.Field(TF_CHANNEL), t.Field(TF_TITLE)};
}

// The distinct recordings that news name, each found by a title's four texts.
class NewsRecordings {
public:
    static constexpr std::size_t kNone = SIZE_MAX;

    explicit NewsRecordings(const std::vector<TITLEID>& news) : m_news(news) {
        m_of.reserve(news.size());
        for (std::size_t i = 0; i < news.size(); ++i) {
            std::size_t k = Find(IdOf(news[i]));
            if (k == kNone) {
                k = m_first.size();
                m_first.push_back(i);
                m_ids.emplace(HashOf(IdOf(news[i])), k);
            }
            m_of.push_back(k);
        }
    }
    std::size_t size() const { return m_first.size(); }
    // The recording of news title i, and the first news title of recording k.
    std::size_t Of(std::size_t i) const { return m_of[i]; }
    const TITLEID& First(std::size_t k) const { return m_news[m_first[k]]; }
    // The recording of a title, or kNone.
    std::size_t Find(const TITLE_ID_VIEW& id) const {
        auto [at, end] = m_ids.equal_range(HashOf(id));
        for (; at != end; ++at) {
            const TITLEID& t = First(at->second);
            if (t.strTitle == id.title && t.strDate == id.date && t.strTime == id.time && t.strChannel == id.channel)
                return at->second;
        }
        return kNone;
    }

private:
    const std::vector<TITLEID>& m_news;
    std::unordered_multimap<std::uint64_t, std::size_t> m_ids;
    std::vector<std::size_t> m_first, m_of;
};

// The four texts of each distinct id, one record after another in chunks
// that never move, so that the table's slots stay 16 bytes and the titles
// they came from need not stay. A record is named by where it starts, in
// 4-byte units; none starts at 0.
class IdTexts {
public:
    std::uint32_t Add(const TITLE_ID_VIEW& t) {
        const std::string_view texts[4] = {t.title, t.date, t.time, t.channel};
        std::size_t bytes = 4;
        for (std::string_view text : texts) bytes += text.size();
        const std::size_t units = (bytes + 3) / 4;
        if (m_chunks.empty() || m_used + units > kChunkUnits) {
            if (m_chunks.size() >= 0xFFFFFFFF / kChunkUnits) throw std::length_error("library too large");
            m_chunks.push_back(std::make_unique_for_overwrite<std::uint32_t[]>(kChunkUnits));
            m_used = m_chunks.size() == 1 ? 1 : 0;
        }
        auto* p = reinterpret_cast<unsigned char*>(m_chunks.back().get() + m_used);
        for (std::size_t k = 0; k < 4; ++k) p[k] = static_cast<unsigned char>(texts[k].size());
        p += 4;
        for (std::string_view text : texts) {
            CopyText(reinterpret_cast<char*>(p), text.data(), text.size());  // an empty view may hold no pointer
            p += text.size();
        }
        const auto id = static_cast<std::uint32_t>((m_chunks.size() - 1) * kChunkUnits + m_used);
        m_used += units;
        return id;
    }
    void Prefetch(std::uint32_t id) const {
        __builtin_prefetch(Record(id));
        __builtin_prefetch(Record(id) + 64);
    }
    bool Same(std::uint32_t id, const TITLE_ID_VIEW& t) const {
        const char* p = Record(id);
        const char* text = p + 4;
        for (std::string_view field : {t.title, t.date, t.time, t.channel}) {
            const auto n = static_cast<unsigned char>(*p++);
            if (n != field.size() || !SameText(text, field.data(), n)) return false;
            text += n;
        }
        return true;
    }

private:
    // 1 MiB: a record (at most 155 bytes) never spans two.
    static constexpr std::size_t kChunkUnits = std::size_t{1} << 18;
    const char* Record(std::uint32_t id) const {
        return reinterpret_cast<const char*>(m_chunks[id / kChunkUnits].get() + id % kChunkUnits);
    }
    std::vector<std::unique_ptr<std::uint32_t[]>> m_chunks;
    std::size_t m_used = 0;
};

// The distinct ids of two libraries in one open-addressed table of 16-byte
// slots: an id's texts, part of its hash, and two counts. The titles come in
// batches, those of `before` first, and need not stay once counted. Equal
// hashes are told apart by the texts.
class IdTable {
public:
    struct Slot {
        std::uint32_t id;   // 0 for none
        std::uint32_t tag;  // the hash's high half: where the search starts, and most text checks spared
        std::int32_t left;  // titles of `before` not yet found again
        std::int32_t seen;  // titles of `after` so far
    };
    static_assert(sizeof(Slot) == 16);

    // expected: about how many distinct ids there will be.
    explicit IdTable(std::size_t expected) { Resize(expected + 1); }

    // Calls `use` with the slot of each title, whose hash is hashOf(index).
    // A title's slot is fetched ahead, then the texts its slot names, so
    // that the cache misses of many titles overlap. False when `stopped`
    // said so.
    template <typename Hash, typename Use>
    bool ForEach(const std::vector<TITLE_ID_VIEW>& titles, Hash hashOf, const std::function<bool()>& stopped, Use use) {
        constexpr std::size_t kAhead = 16, kBatch = 1024;
        static_assert(kStopCheckTitles % kBatch == 0);
        for (std::size_t at = 0; at < titles.size(); at += kBatch) {
            if (stopped && at % kStopCheckTitles == 0 && stopped()) return false;
            const std::size_t n = std::min(kBatch, titles.size() - at);
            // Room for the whole batch first, all of it new or not: a resize moves the slots.
            if (m_used + n > m_slots.size() / 4 * 3) Resize(std::max(m_slots.size(), m_used + n));
            std::uint64_t hashes[kBatch];
            for (std::size_t i = 0; i < n; ++i) hashes[i] = hashOf(at + i);
            for (std::size_t i = 0; i < n + 2 * kAhead; ++i) {
                if (i < n) __builtin_prefetch(&m_slots[Home(Tag(hashes[i]))]);
                if (i >= kAhead && i - kAhead < n) {
                    const std::uint64_t h = hashes[i - kAhead];
                    const Slot& s = m_slots[Home(Tag(h))];
                    if (s.id != 0 && s.tag == Tag(h)) m_texts.Prefetch(s.id);
                }
                if (i < 2 * kAhead) continue;
                const std::size_t k = i - 2 * kAhead;
                use(Find(titles[at + k], hashes[k]), titles[at + k]);
            }
        }
        return true;
    }
    int Left() const {
        int left = 0;
        for (const Slot& s : m_slots) left += s.left;
        return left;
    }

private:
    Slot& Find(const TITLE_ID_VIEW& title, std::uint64_t h) {
        const std::uint32_t tag = Tag(h);
        for (std::size_t i = Home(tag);; i = (i + 1) & m_mask) {
            Slot& s = m_slots[i];
            if (s.id == 0) {
                s.id = m_texts.Add(title);
                s.tag = tag;
                ++m_used;
                return s;
            }
            if (s.tag == tag && m_texts.Same(s.id, title)) return s;
        }
    }
    // Where a slot's search starts comes from its tag alone, so that a resize
    // needs nothing but the slots; always the first of four slots in a cache
    // line, so that most searches end in the line fetched ahead.
    static std::uint32_t Tag(std::uint64_t h) { return static_cast<std::uint32_t>(h >> 32); }
    std::size_t Home(std::uint32_t tag) const {
        return static_cast<std::size_t>((tag * kMul) >> 32) & m_mask & ~std::size_t{3};
    }
    // At least one and a half times `count` slots, the ids already in moved over.
    void Resize(std::size_t count) {
        std::size_t size = 16;
        while (size < count + count / 2) size *= 2;
        SlotPages old(size);
        std::swap(old, m_slots);
        m_mask = size - 1;
        for (const Slot& s : old) {
            if (s.id == 0) continue;
            std::size_t i = Home(s.tag);
            while (m_slots[i].id != 0) i = (i + 1) & m_mask;
            m_slots[i] = s;
        }
    }

    // Slots in zeroed pages, huge where the system has them: a table of
    // millions is read at random, and small pages would miss their
    // translations as often as their lines.
    class SlotPages {
    public:
        explicit SlotPages(std::size_t count = 0) : m_count(count) {
            if (!count) return;
            m_slots = static_cast<Slot*>(lv::platform::AllocatePages(count * sizeof(Slot)));
            if (!m_slots) throw std::bad_alloc();
            lv::platform::AdviseHugePages(m_slots, count * sizeof(Slot));
        }
        SlotPages(const SlotPages&) = delete;
        SlotPages& operator=(const SlotPages&) = delete;
        SlotPages(SlotPages&& other) noexcept
            : m_slots(std::exchange(other.m_slots, nullptr)), m_count(std::exchange(other.m_count, 0)) {}
        SlotPages& operator=(SlotPages&& other) noexcept {
            std::swap(m_slots, other.m_slots);
            std::swap(m_count, other.m_count);
            return *this;
        }
        ~SlotPages() {
            if (m_slots) lv::platform::FreePages(m_slots, m_count * sizeof(Slot));
        }
        std::size_t size() const { return m_count; }
        Slot& operator[](std::size_t i) { return m_slots[i]; }
        const Slot* begin() const { return m_slots; }
        const Slot* end() const { return m_slots + m_count; }

    private:
        Slot* m_slots = nullptr;
        std::size_t m_count = 0;
    };

    IdTexts m_texts;
    SlotPages m_slots;
    std::size_t m_mask = 0;
    std::size_t m_used = 0;
};

// What a title of `before` and one of `after` do to the news.
struct CountBefore {
    void operator()(IdTable::Slot& s, const TITLE_ID_VIEW&) const { ++s.left; }
};

struct CountAfter {
    NEWTITLES& news;
    void operator()(IdTable::Slot& s, const TITLE_ID_VIEW& t) const {
        ++s.seen;
        if (s.left > 0) {
            --s.left;
            return;
        }
        news.aNew.push_back(
            {std::string(t.date), std::string(t.time), std::string(t.channel), std::string(t.title), s.seen});
    }
};

// The whole lines two files share at their start and at their end: what lies
// between (each file's middle) holds every difference.
struct SHARED_LINES {
    bool same = false;  // the files are equal
    std::uint64_t head = 0, tail = 0;
    std::uint64_t sizeBefore = 0, sizeAfter = 0;
};

// Compared a view at a time: what is mapped stays small.
constexpr std::size_t kCompareBlock = std::size_t{1} << 20;

// How many bytes of x and y are equal from their start, and from their end:
// compared a piece at a time, then byte by byte within the piece that differs.
constexpr std::size_t kPiece = 64;
std::size_t EqualFront(const char* x, const char* y, std::size_t n) {
    std::size_t i = 0;
    while (i + kPiece <= n && std::memcmp(x + i, y + i, kPiece) == 0) i += kPiece;
    while (i < n && x[i] == y[i]) ++i;
    return i;
}
std::size_t EqualBack(const char* x, const char* y, std::size_t n) {
    std::size_t i = n;
    while (i >= kPiece && std::memcmp(x + i - kPiece, y + i - kPiece, kPiece) == 0) i -= kPiece;
    while (i > 0 && x[i - 1] == y[i - 1]) --i;
    return n - i;
}

// n bytes at `at` of both files, viewed in place.
struct BLOCKS {
    lv::platform::FileView x, y;
    bool Map(const lv::platform::File& a, std::uint64_t atA, const lv::platform::File& b, std::uint64_t atB,
             std::size_t n) {
        return x.Map(a, atA, n) && y.Map(b, atB, n);
    }
};

// Bytes equal at the start of both files, and the length of the whole lines among them.
bool SharedHead(const lv::platform::File& a, const lv::platform::File& b, SHARED_LINES& shared) {
    const std::uint64_t both = std::min(shared.sizeBefore, shared.sizeAfter);
    BLOCKS blocks;
    for (std::uint64_t at = 0; at < both;) {
        const auto n = static_cast<std::size_t>(std::min<std::uint64_t>(kCompareBlock, both - at));
        if (!blocks.Map(a, at, b, at, n)) return false;
        const char* const x = blocks.x.Data();
        const std::size_t equal = EqualFront(x, blocks.y.Data(), n);
        for (std::size_t i = equal; i > 0; --i)
            if (x[i - 1] == '\n') {
                shared.head = at + i;
                break;
            }
        if (equal < n) return true;
        at += n;
    }
    shared.same = shared.sizeBefore == shared.sizeAfter;
    return true;
}

// Bytes equal at the end of both files, up to `limit`, less the part line
// before their first line end: what is left starts a line in both.
bool SharedTail(const lv::platform::File& a, const lv::platform::File& b, std::uint64_t limit, SHARED_LINES& shared) {
    BLOCKS blocks;
    std::uint64_t equal = 0;  // bytes from the end
    for (bool more = true; more && equal < limit;) {
        const auto n = static_cast<std::size_t>(std::min<std::uint64_t>(kCompareBlock, limit - equal));
        if (!blocks.Map(a, shared.sizeBefore - equal - n, b, shared.sizeAfter - equal - n, n)) return false;
        const char* const x = blocks.x.Data();
        const std::size_t same = EqualBack(x, blocks.y.Data(), n);
        equal += same;
        more = same == n;
        // Read backwards, each block's first line end among the equal bytes
        // is nearer the start than any found before.
        if (const void* lf = std::memchr(x + (n - same), '\n', same))
            shared.tail = equal - same + static_cast<std::uint64_t>(x + n - static_cast<const char*>(lf)) - 1;
    }
    return true;
}

bool SharedLinesOf(const std::string& before, const std::string& after, SHARED_LINES& shared) {
    const lv::platform::File a = lv::platform::OpenRegularFile(before), b = lv::platform::OpenRegularFile(after);
    if (!a || !b) return false;
    shared.sizeBefore = a.Size();
    shared.sizeAfter = b.Size();
    if (!SharedHead(a, b, shared)) return false;
    if (shared.same) return true;
    const std::uint64_t shorter = std::min(shared.sizeBefore, shared.sizeAfter);
    return SharedTail(a, b, shorter - shared.head, shared);
}

}  // namespace

std::uint64_t HashTitleId(const CRDTitleInfo& t) { return HashOf(IdOf(t)); }

NEWTITLES CompareLibraries(const std::vector<CRDTitleInfo>& before, const std::vector<CRDTitleInfo>& after,
                           const std::function<bool()>& stopped, TitleHash hash) {
    auto ids = [](const std::vector<CRDTitleInfo>& titles) {
        std::vector<TITLE_ID_VIEW> views;
        views.reserve(titles.size());
        for (const CRDTitleInfo& t : titles) views.push_back(IdOf(t));
        return views;
    };
    IdTable table(std::max(before.size(), after.size()));
    NEWTITLES news;
    if (!table.ForEach(
            ids(before), [&](std::size_t i) { return hash(before[i]); }, stopped, CountBefore{}) ||
        !table.ForEach(
            ids(after), [&](std::size_t i) { return hash(after[i]); }, stopped, CountAfter{news}))
        return {};
    news.nRemoved = table.Left();
    return news;
}

namespace {

// The news of two libraries whose lines differ only in their middles, found
// in the middles alone, numbered as the whole libraries number them. The
// shared lines count too: when a recording new in the middle also has copies
// among the last shared lines, the last of its copies are the new ones.
class MiddleNews {
public:
    explicit MiddleNews(NEWTITLES& news) : m_news(news), m_recordings(news.aNew), m_counts(m_recordings.size()) {
        for (std::size_t i = 0; i < news.aNew.size(); ++i) {
            COUNTS& c = m_counts[m_recordings.Of(i)];
            ++c.middleNew;
            c.middleAll = news.aNew[i].nOccurrence;  // the last is the middle's count
            m_titleSizes |= SizeBit(news.aNew[i].strTitle);
        }
    }
    // Counts the lines of a shared part that hold a recording new in the middle.
    bool Count(const CRDRecorderLibrary& lib, const std::string& after, std::uint64_t from, std::uint64_t to, bool tail,
               const std::function<bool()>& stopped) {
        return lib.ScanTitleIds(
            after,
            [&](const std::vector<TITLE_ID_VIEW>& ids) {
                for (const TITLE_ID_VIEW& id : ids) {
                    if (!(m_titleSizes & SizeBit(id.title))) continue;  // spares most hashes
                    const std::size_t k = m_recordings.Find(id);
                    if (k == NewsRecordings::kNone) continue;
                    ++(tail ? m_counts[k].tail : m_counts[k].head);
                    if (tail) m_tailHits.push_back(k);
                }
                return !(stopped && stopped());
            },
            from, to);
    }
    // The news renumbered; those that moved to the shared end come last.
    void Finish() {
        std::vector<TITLEID> news;
        std::vector<int> kept(m_counts.size()), seen(m_counts.size());
        for (std::size_t i = 0; i < m_news.aNew.size(); ++i) {
            const std::size_t k = m_recordings.Of(i);
            if (kept[k]++ < Moved(m_counts[k])) continue;
            news.push_back(m_news.aNew[i]);
            news.back().nOccurrence += m_counts[k].head;
        }
        for (std::size_t k : m_tailHits) {
            const COUNTS& c = m_counts[k];
            const int t = ++seen[k];
            if (t <= c.tail - Moved(c)) continue;
            news.push_back(m_recordings.First(k));
            news.back().nOccurrence = c.head + c.middleAll + t;
        }
        m_news.aNew = std::move(news);
    }

private:
    struct COUNTS {
        int middleNew = 0;       // new titles of the recording in the middle
        int middleAll = 0;       // its titles in the after's middle
        int head = 0, tail = 0;  // its titles in the shared lines
    };
    static std::uint64_t SizeBit(std::string_view title) { return std::uint64_t{1} << (title.size() % 64); }
    // New titles in the middle that become old ones: the copies at the end are new instead.
    static int Moved(const COUNTS& c) { return std::min(c.middleNew, c.tail); }

    NEWTITLES& m_news;
    NewsRecordings m_recordings;
    std::vector<COUNTS> m_counts;         // by recording
    std::vector<std::size_t> m_tailHits;  // the recording of each counted line of the shared end
    std::uint64_t m_titleSizes = 0;       // a bit for each new title's length, modulo 64
};

}  // namespace

NEWTITLES CompareLibraryFiles(const std::string& model, const std::string& before, const std::string& after,
                              const std::function<bool()>& stopped) {
    std::error_code ec;
    if (!std::filesystem::exists(lv::platform::FsPath(before), ec)) return {};
    // A recorder whose library did not change since its last download sends
    // the same bytes again: nothing is new and nothing went. Most downloads
    // differ from the last in a few lines together; only those are compared
    // title by title.
    SHARED_LINES shared;
    if (!SharedLinesOf(before, after, shared)) shared = {};
    if (shared.same) return {};
    auto middleEnd = [&](std::uint64_t size) { return shared.tail ? size - shared.tail : UINT64_MAX; };
    CRDRecorderLibrary lib("");
    lib.SetModel(model);
    // The middles pass block by block: what stays is one record per distinct
    // title, the table sized for lines of about 128 bytes.
    const std::uint64_t middle = std::max(shared.sizeBefore, shared.head + shared.tail) - shared.head - shared.tail;
    IdTable table(static_cast<std::size_t>(middle / 128));
    NEWTITLES news;
    auto pass = [&](const std::string& path, std::uint64_t end, auto use) {
        return lib.ScanTitleIds(
            path,
            [&](const std::vector<TITLE_ID_VIEW>& ids) {
                return table.ForEach(
                    ids, [&](std::size_t i) { return HashOf(ids[i]); }, stopped, use);
            },
            shared.head, end);
    };
    if (!pass(before, middleEnd(shared.sizeBefore), CountBefore{}) ||
        !pass(after, middleEnd(shared.sizeAfter), CountAfter{news}))
        return {};
    news.nRemoved = table.Left();
    if (news.aNew.empty() || (shared.head == 0 && shared.tail == 0)) return news;
    MiddleNews renumber(news);
    if ((shared.head > 0 && !renumber.Count(lib, after, 0, shared.head, false, stopped)) ||
        (shared.tail > 0 && !renumber.Count(lib, after, middleEnd(shared.sizeAfter), UINT64_MAX, true, stopped)))
        return {};
    renumber.Finish();
    return news;
}

std::string NewTitlesPath(const std::string& cacheFolder) { return cacheFolder + kNewTitlesFile; }

std::string FormatNewTitles(const NEWTITLES& news) {
    std::string out;
    AppendQuoted(out, kMagic);
    out.append(kVersion).append(",").append(std::to_string(news.nRemoved)).append("\r\n");
    for (const TITLEID& id : news.aNew) {
        for (const std::string* text : {&id.strDate, &id.strTime, &id.strChannel, &id.strTitle})
            AppendQuoted(out, *text);
        out.append(std::to_string(id.nOccurrence)).append("\r\n");
    }
    return out;
}

bool ParseNewTitles(std::string_view bytes, NEWTITLES& news) {
    news = {};
    NEWTITLES parsed;
    bool header = true;
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        std::size_t end = bytes.find('\n', pos);
        if (end == std::string_view::npos) end = bytes.size();
        std::string line(bytes.substr(pos, end - pos));
        pos = end + 1;
        while (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() && !header) continue;
        if (line.find('\0') != std::string::npos) return false;
        // One slot more than a line has: a field too many is a broken line.
        char f[6][TITLE_LIMIT + 2];
        CSV_FIELD slots[7];
        for (int i = 0; i < 6; ++i) slots[i] = {f[i], sizeof f[i]};
        slots[6] = {nullptr, 0};
        std::size_t lengths[6] = {};
        SplitCsvLine(line.c_str(), slots, CSV_DOUBLED, lengths);
        if (header) {
            auto removed = ParseCount(f[2], 0);
            if (f[0] != kMagic || f[1] != kVersion || !removed || f[3][0]) return false;
            parsed.nRemoved = *removed;
            header = false;
            continue;
        }
        auto occurrence = ParseCount(f[4], 1);
        // A cut field would name another title.
        bool cut = false;
        for (int i = 0; i < 4; ++i) cut = cut || lengths[i] > TITLE_LIMIT;
        if (!occurrence || f[5][0] || cut) return false;
        parsed.aNew.push_back({f[0], f[1], f[2], f[3], *occurrence});
    }
    if (header) return false;
    news = std::move(parsed);
    return true;
}

bool SaveNewTitles(const std::string& path, const NEWTITLES& news, std::string* error) {
    const std::string bytes = FormatNewTitles(news);
    if (bytes.size() > kMaxNewsBytes) {
        if (error) *error = lv::text::FileErrorText(lv::platform::FsPath(path).filename().string(), EFBIG);
        return false;
    }
    return lv::WriteFileAtomic(path, bytes, 0600, error);
}

bool ReadNewsFile(const std::string& path, std::string& bytes) {
    bytes.clear();
    std::error_code ec;
    const auto size = std::filesystem::file_size(lv::platform::FsPath(path), ec);
    return !ec && size <= kMaxNewsBytes && lv::ReadWholeFile(path, bytes);
}

NEWTITLES LoadNewTitles(const std::string& path) {
    std::string bytes;
    NEWTITLES news;
    if (ReadNewsFile(path, bytes)) ParseNewTitles(bytes, news);
    return news;
}

std::vector<bool> MarkNewTitles(const NEWTITLES& news, const std::vector<CRDTitleInfo>& titles) {
    std::vector<bool> marks(titles.size(), false);
    if (news.aNew.empty()) return marks;
    // Few titles are named: every title is hashed, and its texts are looked
    // at only when a named one has the same hash.
    const NewsRecordings recordings(news.aNew);
    std::vector<std::unordered_set<int>> occurrences(recordings.size());
    for (std::size_t i = 0; i < news.aNew.size(); ++i) occurrences[recordings.Of(i)].insert(news.aNew[i].nOccurrence);
    std::vector<int> seen(recordings.size());
    for (std::size_t i = 0; i < titles.size(); ++i) {
        const std::size_t k = recordings.Find(IdOf(titles[i]));
        if (k != NewsRecordings::kNone) marks[i] = occurrences[k].count(++seen[k]) != 0;
    }
    return marks;
}

std::string NewsStatusText(int newCount, int removed) {
    std::string text = lv::msg::NewsStatus();
    for (int n : {newCount, removed}) {
        const std::size_t at = text.find("%d");
        if (at != std::string::npos) text.replace(at, 2, std::to_string(n));
    }
    return text;
}

void CLibraryNews::Load(const std::string& appDir, std::shared_ptr<const RECORDERS> recorders) {
    m_pRecorders = std::move(recorders);
    m_aNew.clear();
    if (!m_pRecorders) return;
    for (const auto& recorder : *m_pRecorders) {
        CNetNaviSetting setting(appDir);
        if (!setting.SetName(recorder->GetName())) continue;
        const NEWTITLES news = LoadNewTitles(NewTitlesPath(setting.GetCacheFolder()));
        const std::vector<bool> marks = MarkNewTitles(news, recorder->Titles());
        for (std::size_t i = 0; i < marks.size(); ++i)
            if (marks[i]) m_aNew.insert(&recorder->Titles()[i]);
    }
}
