#include "core/library/new_titles.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <filesystem>
#include <future>
#include <stdexcept>
#include <tuple>
#include <unordered_map>

#include "core/ini/atomic_file.h"
#include "core/library/csv.h"
#include "core/library/recorder_library.h"
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

// The last s.size() % 8 bytes, read in fixed-size pieces that may overlap
// (the length is mixed in apart): a copy of a varying size is a call.
std::uint64_t TailWord(std::string_view s) {
    const char* p = s.data() + s.size() / 8 * 8;
    const std::size_t n = s.size() % 8;
    if (n >= 4) {
        std::uint32_t a, b;
        std::memcpy(&a, p, 4);
        std::memcpy(&b, p + n - 4, 4);
        return std::uint64_t{a} << 32 | b;
    }
    if (n == 0) return 0;
    auto byte = [&](std::size_t i) { return std::uint64_t{static_cast<unsigned char>(p[i])}; };
    return byte(0) << 16 | byte(n / 2) << 8 | byte(n - 1);
}

std::uint64_t MixText(std::uint64_t h, std::string_view s) {
    for (std::size_t i = 0; i + 8 <= s.size(); i += 8) {
        std::uint64_t w;
        std::memcpy(&w, s.data() + i, 8);
        h = (h ^ w) * kMul;
        h ^= h >> 29;
    }
    // The length keeps "A" + "" apart from "" + "A".
    h = (h ^ TailWord(s) ^ (std::uint64_t{s.size()} << 56)) * kMul;
    return h ^ (h >> 32);
}

std::uint64_t HashId(std::string_view date, std::string_view time, std::string_view channel, std::string_view title) {
    std::uint64_t h = 0x243F6A8885A308D3ull;
    for (std::string_view text : {date, time, channel, title}) h = MixText(h, text);
    h ^= h >> 33;
    h *= 0xFF51AFD7ED558CCDull;
    return h ^ (h >> 33);
}

bool SameId(const TITLEID& id, const CRDTitleInfo& t) {
    return id.strTitle == t.Field(TF_TITLE) && id.strDate == t.Field(TF_DATE) && id.strTime == t.Field(TF_TIME) &&
           id.strChannel == t.Field(TF_CHANNEL);
}

bool SameId(const CRDTitleInfo& a, const CRDTitleInfo& b) {
    for (TITLE_FIELD f : {TF_TITLE, TF_DATE, TF_TIME, TF_CHANNEL})
        if (a.Field(f) != b.Field(f)) return false;
    return true;
}

// The distinct ids of two libraries in one open-addressed table of 16-byte
// slots: a title that stands for its id (an index into `before`, then into
// `after`), part of the hash, and two counts. Equal hashes are told apart by
// the texts.
class IdTable {
public:
    struct Slot {
        std::uint32_t title = kEmpty;
        std::uint32_t tag = 0;  // the hash's high half, to skip most text checks
        std::int32_t left = 0;  // titles of `before` not yet found again
        std::int32_t seen = 0;  // titles of `after` so far
    };
    static constexpr std::uint32_t kEmpty = 0xFFFFFFFF;

    IdTable(const std::vector<CRDTitleInfo>& before, const std::vector<CRDTitleInfo>& after, TitleHash hash)
        : m_before(before), m_after(after), m_hash(hash) {
        Resize(std::max(before.size(), after.size()) + 1);
    }

    // Calls `use` with the slot of each title from `first` to `last`. The
    // slots of a batch are hashed and fetched ahead, so that their cache
    // misses overlap. False when `stopped` said so.
    template <typename Use>
    bool ForEach(std::uint32_t first, std::uint32_t last, const std::function<bool()>& stopped, Use use) {
        constexpr std::uint32_t kBatch = 16;
        static_assert(kStopCheckTitles % kBatch == 0);
        std::uint64_t hashes[kBatch];
        for (std::uint32_t at = first; at < last; at += kBatch) {
            if (stopped && (at - first) % kStopCheckTitles == 0 && stopped()) return false;
            const std::uint32_t n = std::min(kBatch, last - at);
            // Room for the batch first: a resize moves the slots.
            if (m_used + n > m_slots.size() / 4 * 3) Resize(m_slots.size());
            for (std::uint32_t k = 0; k < n; ++k) {
                hashes[k] = m_hash(At(at + k));
                __builtin_prefetch(&m_slots[Home(hashes[k])]);
            }
            for (std::uint32_t k = 0; k < n; ++k) use(Find(at + k, hashes[k]), at + k);
        }
        return true;
    }
    const std::vector<Slot>& Slots() const { return m_slots; }

private:
    Slot& Find(std::uint32_t index, std::uint64_t h) {
        const CRDTitleInfo& title = At(index);
        const auto tag = static_cast<std::uint32_t>(h >> 32);
        for (std::size_t i = Home(h);; i = (i + 1) & m_mask) {
            Slot& s = m_slots[i];
            if (s.title == kEmpty) {
                s.title = index;
                s.tag = tag;
                ++m_used;
                return s;
            }
            if (s.tag == tag && SameId(At(s.title), title)) return s;
        }
    }
    const CRDTitleInfo& At(std::uint32_t index) const {
        return index < m_before.size() ? m_before[index] : m_after[index - m_before.size()];
    }
    std::size_t Home(std::uint64_t h) const { return static_cast<std::size_t>((h * kMul) >> 32) & m_mask; }
    // At least one and a half times `count` slots, the ids already in moved over.
    void Resize(std::size_t count) {
        std::size_t size = 16;
        while (size < count + count / 2) size *= 2;
        std::vector<Slot> old(size);
        old.swap(m_slots);
        m_mask = size - 1;
        for (const Slot& s : old) {
            if (s.title == kEmpty) continue;
            std::size_t i = Home(m_hash(At(s.title)));
            while (m_slots[i].title != kEmpty) i = (i + 1) & m_mask;
            m_slots[i] = s;
        }
    }

    const std::vector<CRDTitleInfo>& m_before;
    const std::vector<CRDTitleInfo>& m_after;
    TitleHash m_hash;
    std::vector<Slot> m_slots;
    std::size_t m_mask = 0;
    std::size_t m_used = 0;
};

}  // namespace

std::uint64_t HashTitleId(const CRDTitleInfo& t) {
    return HashId(t.Field(TF_DATE), t.Field(TF_TIME), t.Field(TF_CHANNEL), t.Field(TF_TITLE));
}

NEWTITLES CompareLibraries(const std::vector<CRDTitleInfo>& before, const std::vector<CRDTitleInfo>& after,
                           const std::function<bool()>& stopped, TitleHash hash) {
    // Slots name titles by 32-bit indices.
    if (before.size() + after.size() >= IdTable::kEmpty) throw std::length_error("library too large");
    IdTable table(before, after, hash);
    const auto nBefore = static_cast<std::uint32_t>(before.size());
    if (!table.ForEach(0, nBefore, stopped, [](IdTable::Slot& s, std::uint32_t) { ++s.left; })) return {};
    NEWTITLES news;
    auto count = [&](IdTable::Slot& s, std::uint32_t index) {
        ++s.seen;
        if (s.left > 0) {
            --s.left;
            return;
        }
        const CRDTitleInfo& t = after[index - nBefore];
        news.aNew.push_back({std::string(t.Field(TF_DATE)), std::string(t.Field(TF_TIME)),
                             std::string(t.Field(TF_CHANNEL)), std::string(t.Field(TF_TITLE)), s.seen});
    };
    if (!table.ForEach(nBefore, nBefore + static_cast<std::uint32_t>(after.size()), stopped, count)) return {};
    for (const IdTable::Slot& s : table.Slots()) news.nRemoved += s.left;
    return news;
}

NEWTITLES CompareLibraryFiles(const std::string& model, const std::string& before, const std::string& after,
                              const std::function<bool()>& stopped) {
    std::error_code ec;
    if (!std::filesystem::exists(lv::platform::FsPath(before), ec)) return {};
    CRDRecorderLibrary old(""), now("");
    old.SetModel(model);
    now.SetModel(model);
    // The two loads side by side: with a second core the comparison takes
    // about one load and the matching.
    auto loadingOld = std::async(std::launch::async, [&] { return old.LoadTitleList(before, stopped); });
    const bool nowLoaded = now.LoadTitleList(after, stopped);
    if (!loadingOld.get() || !nowLoaded) return {};
    return CompareLibraries(old.Titles(), now.Titles(), stopped);
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
    struct Wanted {
        const TITLEID* id;
        std::unordered_set<int> occurrences;
        int seen = 0;
    };
    std::unordered_map<std::uint64_t, std::vector<Wanted>> wanted;
    for (const TITLEID& id : news.aNew) {
        auto& list = wanted[HashId(id.strDate, id.strTime, id.strChannel, id.strTitle)];
        auto same = std::find_if(list.begin(), list.end(), [&](const Wanted& w) {
            return std::tie(w.id->strDate, w.id->strTime, w.id->strChannel, w.id->strTitle) ==
                   std::tie(id.strDate, id.strTime, id.strChannel, id.strTitle);
        });
        if (same == list.end()) same = list.insert(list.end(), Wanted{&id, {}});
        same->occurrences.insert(id.nOccurrence);
    }
    for (std::size_t i = 0; i < titles.size(); ++i) {
        auto it = wanted.find(HashTitleId(titles[i]));
        if (it == wanted.end()) continue;
        for (Wanted& w : it->second)
            if (SameId(*w.id, titles[i])) {
                marks[i] = w.occurrences.count(++w.seen) != 0;
                break;
            }
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
        if (!setting.SetName(recorder->Name())) continue;
        const NEWTITLES news = LoadNewTitles(NewTitlesPath(setting.GetCacheFolder()));
        const std::vector<bool> marks = MarkNewTitles(news, recorder->Titles());
        for (std::size_t i = 0; i < marks.size(); ++i)
            if (marks[i]) m_aNew.insert(&recorder->Titles()[i]);
    }
}
