#pragma once
// What a library download brought: the titles that are new since the library
// it replaced, and how many titles went. Kept per recorder in a small file of
// its cache folder until the recorder's next download.
//
// A title is known by its recording: date, start time, channel and name. These
// travel with the title when it is dubbed to a DVD and come back the same from
// every download, unlike its disc, its line, its page name or the remaining
// time. Copies of one recording share all four, so the n-th title with the
// same four in library order is a title of its own.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "core/library/records.h"

class CRDRecorderLibrary;

struct TITLEID {
    std::string strDate;
    std::string strTime;
    std::string strChannel;
    std::string strTitle;
    int nOccurrence = 1;  // the n-th title with these four, from 1, in library order

    bool operator==(const TITLEID&) const = default;
};

struct NEWTITLES {
    std::vector<TITLEID> aNew;  // in the new library's order
    int nRemoved = 0;

    bool operator==(const NEWTITLES&) const = default;
};

// A 64-bit hash of a title's recording (the four texts of its id).
std::uint64_t HashTitleId(const CRDTitleInfo& title);
using TitleHash = std::uint64_t (*)(const CRDTitleInfo&);

// The titles of `after` that `before` did not have, and how many of `before`
// are gone. Titles are matched by `hash` and then by their texts, so that a
// poor hash costs time but never changes the result.
NEWTITLES CompareLibraries(const std::vector<CRDTitleInfo>& before, const std::vector<CRDTitleInfo>& after,
                           const std::function<bool()>& stopped = {}, TitleHash hash = &HashTitleId);

// The same for two library files of a recorder of `model`. Without a library
// to compare with (a first download) nothing counts as new. `stopped` is asked
// now and then; once it says yes the result is empty and means nothing.
NEWTITLES CompareLibraryFiles(const std::string& model, const std::string& before, const std::string& after,
                              const std::function<bool()>& stopped = {});

// The file in a recorder's cache folder (ending in a separator). Not a ".txt"
// file: the description clean-ups must leave it alone.
inline constexpr char kNewTitlesFile[] = "NewTitles.csv";
std::string NewTitlesPath(const std::string& cacheFolder);
// A larger file is neither read nor written, as a list larger than a
// recorder ever sends is refused.
inline constexpr std::uint64_t kMaxNewsBytes = std::uint64_t{256} << 20;

// The file's bytes (code page 932): a header line with the removed count, then
// one line per new title.
std::string FormatNewTitles(const NEWTITLES& news);
// False for anything that is not such a file; `news` is then empty.
bool ParseNewTitles(std::string_view bytes, NEWTITLES& news);

// Replaces the file atomically, readable by its owner only; `error` says why not.
bool SaveNewTitles(const std::string& path, const NEWTITLES& news, std::string* error = nullptr);
// The file's bytes when it is a regular file within the limit.
bool ReadNewsFile(const std::string& path, std::string& bytes);
// A missing, unreadable, hand-broken or foreign file gives no news at all.
NEWTITLES LoadNewTitles(const std::string& path);

// Which titles of a library the news names, by index.
std::vector<bool> MarkNewTitles(const NEWTITLES& news, const std::vector<CRDTitleInfo>& titles);

// "新着 %d件 / 削除 %d件"
std::string NewsStatusText(int newCount, int removed);

// The news of every recorder of a document, read from their cache folders,
// with the new titles known by their records.
class CLibraryNews {
public:
    using RECORDERS = std::vector<std::unique_ptr<CRDRecorderLibrary>>;

    // Keeps the recorders alive: the marks point into their records.
    void Load(const std::string& appDir, std::shared_ptr<const RECORDERS> recorders);
    // Loaded for exactly these recorders (a reloaded document has others).
    bool IsFor(const std::shared_ptr<const RECORDERS>& recorders) const { return m_pRecorders == recorders; }

    bool IsNew(const CRDTitleInfo& title) const { return m_aNew.count(&title) != 0; }

private:
    std::shared_ptr<const RECORDERS> m_pRecorders;
    std::unordered_set<const CRDTitleInfo*> m_aNew;
};
