#include "core/library/line_reader.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string_view>

#include "core/text/cp932.h"

namespace lv {

namespace {
constexpr std::size_t kBlock = 1 << 16;
}

bool LineReader::Open(const std::string& path) {
    m_file = platform::OpenRegularFile(path);
    return static_cast<bool>(m_file);
}

std::size_t LineReader::SizeHint() const { return static_cast<std::size_t>(m_file.Size()); }

bool LineReader::Fill() {
    if (m_eof || !m_file) return false;
    // The buffer keeps its size (zeroing it for every block would cost as
    // much as the reading); m_len bytes of it hold data.
    std::memmove(m_buf.data(), m_buf.data() + m_pos, m_len - m_pos);
    m_len -= m_pos;
    m_pos = 0;
    if (m_buf.size() < m_len + kBlock + 1 + LINE_SLACK) m_buf.resize(m_len + kBlock + 1 + LINE_SLACK);
    const std::ptrdiff_t got = m_file.Read(m_buf.data() + m_len, kBlock);
    const std::size_t n = got < 0 ? 0 : static_cast<std::size_t>(got);
    m_len += n;
    if (n < kBlock) {
        m_eof = true;
        if (got < 0) {
            m_failed = true;
            m_error = errno;
        }
    }
    return n > 0;
}

bool LineReader::Next(std::string& line) {
    char* p;
    std::size_t n;
    if (!Next(p, n)) return false;
    line.assign(p, n);
    return true;
}

bool LineReader::Next(char*& line, std::size_t& length) {
    std::size_t scanned = m_pos;
    for (;;) {
        char* base = m_buf.data();
        // NOLINTNEXTLINE(bugprone-not-null-terminated-result): a search, not a copy
        void* nl = std::memchr(base + scanned, '\n', m_len - scanned);
        if (nl) {
            std::size_t end = static_cast<char*>(nl) - base;
            std::size_t stop = (end > m_pos && base[end - 1] == '\r') ? end - 1 : end;
            base[stop] = '\0';
            line = base + m_pos;
            length = stop - m_pos;
            m_pos = end + 1;
            return true;
        }
        scanned = m_len - m_pos;  // relative to the buffer after Fill
        if (!Fill()) break;
    }
    if (m_pos < m_len) {
        // Fill leaves a byte of room after the data for this NUL.
        m_buf[m_len] = '\0';
        line = m_buf.data() + m_pos;
        length = m_len - m_pos;
        m_pos = m_len;
        return true;
    }
    return false;
}

bool BlockReader::Open(const std::string& path, std::uint64_t from) {
    m_file = platform::OpenRegularFile(path);
    if (!m_file || (from > 0 && !m_file.Seek(from))) return false;
    m_sizeHint = static_cast<std::size_t>(m_file.Size());
    return true;
}

bool BlockReader::Next(std::size_t keep) {
    constexpr std::size_t kBlock = std::size_t{256} << 10;
    const std::size_t left = m_size - keep;
    // A line longer than half the buffer makes it grow.
    if (!m_buf || left > m_cap / 2) {
        const std::size_t cap = std::max(kBlock, m_cap * 2);
        auto buf = std::make_unique_for_overwrite<char[]>(cap + kTail);
        if (left) std::memcpy(buf.get(), m_buf.get() + keep, left);
        m_buf = std::move(buf);
        m_cap = cap;
    } else if (left) {
        std::memmove(m_buf.get(), m_buf.get() + keep, left);
    }
    m_size = left;
    bool ok = true;
    if (!m_eof && m_size < m_cap) {
        const std::size_t want = m_cap - m_size;
        const std::ptrdiff_t n = m_file.Read(m_buf.get() + m_size, want);
        if (n >= 0) m_size += static_cast<std::size_t>(n);
        if (n < 0) m_error = errno;
        // Read stops short only at the end.
        m_eof = n < 0 || static_cast<std::size_t>(n) < want;
        ok = n >= 0;
    }
    std::memset(m_buf.get() + m_size, 0, kTail);
    return ok;
}

std::size_t TrimmedLength(const char* line, std::size_t length, bool spaces) {
    auto trimmed = [spaces](char c) { return c == '\r' || c == '\n' || (spaces && c == ' '); };
    if (length == 0 || !trimmed(line[length - 1])) return length;
    // By whole characters, as every trim: a lead byte keeps the byte after it.
    const std::string_view s(line, length);
    std::size_t keep = 0;
    for (std::size_t i = 0; i < length;) {
        std::size_t n = text::CharLength(s, i);
        if (n == 2 || !trimmed(s[i])) keep = i + n;
        i += n;
    }
    return keep;
}

void TrimLineEnd(std::string& line, bool spaces) { line.resize(TrimmedLength(line.data(), line.size(), spaces)); }

}  // namespace lv
