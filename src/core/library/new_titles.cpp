#include "core/library/new_titles.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <filesystem>
#include <stdexcept>
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

// The four texts in one string; a NUL never occurs inside a field.
std::string Key(std::string_view date, std::string_view time, std::string_view channel, std::string_view title) {
    std::string key;
    key.reserve(date.size() + time.size() + channel.size() + title.size() + 3);
    key.append(date).append(1, '\0').append(time).append(1, '\0').append(channel).append(1, '\0').append(title);
    return key;
}

std::string Key(const CRDTitleInfo& t) {
    return Key(t.Field(TF_DATE), t.Field(TF_TIME), t.Field(TF_CHANNEL), t.Field(TF_TITLE));
}

std::string Key(const TITLEID& id) { return Key(id.strDate, id.strTime, id.strChannel, id.strTitle); }

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

}  // namespace

std::vector<TITLEID> GetTitleIds(const std::vector<CRDTitleInfo>& titles) {
    std::vector<TITLEID> ids;
    ids.reserve(titles.size());
    std::unordered_map<std::string, int> seen;
    for (const CRDTitleInfo& t : titles) {
        const int n = ++seen[Key(t)];
        ids.push_back({std::string(t.Field(TF_DATE)), std::string(t.Field(TF_TIME)), std::string(t.Field(TF_CHANNEL)),
                       std::string(t.Field(TF_TITLE)), n});
    }
    return ids;
}

namespace {
// Every this many titles a long comparison asks whether to stop.
constexpr std::size_t kStopCheckTitles = 4096;

constexpr std::uint64_t kMul = 0x9E3779B97F4A7C15ull;

std::uint64_t MixText(std::uint64_t h, std::string_view s) {
    std::size_t i = 0;
    for (; i + 8 <= s.size(); i += 8) {
        std::uint64_t w;
        std::memcpy(&w, s.data() + i, 8);
        h = (h ^ w) * kMul;
        h ^= h >> 29;
    }
    std::uint64_t w = 0;
    std::memcpy(&w, s.data() + i, s.size() - i);
    // The length keeps "A" + "" apart from "" + "A".
    h = (h ^ w ^ (std::uint64_t{s.size()} << 56)) * kMul;
    return h ^ (h >> 32);
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

    Slot& Find(std::uint32_t index) {
        if (++m_used > m_slots.size() / 4 * 3) Resize(m_slots.size());  // counted before it is known to be new
        const CRDTitleInfo& title = At(index);
        const std::uint64_t h = m_hash(title);
        const auto tag = static_cast<std::uint32_t>(h >> 32);
        for (std::size_t i = Home(h);; i = (i + 1) & m_mask) {
            Slot& s = m_slots[i];
            if (s.title == kEmpty) {
                s.title = index;
                s.tag = tag;
                return s;
            }
            if (s.tag == tag && SameId(At(s.title), title)) {
                --m_used;
                return s;
            }
        }
    }
    const std::vector<Slot>& Slots() const { return m_slots; }

private:
    const CRDTitleInfo& At(std::uint32_t index) const {
        return index < m_before.size() ? m_before[index] : m_after[index - m_before.size()];
    }
    std::size_t Home(std::uint64_t h) const { return static_cast<std::size_t>((h * kMul) >> 32) & m_mask; }
    // At least twice `count` slots, the ids already in moved over.
    void Resize(std::size_t count) {
        std::size_t size = 16;
        while (size < count * 2) size *= 2;
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

std::uint64_t HashTitleId(const CRDTitleInfo& title) {
    std::uint64_t h = 0x243F6A8885A308D3ull;
    for (TITLE_FIELD f : {TF_DATE, TF_TIME, TF_CHANNEL, TF_TITLE}) h = MixText(h, title.Field(f));
    h ^= h >> 33;
    h *= 0xFF51AFD7ED558CCDull;
    return h ^ (h >> 33);
}

NEWTITLES CompareLibraries(const std::vector<CRDTitleInfo>& before, const std::vector<CRDTitleInfo>& after,
                           const std::function<bool()>& stopped, TitleHash hash) {
    // Slots name titles by 32-bit indices.
    if (before.size() + after.size() >= IdTable::kEmpty) throw std::length_error("library too large");
    auto stop = [&](std::size_t i) { return stopped && i % kStopCheckTitles == 0 && stopped(); };
    IdTable table(before, after, hash);
    for (std::size_t i = 0; i < before.size(); ++i) {
        if (stop(i)) return {};
        ++table.Find(static_cast<std::uint32_t>(i)).left;
    }
    NEWTITLES news;
    for (std::size_t i = 0; i < after.size(); ++i) {
        if (stop(i)) return {};
        IdTable::Slot& s = table.Find(static_cast<std::uint32_t>(before.size() + i));
        ++s.seen;
        if (s.left > 0) {
            --s.left;
            continue;
        }
        const CRDTitleInfo& t = after[i];
        news.aNew.push_back({std::string(t.Field(TF_DATE)), std::string(t.Field(TF_TIME)),
                             std::string(t.Field(TF_CHANNEL)), std::string(t.Field(TF_TITLE)), s.seen});
    }
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
    if (!old.LoadTitleList(before, stopped) || !now.LoadTitleList(after, stopped)) return {};
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
    std::unordered_map<std::string, std::unordered_set<int>> wanted;
    for (const TITLEID& id : news.aNew) wanted[Key(id)].insert(id.nOccurrence);
    std::unordered_map<std::string, int> seen;
    for (std::size_t i = 0; i < titles.size(); ++i) {
        std::string key = Key(titles[i]);
        auto it = wanted.find(key);
        if (it == wanted.end()) continue;
        marks[i] = it->second.count(++seen[key]) != 0;
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
