#pragma once
// Reads a file as text lines: a line ends at LF, CR LF counts as LF, and a
// line may be of any length.
#include <cstdio>
#include <string>

namespace lv {

class LineReader {
public:
    LineReader() = default;
    LineReader(const LineReader&) = delete;
    LineReader& operator=(const LineReader&) = delete;
    ~LineReader();

    bool Open(const std::string& path);
    // The next line without its line end; false at the end or on a read error.
    bool Next(std::string& line);
    bool Failed() const { return m_failed; }

private:
    bool Fill();

    std::FILE* m_file = nullptr;
    std::string m_buf;
    std::size_t m_pos = 0;
    bool m_eof = false;
    bool m_failed = false;
};

// Removes trailing spaces, CR and LF, as the cache loaders do before parsing.
void TrimLineEnd(std::string& line, bool spaces);

}  // namespace lv
