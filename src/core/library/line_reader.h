#pragma once
// Reads a file as text lines: a line ends at LF, CR LF counts as LF, and a
// line may be of any length.
#include <cstdint>
#include <memory>
#include <string>

#include "core/platform/file.h"

namespace lv {

constexpr std::size_t LINE_SLACK = 32;

class LineReader {
public:
    LineReader() = default;
    LineReader(const LineReader&) = delete;
    LineReader& operator=(const LineReader&) = delete;
    ~LineReader() = default;

    bool Open(const std::string& path);
    // The next line without its line end; false at the end or on a read error.
    bool Next(std::string& line);
    // The same without a copy: the line stays in the reader's buffer, ends in
    // a NUL written over its line end, and is valid until the next call. At
    // least LINE_SLACK bytes after the NUL may be read (not written).
    bool Next(char*& line, std::size_t& length);
    bool Failed() const { return m_failed; }
    // The errno of the failed read.
    int Error() const { return m_error; }
    // The file's size when it was opened (0 when unknown), to size buffers.
    std::size_t SizeHint() const;

private:
    bool Fill();

    platform::File m_file;
    std::string m_buf;
    std::size_t m_len = 0;  // bytes of m_buf that hold data
    std::size_t m_pos = 0;
    bool m_eof = false;
    bool m_failed = false;
    int m_error = 0;
};

// Reads a file in large blocks into one buffer that is reused, the unfinished
// last line of a block kept in front of the next: a parser sees whole lines
// in place, without a copy of the file. The bytes held are always followed by
// kTail zero bytes that may be read.
class BlockReader {
public:
    static constexpr std::size_t kTail = 64;

    BlockReader() = default;
    BlockReader(const BlockReader&) = delete;
    BlockReader& operator=(const BlockReader&) = delete;
    ~BlockReader() = default;

    // False when it cannot be opened, or not read from `from` on.
    bool Open(const std::string& path, std::uint64_t from = 0);
    // The file's size when it was opened (0 when unknown), to size buffers.
    std::size_t SizeHint() const { return m_sizeHint; }
    // Keeps the bytes held from offset `keep` on, moved to the front, and
    // reads more after them; false on a read error.
    bool Next(std::size_t keep);
    const char* Data() const { return m_buf.get(); }
    std::size_t Size() const { return m_size; }
    // Whether the bytes held reach the end of the file.
    bool AtEnd() const { return m_eof; }
    // The errno of a failed read, 0 when none failed.
    int Error() const { return m_error; }

private:
    platform::File m_file;
    std::size_t m_sizeHint = 0;
    std::unique_ptr<char[]> m_buf;
    std::size_t m_cap = 0;  // bytes of m_buf before the tail
    std::size_t m_size = 0;
    bool m_eof = false;
    int m_error = 0;
};

// Removes trailing spaces, CR and LF, as the cache loaders do before parsing.
void TrimLineEnd(std::string& line, bool spaces);
std::size_t TrimmedLength(const char* line, std::size_t length, bool spaces);

}  // namespace lv
