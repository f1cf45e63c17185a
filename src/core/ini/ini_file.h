#pragma once
// INI files as the program reads and writes them, as the platform's profile
// functions do: lines end at CR LF, LF or a lone CR; "[section]" lines run to
// their last "]"; "key=value" lines; ";" comments. Sections and keys are found
// without regard to ASCII letter case; values are bytes (code page 932) up to
// a NUL, with surrounding blanks (space, tab, VT, FF, ^Z) and one pair of
// enclosing quotes removed; a missing file, section or key gives the caller's default. Writing changes only the value
// written and keeps every other line, comment and the order of the file.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lv::ini {

class IniFile {
public:
    // Reads the file. A missing file is an empty file (true); false when the
    // file exists but cannot be read, so a later Save does not clobber it.
    bool Load(const std::string& path);
    void Parse(std::string_view bytes);

    // The first matching key of the first matching section.
    std::optional<std::string> Find(std::string_view section, std::string_view key) const;
    std::string GetString(std::string_view section, std::string_view key, std::string_view def) const;
    // Decimal with an optional sign after leading blanks; digits followed by
    // other characters give the number read so far (as atoi). A value with no
    // digits, or one outside the int range, gives the default.
    int GetInt(std::string_view section, std::string_view key, int def) const;

    // Sets a value in memory, creating the key and section as needed. Refused
    // (false, nothing changed) when a text would break the line structure:
    // CR, LF or NUL anywhere, "]" in the section, "=" in the key, an empty key,
    // or a name that would not read back as written (one ending in a lone lead byte).
    bool SetString(std::string_view section, std::string_view key, std::string_view value);
    bool SetInt(std::string_view section, std::string_view key, int value);

    // The file's bytes: every line as read, with its own line end.
    std::string Serialize() const;
    // Writes the whole file in one replacement (see WriteFileAtomic).
    bool Save(const std::string& path, std::optional<unsigned> mode = std::nullopt, std::string* error = nullptr) const;

private:
    struct Line {
        std::string text;
        std::string eol;  // "\r\n", "\n" or empty for a last line without one
    };
    // [begin, end) of the lines after the first header of `section`; begin is
    // npos when there is no such section.
    std::pair<std::size_t, std::size_t> SectionRange(std::string_view section) const;

    std::vector<Line> m_lines;
    std::string m_eol = "\r\n";  // for lines this program adds
};

// One-shot helpers: open, read or write one value, and (for writes) save.
std::string ReadString(const std::string& path, std::string_view section, std::string_view key, std::string_view def);
int ReadInt(const std::string& path, std::string_view section, std::string_view key, int def);
bool WriteString(const std::string& path, std::string_view section, std::string_view key, std::string_view value);

// Parses an integer as GetInt does; nullopt where GetInt gives the default.
std::optional<int> ParseInt(std::string_view text);

}  // namespace lv::ini
