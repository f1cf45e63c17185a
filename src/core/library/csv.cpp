#include "core/library/csv.h"

#include <cstdio>
#include <cstring>

namespace {

// Copies bytes into a slot while there is room; the rest are dropped.
struct Sink {
    char* buf;
    std::size_t room;  // capacity - 1
    std::size_t n = 0;
    void Put(const char* s, std::size_t count) {
        if (count > room - n) count = room - n;
        if (count == 0) return;
        std::memcpy(buf + n, s, count);
        n += count;
    }
};

// The end of the run of bytes from p that are neither NUL nor `stop`.
const char* RunEnd(const char* p, char stop) {
    while (*p && *p != stop) ++p;
    return p;
}

const char* ParseField(const char* p, Sink& out, CSV_MODE mode) {
    if (*p != '"') {
        const char* e = RunEnd(p, ',');
        out.Put(p, static_cast<std::size_t>(e - p));
        return *e == ',' ? e + 1 : e;
    }
    ++p;  // opening quote
    if (mode == CSV_DOUBLED) {
        for (;;) {
            const char* e = RunEnd(p, '"');
            out.Put(p, static_cast<std::size_t>(e - p));
            p = e;
            if (*p == '\0') return nullptr;
            if (p[1] == '"') {
                out.Put(p, 1);
                p += 2;
                continue;
            }
            ++p;
            if (*p == ',') return p + 1;
            if (*p == '\0') return p;
            return nullptr;
        }
    }
    int quotes = 1;
    for (;;) {
        const char* e = RunEnd(p, '"');
        out.Put(p, static_cast<std::size_t>(e - p));
        p = e;
        if (*p == '\0') return (quotes % 2) ? nullptr : p;
        ++quotes;
        if (p[1] == ',') return p + 2;
        if (p[1] == '\0') return p + 1;
        out.Put(p, 1);  // an inner quote is data
        ++p;
    }
}

}  // namespace

const char* ParseCsvField(const char* p, char* out, std::size_t room, std::size_t& length, CSV_MODE mode) {
    Sink sink{out, room};
    p = ParseField(p, sink, mode);
    length = sink.n;
    return p;
}

void SplitCsvLine(const char* line, CSV_FIELD* slots, CSV_MODE mode) { SplitCsvLine(line, slots, mode, nullptr); }

void SplitCsvLine(const char* line, CSV_FIELD* slots, CSV_MODE mode, std::size_t* lengths) {
    const char* p = line;
    for (CSV_FIELD* slot = slots; slot->pszBuf; ++slot) {
        std::size_t n = 0;
        if (slot->nSize != 0) {
            // Every slot ends up as its text followed by zero bytes; only the
            // terminator is written, the rest of the buffer is never read.
            Sink sink{slot->pszBuf, slot->nSize - 1};
            if (p) p = ParseField(p, sink, mode);
            slot->pszBuf[sink.n] = '\0';
            n = sink.n;
        }
        if (lengths) *lengths++ = n;
    }
}

void NormalizeTime(char* field) {
    char head[6] = {};
    std::strncpy(head, field, 5);
    char* colon = std::strchr(head, ':');
    if (!colon) return;
    *colon = '\0';
    const char* hours = head;
    const char* minutes = colon + 1;
    char out[16];
    std::size_t n = 0;
    for (std::size_t k = std::strlen(hours); k < 2; ++k) out[n++] = '0';
    for (const char* q = hours; *q; ++q) out[n++] = *q;
    out[n++] = ':';
    for (std::size_t k = std::strlen(minutes); k < 2; ++k) out[n++] = '0';
    for (const char* q = minutes; *q; ++q) out[n++] = *q;
    if (n > TIME_FIELD_SIZE - 1) n = TIME_FIELD_SIZE - 1;
    std::memcpy(field, out, n);
    field[n] = '\0';
}
