#pragma once
// Word lists of the sample library, already in code page 932.
#include <string>
#include <vector>

namespace lv::sample {

struct Words {
    // Indexed by main genre 0..11, then [12] for genre 15.
    std::vector<std::vector<std::string>> series;
    std::vector<std::string> genreNames;  // the recorder's genre text per main genre, same index
    std::vector<std::string> subtitles;
    std::vector<std::string> marks;
    std::vector<std::string> extras;     // words for titles with commas or quotes
    std::vector<std::string> sentences;  // description sentences
    std::vector<std::string> discLabels;
    std::vector<std::string> weekdays;  // 日 月 ... 土
    std::string hddLabel;
    std::string spaceWide;  // full-width space
    std::string episodePrefix, episodeSuffix, roundSuffix;
    std::string parenOpen, parenClose, quoteOpen, quoteClose;
    std::string pageTitle;
    std::string labelTitle, labelDate, labelChannel, labelGenre;
    std::string modeLabels[5];
    std::string discHeader;  // the derived disc list's header line
};

// Built once; safe to call from any thread.
const Words& GetWords();

// Sub-genres per main genre index (same indexing as Words::series).
extern const int kSubGenreCount[13];
extern const int kMainGenre[13];

}  // namespace lv::sample
