#pragma once
// A made-up but realistic recorder library: titles on the hard disk and on
// DVDs with Japanese names, dates, channels and genre keys, written as the
// recorder's web server writes its lists (code page 932 bytes). The same
// seed always gives the same library, so tests and benchmarks can rely on it.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "core/text/result.h"

namespace lv::sample {

struct SampleOptions {
    int titles = 1000;   // recorded titles in all
    int discs = 20;      // DVDs besides the hard disk (at most 9999)
    int modelClass = 2;  // 0 to 3: decides quoting and the disc-list form
    unsigned seed = 1;
};

// One disc; Discs()[0] is always the hard disk.
struct SampleDisc {
    std::string strNo;           // "HDD", "0001", "0002", ...
    std::string strLabel;        // disc name (code page 932)
    int nFree = 0;               // remaining time in minutes (the disc list's third column)
    std::array<int, 5> aFree{};  // remaining minutes for recording-mode settings 1 to 5
};

struct SampleTitle {
    int nDisc = 0;           // index into Discs()
    std::string strTitle;    // code page 932, at most 128 bytes
    std::string strDate;     // "YYYY/MM/DD"
    std::string strWeek;     // one kanji of the weekday
    std::string strTime;     // "HH:MM"
    std::string strChannel;  // "081", "BS1"-like, or an external input "L1"
    std::string strGenre;    // the recorder's genre text, sometimes led by "_" or a space
    std::string strPage;     // description page name, unique within the library
    int nMainGenre = -1;     // 0..11 or 15; -1 when the title carries no genre key
    int nSubGenre = 0;       // 64 for a main genre as a whole, 80 + n for sub-genre n
    std::uint64_t nDescSeed = 0;

    // What the library document makes of the key: main << 16 | sub, 0 without a key.
    int GenreCode() const { return nMainGenre < 0 ? 0 : (nMainGenre << 16) | nSubGenre; }
};

class SampleLibrary {
public:
    explicit SampleLibrary(const SampleOptions& options);

    const SampleOptions& Options() const { return m_options; }
    const std::vector<SampleDisc>& Discs() const { return m_discs; }
    const std::vector<SampleTitle>& Titles() const { return m_titles; }
    // The recorder's names of its five recording-mode settings.
    const std::array<std::string, 5>& ModeLabels() const { return m_labels; }

    // "/library/view_library.csv": one line per title, CR LF line ends. Classes
    // 0, 2 and 3 quote every field and double inner quotes; class 1 leaves
    // inner quotes alone and ends each line with a field "DDDDHH:MM" (disc
    // number and remaining time) from which its disc list is derived.
    std::string LibraryCsv() const;
    // "/library/DiscList_.csv": header with the mode labels in fields 4 to 8,
    // the hard disk, then one line per DVD. Empty for class 1, whose
    // recorders have no such list.
    std::string DiscListCsv() const;
    // Disc.csv as the cache holds it after a download: the disc list itself,
    // or for class 1 the list derived from the library list.
    std::string DiscCacheCsv() const;

    // The description exactly as it stands between the TEXTAREA tags: lines
    // joined by CR LF; it may begin or end with a line break.
    std::string Description(std::size_t index) const;
    // The title's details page, description in an upper-case TEXTAREA.
    std::string DescriptionPage(std::size_t index) const;

    // Library.csv and Disc.csv (cache form) into an existing folder.
    Result<> WriteCacheFiles(const std::string& folder) const;
    // What a recorder serves, as files: Library.csv, Disc.csv (not for class
    // 1) and one details page per title, named by its page name.
    Result<> WriteRecorderFiles(const std::string& folder) const;

private:
    SampleOptions m_options;
    std::vector<SampleDisc> m_discs;
    std::vector<SampleTitle> m_titles;
    std::array<std::string, 5> m_labels;
};

// Shortcuts for benchmarks and tools that want only the bytes.
std::string GenerateLibraryCsv(const SampleOptions& options);
std::string GenerateDiscCsv(const SampleOptions& options);
bool WriteSampleCache(const SampleOptions& options, const std::string& folder);

// Remaining minutes as the lists write them: "H:MM" with the hours unpadded.
std::string FormatMinutes(int minutes);

// Text escaped for HTML element content (&, <, >, ").
std::string EscapeHtml(const std::string& text);

// A recorder's details page of one title: the fields in a table, then the
// description, unescaped, inside an upper-case TEXTAREA.
struct PageFields {
    std::string strTitle, strDate, strWeek, strTime, strChannel, strGenre;
};
std::string MakeDetailsPage(const PageFields& fields, const std::string& description);

}  // namespace lv::sample
