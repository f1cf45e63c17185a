#pragma once
// One recorder's part of the library: its discs, titles, model and the labels
// of its five recording-mode settings, read from its cache files.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/library/records.h"
#include "core/library/title_store.h"

class CRDRecorderLibrary {
public:
    explicit CRDRecorderLibrary(std::string name) : m_strName(std::move(name)) {}

    // By reference: rows and exports keep views of it while the library lives.
    const std::string& GetName() const { return m_strName; }
    std::string GetModel() const { return m_strModel; }
    void SetModel(std::string model) { m_strModel = std::move(model); }
    int GetModelClass() const;

    void AddModeLabels(const char* const* values, int count);
    // Copies labels 1..count into 32-byte buffers; a null buffer is skipped.
    void GetModeLabels(char* const* buffers, int count) const;
    const std::vector<std::string>& ModeLabels() const { return m_aModeLabels; }

    int AddDisc(const DISCINFO& info);
    int AddTitle(const TITLEINFO& info);
    int GetDiscCount() const { return static_cast<int>(m_aDiscs.size()); }
    int GetTitleCount() const { return static_cast<int>(m_aTitles.size()); }

    // Out-of-range indices raise std::out_of_range.
    void GetDiscInfo(int index, DISCINFO& info) const;
    void GetTitleInfo(int index, TITLEINFO& info) const;
    const CRDDiscInfo& Disc(int index) const { return m_aDiscs.at(index); }
    const CRDTitleInfo& Title(int index) const { return m_aTitles.at(index); }
    const std::vector<CRDTitleInfo>& Titles() const { return m_aTitles; }
    const std::vector<CRDDiscInfo>& Discs() const { return m_aDiscs; }

    // The first disc whose number equals discNo byte for byte; null pointers when none.
    void FindDisc(const char* discNo, DISCINFO& info) const;
    const CRDDiscInfo* FindDisc(std::string_view discNo) const;

    // Why the cache could not be read; the recorder then has no discs or
    // titles. Empty when it was read (or is missing, as before a first fetch).
    const std::string& LoadError() const { return m_strLoadError; }
    void SetLoadError(std::string error) { m_strLoadError = std::move(error); }

    // Reads Disc.csv: the header's mode labels, then one disc per data line.
    // Both loads are false with errno set when the file cannot be read whole.
    bool LoadDiscList(const std::string& path);
    // Reads Library.csv: one title per line, each looking up its disc.
    // False on a read error, and when `stopped` (asked between blocks) says so.
    bool LoadTitleList(const std::string& path, const std::function<bool()>& stopped = {});
    // Reads Library.csv for what tells each title's recording, as LoadTitleList
    // reads it, and hands `each` those of one block of the file at a time: it
    // keeps nothing, whatever the file's size. False on a read error and once
    // `each` is.
    using IDS_SEEN = std::function<bool(const std::vector<TITLE_ID_VIEW>&)>;
    // Only the lines that start within bytes [from, to) of the file, where
    // `from` and `to` each start a line (or `to` is past the end).
    bool ScanTitleIds(const std::string& path, const IDS_SEEN& each, std::uint64_t from = 0,
                      std::uint64_t to = UINT64_MAX) const;

private:
    std::string m_strName;
    std::string m_strModel;
    std::string m_strLoadError;
    std::vector<std::string> m_aModeLabels;
    std::vector<CRDDiscInfo> m_aDiscs;
    std::vector<CRDTitleInfo> m_aTitles;
    // What the titles point into, one store per load of the title list.
    std::vector<std::unique_ptr<CTitleStore>> m_aStores;
};

// Building records from cache lines (already stripped of their line ends).
void ParseDiscHeader(const char* line, std::string labels[5]);
void ParseDiscLine(const char* line, const std::string& rdName, int modelClass, CRDDiscInfo& disc);
void ParseTitleLine(const char* line, int modelClass, const CRDRecorderLibrary& lib, CRDTitleInfo& title);
