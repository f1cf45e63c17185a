#include "sample/sample_library.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "core/platform/path.h"
#include "sample/sample_words.h"

namespace lv::sample {

namespace {

// splitmix64: small, fast and the same on every platform, unlike the
// standard distributions.
class Rng {
public:
    explicit Rng(std::uint64_t seed) : m_state(seed) {}
    std::uint64_t Next() {
        std::uint64_t z = (m_state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    int Below(int n) { return n <= 0 ? 0 : static_cast<int>(Next() % static_cast<std::uint64_t>(n)); }
    bool Chance(int percent) { return Below(100) < percent; }
    const std::string& Pick(const std::vector<std::string>& v) { return v[Below(static_cast<int>(v.size()))]; }

private:
    std::uint64_t m_state;
};

// Days since 1970-01-01 and back (proleptic Gregorian calendar).
int DaysFromCivil(int y, int m, int d) {
    y -= m <= 2;
    const int era = (y >= 0 ? y : y - 399) / 400;
    const int yoe = y - era * 400;
    const int doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

void CivilFromDays(int z, int& y, int& m, int& d) {
    z += 719468;
    const int era = (z >= 0 ? z : z - 146096) / 146097;
    const int doe = z - era * 146097;
    const int yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int mp = (5 * doy + 2) / 153;
    d = doy - (153 * mp + 2) / 5 + 1;
    m = mp < 10 ? mp + 3 : mp - 9;
    y = yoe + era * 400 + (m <= 2);
}

void AppendNumber(std::string& out, int n, bool wide) {
    const std::string digits = std::to_string(n);
    if (!wide) {
        out += digits;
        return;
    }
    for (char c : digits) {  // full-width digits are 0x824F to 0x8258
        out += '\x82';
        out += static_cast<char>(0x4F + (c - '0'));
    }
}

void AppendQuoted(std::string& out, const std::string& field, bool doubled) {
    out += '"';
    if (doubled) {
        for (char c : field) {
            if (c == '"') out += '"';
            out += c;
        }
    } else {
        out += field;
    }
    out += '"';
}

std::string Padded(int minutes) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d:%02d", minutes / 60 % 100, minutes % 60);
    return buf;
}

// Weights of the main genres (same order as the word lists): dramas, anime
// and variety fill most recorders.
constexpr int kGenreWeight[13] = {8, 6, 6, 14, 6, 12, 8, 14, 8, 3, 5, 2, 3};
constexpr int kGenreWeightSum = 95;

const char* const kChannels[] = {"011", "021", "041", "051", "061", "071", "081", "101", "103",
                                 "141", "151", "161", "171", "181", "191", "211", "L1"};

// Minutes of a whole disc per recording-mode setting; the hard disk's are cut
// to 99:59, the most the lists' five-character times can say.
constexpr int kHddCap[5] = {1800, 3600, 5400, 8000, 4800};
constexpr int kMaxMinutes = 99 * 60 + 59;
constexpr int kDvdCap[5] = {60, 120, 240, 360, 160};

int PickGenreIndex(Rng& r) {
    int v = r.Below(kGenreWeightSum);
    for (int i = 0; i < 13; ++i) {
        if (v < kGenreWeight[i]) return i;
        v -= kGenreWeight[i];
    }
    return 12;
}

std::string MakeTitle(Rng& r, const Words& w, int gi) {
    const std::string& series = r.Pick(w.series[gi]);
    std::string t;
    const int form = r.Below(100);
    if (form < 2) {
        t = '"' + series + "\" " + r.Pick(w.extras);
    } else if (form < 4) {
        t = series + "," + r.Pick(w.extras);
    } else {
        t = series;
    }
    if (gi != 6 && r.Chance(60)) {
        const int sep = r.Below(3);
        if (sep == 0)
            t += w.spaceWide;
        else if (sep == 1)
            t += ' ';
        const int n = 1 + r.Below(r.Chance(80) ? 26 : 1200);
        const bool wide = r.Chance(50);
        switch (r.Below(4)) {
        case 0:
            t += w.episodePrefix;
            AppendNumber(t, n, wide);
            t += w.episodeSuffix;
            break;
        case 1:
            t += '#';
            AppendNumber(t, n, false);
            break;
        case 2:
            t += w.parenOpen;
            AppendNumber(t, n, wide);
            t += w.parenClose;
            break;
        default:
            t += w.episodePrefix;
            AppendNumber(t, n, wide);
            t += w.roundSuffix;
            break;
        }
    }
    if (r.Chance(30)) t += w.quoteOpen + r.Pick(w.subtitles) + w.quoteClose;
    if (r.Chance(40)) t += r.Pick(w.marks);
    if (t.size() > 128) t = series;
    return t;
}

Result<> WriteBytes(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    if (f) f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (f) f.close();
    if (!f) return Failure{"cannot write " + path.string()};
    return {};
}

}  // namespace

std::string FormatMinutes(int minutes) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%d:%02d", minutes / 60, minutes % 60);
    return buf;
}

std::string EscapeHtml(const std::string& text) {
    // The four characters are below 0x40, so they never occur as trail bytes.
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default: out += c;
        }
    }
    return out;
}

namespace {

// Disc `j` (0: the hard disk) with its name and remaining times.
void MakeDisc(SampleDisc& d, int j, Rng& r, const Words& w) {
    const bool hdd = j == 0;
    char no[8];
    std::snprintf(no, sizeof no, "%04d", j);
    d.strNo = hdd ? "HDD" : no;
    if (hdd) {
        d.strLabel = w.hddLabel;
    } else if (!r.Chance(10)) {
        d.strLabel = r.Pick(w.discLabels);
        if (r.Chance(50)) {
            d.strLabel += r.Chance(50) ? w.spaceWide : " ";
            AppendNumber(d.strLabel, j, r.Chance(50));
        }
    }
    const int percent = hdd ? 5 + r.Below(86) : r.Below(91);
    for (int s = 0; s < 5; ++s) d.aFree[s] = std::min(kMaxMinutes, (hdd ? kHddCap[s] : kDvdCap[s]) * percent / 100);
    d.nFree = d.aFree[1];
}

// Title number `number` (1 on) of the disc `discIndex`, recorded on one of
// `span` days from `firstDay`.
void FillTitle(SampleTitle& t, int discIndex, int number, int firstDay, int span, Rng& r, const Words& w) {
    t.nDisc = discIndex;
    const int gi = PickGenreIndex(r);
    if (!r.Chance(5)) {
        t.nMainGenre = kMainGenre[gi];
        t.nSubGenre = (kSubGenreCount[gi] == 0 || r.Chance(30)) ? 64 : 80 + r.Below(kSubGenreCount[gi]);
        const int lead = r.Below(100);
        if (lead < 6)
            t.strGenre = "_";
        else if (lead < 10)
            t.strGenre = " ";
        else if (lead < 12)
            t.strGenre = "_ ";
        t.strGenre += w.genreNames[gi];
    }
    t.strTitle = MakeTitle(r, w, gi);
    const int day = firstDay + r.Below(span);
    int y, m, d;
    CivilFromDays(day, y, m, d);
    char buf[32];
    std::snprintf(buf, sizeof buf, "%04d/%02d/%02d", y, m, d);
    t.strDate = buf;
    t.strWeek = w.weekdays[static_cast<std::size_t>(((day % 7) + 11) % 7)];  // 1970-01-01 was a Thursday
    std::snprintf(buf, sizeof buf, "%02d:%02d", r.Below(24), r.Below(12) * 5);
    t.strTime = buf;
    t.strChannel = kChannels[r.Chance(2) ? 16 : r.Below(16)];
    std::snprintf(buf, sizeof buf, "t%06d.htm", number);
    t.strPage = buf;
    t.nDescSeed = r.Next();
}

}  // namespace

SampleLibrary::SampleLibrary(const SampleOptions& options) : m_options(options) {
    m_options.titles = std::max(0, m_options.titles);
    m_options.discs = std::clamp(m_options.discs, 0, 9999);
    const Words& w = GetWords();
    for (int i = 0; i < 5; ++i) m_labels[i] = w.modeLabels[i];
    Rng r(0x5EED0000ull ^ (static_cast<std::uint64_t>(options.seed) << 20) ^ static_cast<std::uint64_t>(options.seed));

    m_discs.resize(1 + m_options.discs);
    for (std::size_t j = 0; j < m_discs.size(); ++j) MakeDisc(m_discs[j], static_cast<int>(j), r, w);

    // The hard disk holds the recent two fifths; every DVD gets at least one
    // title when there are enough titles to go round.
    const int total = m_options.titles;
    const int discs = m_options.discs;
    int dvdTitles = discs == 0 ? 0 : std::max(total - total * 2 / 5, std::min(total, discs));
    const int hddTitles = total - dvdTitles;
    m_titles.resize(static_cast<std::size_t>(total));

    const int dvdFirstDay = DaysFromCivil(2004, 1, 1);
    const int dvdSpan = DaysFromCivil(2008, 7, 1) - dvdFirstDay;
    const int hddFirstDay = DaysFromCivil(2008, 7, 1);
    const int hddSpan = DaysFromCivil(2009, 1, 1) - hddFirstDay;

    std::size_t k = 0;
    auto fill = [&](int discIndex, int count, int firstDay, int span) {
        for (int i = 0; i < count; ++i, ++k)
            FillTitle(m_titles[k], discIndex, static_cast<int>(k + 1), firstDay, span, r, w);
    };
    fill(0, hddTitles, hddFirstDay, hddSpan);
    for (int j = 1; j <= discs; ++j) {
        const int count = dvdTitles / discs + (j <= dvdTitles % discs ? 1 : 0);
        // Each DVD was filled during its own stretch of the years.
        const int stretch = std::max(1, dvdSpan / discs);
        fill(j, count, dvdFirstDay + (j - 1) * dvdSpan / discs, stretch);
    }
}

std::string SampleLibrary::LibraryCsv() const {
    const bool plain = m_options.modelClass == 1;
    std::string out;
    out.reserve(m_titles.size() * 200);
    char buf[32];
    for (std::size_t i = 0; i < m_titles.size(); ++i) {
        const SampleTitle& t = m_titles[i];
        const SampleDisc& d = m_discs[static_cast<std::size_t>(t.nDisc)];
        const std::string free = plain ? Padded(d.nFree) : FormatMinutes(d.nFree);
        AppendQuoted(out, d.strNo, !plain);
        out += ',';
        AppendQuoted(out, t.strTitle, !plain);
        out += ',';
        AppendQuoted(out, t.strDate, !plain);
        out += ',';
        AppendQuoted(out, t.strWeek, !plain);
        out += ',';
        AppendQuoted(out, t.strTime, !plain);
        out += ',';
        AppendQuoted(out, t.strChannel, !plain);
        out += ',';
        std::snprintf(buf, sizeof buf, "%d", 15 + static_cast<int>(t.nDescSeed % 166));  // minutes recorded
        AppendQuoted(out, buf, !plain);
        out += ',';
        AppendQuoted(out, t.strGenre, !plain);
        out += ',';
        AppendQuoted(out, free, !plain);
        out += ',';
        AppendQuoted(out, (t.nDescSeed >> 8) % 7 == 0 ? "1" : "0", !plain);  // protected
        out += ',';
        AppendQuoted(out, t.strPage, !plain);
        out += ',';
        std::snprintf(buf, sizeof buf, "%d", static_cast<int>((t.nDescSeed >> 16) % 30));  // chapters
        AppendQuoted(out, buf, !plain);
        out += ',';
        if (t.nMainGenre >= 0)
            std::snprintf(buf, sizeof buf, "%05d%05d", t.nMainGenre, t.nSubGenre);
        else
            buf[0] = '\0';
        AppendQuoted(out, buf, !plain);
        if (plain) {
            // These recorders end a line with the disc number (four characters)
            // and its remaining time (five) in one quoted field.
            out += ",\"";
            out += t.nDisc == 0 ? std::string("HDD_") : d.strNo;
            out += free;
            out += '"';
        }
        out += "\r\n";
    }
    return out;
}

std::string SampleLibrary::DiscListCsv() const {
    if (m_options.modelClass == 1) return {};
    std::string out = GetWords().discHeader;
    for (const auto& label : m_labels) {
        out += ',';
        AppendQuoted(out, label, true);
    }
    out += "\r\n";
    for (const SampleDisc& d : m_discs) {
        AppendQuoted(out, d.strNo, true);
        out += ',';
        AppendQuoted(out, d.strLabel, true);
        out += ',';
        AppendQuoted(out, FormatMinutes(d.nFree), true);
        for (int v : d.aFree) {
            out += ',';
            AppendQuoted(out, FormatMinutes(v), true);
        }
        out += "\r\n";
    }
    return out;
}

std::string SampleLibrary::DiscCacheCsv() const {
    if (m_options.modelClass != 1) return DiscListCsv();
    std::string out = GetWords().discHeader + "\r\n";
    std::vector<bool> seen(m_discs.size(), false);
    for (const SampleTitle& t : m_titles) {
        if (t.nDisc == 0 || seen[static_cast<std::size_t>(t.nDisc)]) continue;
        seen[static_cast<std::size_t>(t.nDisc)] = true;
        const SampleDisc& d = m_discs[static_cast<std::size_t>(t.nDisc)];
        out += "\"" + d.strNo + "\",\"\",\"" + Padded(d.nFree) + "\"\r\n";
    }
    return out;
}

std::string SampleLibrary::Description(std::size_t index) const {
    const Words& w = GetWords();
    Rng r(m_titles.at(index).nDescSeed);
    if (r.Chance(5)) return {};
    std::string text;
    if (r.Chance(25)) text += "\r\n";  // the text starts on the line after the tag
    const int lines = 1 + r.Below(5);
    for (int i = 0; i < lines; ++i) {
        if (i > 0) text += "\r\n";
        const int sentences = 1 + r.Below(2);
        for (int s = 0; s < sentences; ++s) text += r.Pick(w.sentences);
    }
    if (r.Chance(30)) text += "\r\n";  // the closing tag on a line of its own
    return text;
}

std::string SampleLibrary::DescriptionPage(std::size_t index) const {
    const SampleTitle& t = m_titles.at(index);
    return MakeDetailsPage({t.strTitle, t.strDate, t.strWeek, t.strTime, t.strChannel, t.strGenre}, Description(index));
}

std::string MakeDetailsPage(const PageFields& f, const std::string& description) {
    const Words& w = GetWords();
    std::string p;
    p.reserve(1024 + description.size());
    p += "<HTML>\r\n<HEAD>\r\n<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=Shift_JIS\">\r\n";
    p += "<TITLE>" + w.pageTitle + "</TITLE>\r\n</HEAD>\r\n<BODY BGCOLOR=\"#FFFFFF\">\r\n<TABLE BORDER=\"0\">\r\n";
    p += "<TR><TD>" + w.labelTitle + "</TD><TD>" + EscapeHtml(f.strTitle) + "</TD></TR>\r\n";
    p += "<TR><TD>" + w.labelDate + "</TD><TD>" + f.strDate + "(" + f.strWeek + ") " + f.strTime + "</TD></TR>\r\n";
    p += "<TR><TD>" + w.labelChannel + "</TD><TD>" + EscapeHtml(f.strChannel) + "</TD></TR>\r\n";
    p += "<TR><TD>" + w.labelGenre + "</TD><TD>" + EscapeHtml(f.strGenre) + "</TD></TR>\r\n";
    p += "</TABLE>\r\n<FORM NAME=\"info\">\r\n";
    p += "<TEXTAREA NAME=\"desc\" ROWS=\"8\" COLS=\"60\" READONLY>" + description + "</TEXTAREA>\r\n";
    p += "</FORM>\r\n</BODY>\r\n</HTML>\r\n";
    return p;
}

Result<> SampleLibrary::WriteCacheFiles(const std::string& folder) const {
    const std::filesystem::path dir = lv::platform::FsPath(folder);
    Result<> written = WriteBytes(dir / "Library.csv", LibraryCsv());
    if (written) written = WriteBytes(dir / "Disc.csv", DiscCacheCsv());
    return written;
}

Result<> SampleLibrary::WriteRecorderFiles(const std::string& folder) const {
    const std::filesystem::path dir = lv::platform::FsPath(folder);
    Result<> written = WriteBytes(dir / "Library.csv", LibraryCsv());
    if (written && m_options.modelClass != 1) written = WriteBytes(dir / "Disc.csv", DiscListCsv());
    for (std::size_t i = 0; written && i < m_titles.size(); ++i)
        written = WriteBytes(dir / m_titles[i].strPage, DescriptionPage(i));
    return written;
}

std::string GenerateLibraryCsv(const SampleOptions& options) { return SampleLibrary(options).LibraryCsv(); }

std::string GenerateDiscCsv(const SampleOptions& options) { return SampleLibrary(options).DiscCacheCsv(); }

bool WriteSampleCache(const SampleOptions& options, const std::string& folder) {
    return static_cast<bool>(SampleLibrary(options).WriteCacheFiles(folder));
}

}  // namespace lv::sample
