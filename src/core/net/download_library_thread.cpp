#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/ini/atomic_file.h"
#include "core/library/line_reader.h"
#include "core/library/new_titles.h"
#include "core/net/http_thread.h"
#include "core/platform/file.h"
#include "core/platform/path.h"
#include "core/text/cp932.h"
#include "core/text/messages.h"

namespace {

constexpr char kLibraryPath[] = "/library/view_library.csv";
constexpr char kDiscListPath[] = "/library/DiscList_.csv";
// Every this many lines a long derivation asks whether to stop.
constexpr std::size_t kStopCheckLines = 4096;

// The characters a class 1 line ends with that hold its disc and remaining time.
constexpr std::size_t kDiscKeyChars = 11;

// The last kDiscKeyChars characters of a line (the whole line when shorter),
// with where each of them begins. Characters are found from the line's start,
// so that no key starts with a trail byte.
struct DiscKey {
    std::string_view text;
    std::size_t starts[kDiscKeyChars];
    std::size_t chars = 0;

    explicit DiscKey(std::string_view line) {
        std::size_t ring[kDiscKeyChars], count = 0;
        for (std::size_t i = 0; i < line.size(); i += lv::text::CharLength(line, i)) ring[count++ % kDiscKeyChars] = i;
        chars = std::min(count, kDiscKeyChars);
        const std::size_t first = count - chars;
        const std::size_t at = chars ? ring[first % kDiscKeyChars] : 0;
        for (std::size_t k = 0; k < chars; ++k) starts[k] = ring[(first + k) % kDiscKeyChars] - at;
        text = line.substr(at);
    }
    // Where character n begins, or the end.
    std::size_t End(std::size_t n) const { return n < chars ? starts[n] : text.size(); }
};

// The disc keys met so far. A key has at most eleven characters of two
// bytes, so each is kept whole in a fixed-size entry, and the table holds
// only an entry's number and part of its hash: no allocation per key.
class DiscKeySet {
public:
    // False when the key was there already.
    bool Insert(std::string_view key) {
        if ((m_keys.size() + 1) * 2 > m_slots.size()) Grow();
        const std::uint64_t h = Hash(key);
        const auto tag = static_cast<std::uint32_t>(h >> 32);
        for (std::size_t i = h & m_mask;; i = (i + 1) & m_mask) {
            Slot& s = m_slots[i];
            if (s.key == 0) {
                Key k{static_cast<unsigned char>(key.size()), {}};
                key.copy(k.bytes, key.size());
                m_keys.push_back(k);
                s = {static_cast<std::uint32_t>(m_keys.size()), tag};
                return true;
            }
            if (s.tag == tag && m_keys[s.key - 1].View() == key) return false;
        }
    }

private:
    struct Key {
        unsigned char length;
        char bytes[kDiscKeyChars * 2];
        std::string_view View() const { return {bytes, length}; }
    };
    struct Slot {
        std::uint32_t key = 0;  // from 1; 0 for none
        std::uint32_t tag = 0;
    };
    static std::uint64_t Hash(std::string_view key) { return std::hash<std::string_view>{}(key); }
    void Grow() {
        std::vector<Slot> slots(std::max<std::size_t>(1024, m_slots.size() * 2));
        m_mask = slots.size() - 1;
        for (const Slot& s : m_slots) {
            if (s.key == 0) continue;
            std::size_t i = Hash(m_keys[s.key - 1].View()) & m_mask;
            while (slots[i].key != 0) i = (i + 1) & m_mask;
            slots[i] = s;
        }
        m_slots.swap(slots);
    }

    std::vector<Key> m_keys;
    std::vector<Slot> m_slots;
    std::size_t m_mask = 0;
};

void RemoveIfThere(const std::string& path) {
    if (!path.empty()) lv::platform::Unlink(path);
}

}  // namespace

std::string CDownloadLibraryThread::GetNewsText() const {
    return m_strNewsError.empty() ? NewsStatusText(m_nNewCount, m_nRemovedCount) : m_strNewsError;
}

bool CDownloadLibraryThread::CheckFirstChunk(const char* data, std::size_t length) {
    if (length > 0 && data[0] == '"') return true;
    SetErrorText(lv::msg::LibraryFailed());
    return false;
}

bool CDownloadLibraryThread::DoTransfer() {
    const auto started = std::filesystem::file_time_type::clock::now();
    std::error_code ec;
    std::filesystem::create_directories(lv::platform::FsPath(m_strCacheFolder),
                                        ec);  // a failure shows in the next steps
    std::string lib = lv::CreateTempFile(m_strCacheFolder + "~RD");
    std::string disc = lv::CreateTempFile(m_strCacheFolder + "~RD");
    bool ok;
    if (lib.empty() || disc.empty()) {
        SetFileErrorText(m_strCacheFolder + "~RD");
        ok = false;
    } else {
        ok = Fetch(kLibraryPath, lib.c_str());
        if (ok) ok = m_nModelClass == 1 ? BuildDiscList(lib, disc) : Fetch(kDiscListPath, disc.c_str());
        // Compared while the old library is still in place, and written before
        // the library they describe: a transfer killed between the two leaves
        // the old library beside news that mark none of its titles, and the
        // next download finds the same news again (written after, it would
        // find none). News that cannot be written must not stay to mark titles
        // of another library; if the library cannot be replaced, the old news
        // go back beside it. A stop is honoured until the library is replaced.
        const std::string newsPath = NewTitlesPath(m_strCacheFolder);
        // What the user put in the news file's place (a FIFO, a folder) stays.
        auto dropNews = [&] {
            if (!lv::platform::IsSpecialFile(newsPath)) lv::platform::Unlink(newsPath);
        };
        NEWTITLES news;
        if (ok) news = CompareLibraryFiles(m_strModel, m_strLibraryPath, lib, [this] { return Aborted(); });
        ok = ok && !Aborted();
        std::string oldNews;
        const bool hadNews = ok && ReadNewsFile(newsPath, oldNews);
        if (ok && !Aborted() && !SaveNewTitles(newsPath, news, &m_strNewsError)) {
            m_strNewsError = lv::msg::NewsNotSaved() + " " + m_strNewsError;
            dropNews();
        }
        // Both lists are complete: only now is the old cache replaced.
        if (ok) {
            ok = !Aborted() && ReplaceFile(lib, m_strLibraryPath);
            if (!ok && !(hadNews && lv::WriteFileAtomic(newsPath, oldNews, 0600))) dropNews();
        }
        if (ok) {
            m_nNewCount = static_cast<int>(news.aNew.size());
            m_nRemovedCount = news.nRemoved;
        }
        if (ok) ok = ReplaceFile(disc, m_strDiscPath);
    }
    RemoveIfThere(lib);
    RemoveIfThere(disc);
    // Left by transfers that were killed; one that began after this one may still be writing its own.
    if (ok) lv::RemoveStaleTemps(m_strCacheFolder, lv::kTransferTempPrefix, started);
    return ok;
}

bool CDownloadLibraryThread::BuildDiscList(const std::string& libraryPath, const std::string& discPath) {
    lv::LineReader reader;
    if (!reader.Open(libraryPath)) {
        SetFileErrorText(libraryPath);
        return false;
    }
    std::FILE* out = CreateOutputFile(discPath);
    if (!out) {
        SetFileErrorText(discPath);
        return false;
    }
    std::string text = lv::msg::DerivedDiscHeader() + "\r\n";
    DiscKeySet keys;
    char* data = nullptr;
    std::size_t length = 0;
    for (std::size_t n = 0; reader.Next(data, length); ++n) {
        if (n % kStopCheckLines == 0 && Aborted()) break;
        const DiscKey key(std::string_view(data, length));
        if (key.chars >= 4 && key.text.substr(key.End(1), key.End(4) - key.End(1)) == "HDD") continue;
        if (!keys.Insert(key.text)) continue;
        const std::size_t split = key.End(5);
        text.append(key.text.substr(0, split)).append("\",\"\",\"").append(key.text.substr(split)).append("\r\n");
    }
    bool ok = !Aborted() && !reader.Failed() && std::fwrite(text.data(), 1, text.size(), out) == text.size();
    if (!ok && !Aborted()) SetFileErrorText(reader.Failed() ? libraryPath : discPath);
    if (std::fclose(out) != 0 && ok) {
        SetFileErrorText(discPath);
        ok = false;
    }
    return ok;
}

bool CDownloadLibraryThread::ReplaceFile(const std::string& source, const std::string& destination) {
    // A rename over the old file: there is never a moment without a cache file.
    if (!lv::CommitFile(source, destination)) {
        SetFileErrorText(destination);
        return false;
    }
    return true;
}
