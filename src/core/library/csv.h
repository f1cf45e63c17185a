#pragma once
// The cache files' line splitter and time normaliser.
#include <cstddef>

// One field slot: a buffer and its capacity, terminating NUL included.
// A list of slots ends with a slot whose buffer is null.
struct CSV_FIELD {
    char* pszBuf;
    std::size_t nSize;
};

enum CSV_MODE {
    CSV_PLAIN,    // a quote closes a field only before a comma or the end
    CSV_DOUBLED,  // "" inside quotes stands for one quote
};

// Fills every slot from the NUL-terminated line. A malformed field keeps what
// was copied before the fault and leaves every later slot empty.
void SplitCsvLine(const char* line, CSV_FIELD* slots, CSV_MODE mode);
// The same, also giving each slot's text length.
void SplitCsvLine(const char* line, CSV_FIELD* slots, CSV_MODE mode, std::size_t* lengths);

// Parses the one field at p (not null) into out, keeping at most `room`
// bytes (no NUL is written); `length` gets the bytes kept. Returns the
// position of the next field, or null when this one is malformed.
const char* ParseCsvField(const char* p, char* out, std::size_t room, std::size_t& length, CSV_MODE mode);

// Rewrites a time field ("1:30" -> "01:30") in place; capacity 7 bytes.
void NormalizeTime(char* field);

constexpr std::size_t TIME_FIELD_SIZE = 7;
