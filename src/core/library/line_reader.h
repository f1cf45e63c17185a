#pragma once
// Reads a file as text lines: a line ends at LF, CR LF counts as LF, and a
// line may be of any length.
#include <cstdio>
#include <string>

namespace lv {

constexpr std::size_t LINE_SLACK = 32;

class LineReader {
public:
    LineReader() = default;
    LineReader(const LineReader&) = delete;
    LineReader& operator=(const LineReader&) = delete;
    ~LineReader();

    bool Open(const std::string& path);
    // The next line without its line end; false at the end or on a read error.
    bool Next(std::string& line);
    // The same without a copy: the line stays in the reader's buffer, ends in
    // a NUL written over its line end, and is valid until the next call. At
    // least LINE_SLACK bytes after the NUL may be read (not written).
    bool Next(char*& line, std::size_t& length);
    bool Failed() const { return m_failed; }
    // The file's size when it was opened (0 when unknown), to size buffers.
    std::size_t SizeHint() const;

private:
    bool Fill();

    std::FILE* m_file = nullptr;
    std::string m_buf;
    std::size_t m_len = 0;  // bytes of m_buf that hold data
    std::size_t m_pos = 0;
    bool m_eof = false;
    bool m_failed = false;
};

// A file mapped privately and read-only for the time of one parse, followed
// by at least kTail bytes that can be read and are zero, so that the bytes
// always end in a NUL and a scanner may read whole blocks past a line's end.
// A file that cannot be mapped is read instead. The file must not shrink
// while it is mapped: the caches are replaced by a rename, not rewritten.
class MappedFile {
public:
    static constexpr std::size_t kTail = 64;

    MappedFile() = default;
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;
    ~MappedFile();

    // False when it cannot be opened or read.
    bool Open(const std::string& path);
    const char* Data() const { return m_data; }
    std::size_t Size() const { return m_size; }

private:
    const char* m_data = nullptr;
    std::size_t m_size = 0;
    void* m_map = nullptr;  // the reservation holding the mapping and its zero tail
    std::size_t m_mapLength = 0;
    std::string m_read;  // the bytes when the file could not be mapped
};

// Removes trailing spaces, CR and LF, as the cache loaders do before parsing.
void TrimLineEnd(std::string& line, bool spaces);
std::size_t TrimmedLength(const char* line, std::size_t length, bool spaces);

}  // namespace lv
