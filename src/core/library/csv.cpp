#include "core/library/csv.h"

#include <cstdio>
#include <cstring>

namespace {

// Appends a byte while there is room; beyond the capacity bytes are dropped.
struct Sink {
    char* buf;
    std::size_t room;  // capacity - 1
    std::size_t n = 0;
    void Put(char c) {
        if (n < room) buf[n++] = c;
    }
};

// Parses one field at p into the sink. Returns the position after the field
// (past its comma), or null when the field is malformed.
const char* ParseField(const char* p, Sink& out, CSV_MODE mode) {
    if (*p == '\0') return p;
    if (*p != '"') {
        while (*p && *p != ',') out.Put(*p++);
        return *p == ',' ? p + 1 : p;
    }
    ++p;  // opening quote
    if (mode == CSV_DOUBLED) {
        for (;;) {
            if (*p == '\0') return nullptr;
            if (*p == '"') {
                if (p[1] == '"') {
                    out.Put('"');
                    p += 2;
                    continue;
                }
                ++p;
                if (*p == ',') return p + 1;
                if (*p == '\0') return p;
                return nullptr;
            }
            out.Put(*p++);
        }
    }
    int quotes = 1;
    for (;;) {
        if (*p == '\0') return (quotes % 2) ? nullptr : p;
        if (*p == '"') {
            ++quotes;
            if (p[1] == ',') return p + 2;
            if (p[1] == '\0') return p + 1;
        }
        out.Put(*p++);
    }
}

}  // namespace

void SplitCsvLine(const char* line, CSV_FIELD* slots, CSV_MODE mode) {
    const char* p = line;
    for (CSV_FIELD* slot = slots; slot->pszBuf; ++slot) {
        std::memset(slot->pszBuf, 0, slot->nSize);
        if (!p || slot->nSize == 0) continue;
        Sink sink{slot->pszBuf, slot->nSize - 1};
        p = ParseField(p, sink, mode);
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
