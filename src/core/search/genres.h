#pragma once
// Genre codes: main genre in bits 16 to 19, bit 6 always set, bit 4 and the
// sub-genre number in the low bits for a sub-genre; 0 means no genre.
#include <cstddef>
#include <string_view>

struct GENRE_ENTRY {
    int nCode;
    const char* pszName;  // code page 932; null only in the closing row
};

constexpr int GENRE_COUNT = 158;

// The genre names in the order the search dialog lists them, closed by the row
// {0, nullptr}. The names are converted once, on first use, from any thread.
class CGenreTable {
public:
    const GENRE_ENTRY& operator[](std::size_t index) const { return data()[index]; }
    // All 159 rows, the closing row included.
    const GENRE_ENTRY* data() const;
    const GENRE_ENTRY* begin() const { return data(); }
    const GENRE_ENTRY* end() const { return data() + GENRE_COUNT; }
    static constexpr std::size_t size() { return GENRE_COUNT; }
};

extern const CGenreTable g_aGenres;

// 16 + main genre number: 16 to 27 for main genres 0 to 11, 31 for "その他".
constexpr int GetGenreImage(int code) { return 16 + ((code >> 16) & 15); }

// A main genre as a whole, standing for all its sub-genres.
constexpr bool IsMainGenre(int code) { return (code & 0xFFFF) == 0x40; }

// Whether a title coded `title` belongs to the wanted genre: a main genre
// takes its sub-genres in, a sub-genre only itself; a title without genre
// never belongs anywhere.
constexpr bool GenreMatches(int title, int wanted) {
    if (title == 0) return false;
    if (IsMainGenre(wanted)) return static_cast<int>(static_cast<unsigned>(title) & 0xFFFF0040u) == wanted;
    return title == wanted;
}

// The row of a code or a name (code page 932, exact); null when the table has none.
const GENRE_ENTRY* FindGenre(int code);
const GENRE_ENTRY* FindGenre(std::string_view name);
