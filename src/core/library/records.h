#pragma once
// One disc and one title of one recorder, and their flat views of borrowed
// pointers.
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <string_view>

// A title's date, time, channel and name, valid while the bytes they view are.
struct TITLE_ID_VIEW {
    std::string_view date, time, channel, title;
};

struct DISCINFO {
    int nFlags;
    const char* pszRDName;
    const char* pszDiscNo;
    const char* pszFree;
    const char* pszLabel;
    const char* pszFree1;
    const char* pszFree2;
    const char* pszFree3;
    const char* pszFree4;
    const char* pszFree5;
};

// Title fields 1 to 15 in record order.
enum TITLE_FIELD {
    TF_DISC,
    TF_TITLE,
    TF_GENRE,
    TF_DATE,
    TF_WEEK,
    TF_TIME,
    TF_CHANNEL,
    TF_DISCFREE,
    TF_DISCFREE1,
    TF_DISCFREE2,
    TF_DISCFREE3,
    TF_DISCFREE4,
    TF_DISCFREE5,
    TF_PAGE,
    TF_TEXTFILE,
    TF_COUNT
};

struct TITLEINFO {
    const char* pszRDName;
    const char* apszField[TF_COUNT];  // indexed by TITLE_FIELD
    int nGenre;
};

// Byte limits of the fields as read from the cache files.
constexpr std::size_t DISC_NO_LIMIT = 4;
constexpr std::size_t TIME_LIMIT = 6;
constexpr std::size_t LABEL_LIMIT = 128;
constexpr std::size_t TITLE_LIMIT = 128;

constexpr int DISC_FLAGS_CLASS01 = 7;
constexpr int DISC_FLAGS_CLASS23 = 55;
constexpr int DISC_NODE_MASK = 6;

class CRDDiscInfo {
public:
    int m_nFlags = 0;
    std::string m_strRDName;
    std::string m_strDiscNo;
    std::string m_strFree;
    std::string m_strLabel;
    std::array<std::string, 5> m_strFreeN;  // m_strFree1 ... m_strFree5

    void SetInfo(const DISCINFO& info);
    void GetInfo(DISCINFO& info) const;
    // Remaining time for recording mode 0..4, or m_strFree for any other mode.
    const std::string& GetRemaining(int recMode) const;
};

class CTitleStore;

// A compact entry over texts kept elsewhere, without an allocation per title:
// a loaded title's texts lie in its recorder's store, each ending in a NUL; a
// title set from a view, or copied, owns a block of its own (a copy must
// outlive a reload of the document).
class CRDTitleInfo {
public:
    CRDTitleInfo() = default;
    CRDTitleInfo(const CRDTitleInfo& other);
    CRDTitleInfo& operator=(const CRDTitleInfo& other);
    CRDTitleInfo(CRDTitleInfo&& other) noexcept { Take(other); }
    CRDTitleInfo& operator=(CRDTitleInfo&& other) noexcept {
        if (this != &other) {
            Release();
            Take(other);
        }
        return *this;
    }
    ~CRDTitleInfo() { Release(); }

    // Sets fields 1 to 14 and the genre code, strips leading "_" and spaces
    // from the genre text and derives the description file name.
    void SetInfo(const TITLEINFO& info);
    // The same from fields 1 to 14 whose lengths are known.
    void SetFields(std::string_view (&fields)[TF_TEXTFILE], int genre);
    // Sets all fifteen fields verbatim, copied.
    void SetTexts(const std::string_view (&texts)[TF_COUNT], int genre);
    // Fills fields 1 to 15 and the genre code; the recorder name stays null.
    void GetInfo(TITLEINFO& info) const;

    // Valid as long as the title (for a loaded title: its recorder's load);
    // the texts end in a NUL. Safe from several threads at once.
    std::string_view Field(TITLE_FIELD f) const {
        if (f >= TF_DISCFREE1 && f <= TF_DISCFREE5) return Remaining(f - TF_DISCFREE1);
        const int k = kSlot[f];
        if (!m_store) return OwnField(k);
        if (k == S_TEXTFILE) return StoredFileName();
        const unsigned start = k > S_TITLE ? m_end[k - 2] + 1U : k == S_TITLE ? DiscLength() + 1U : 0U;
        return std::string_view(m_text + start, (k ? m_end[k - 1] : DiscLength()) - start);
    }
    const char* CStr(TITLE_FIELD f) const { return Field(f).data(); }
    // The description file name made in `buffer`, for a caller that needs it
    // once: Field(TF_TEXTFILE) keeps a loaded title's name as long as its load.
    std::string_view FileName(std::string& buffer) const;
    // m_strDiscFree1..5 for recording mode 0..4, else m_strDiscFree.
    std::string_view GetRemaining(int recMode) const;

    // The texts a title is made of, in the order of the library line, the
    // file name last.
    enum TEXT_SLOT {
        S_DISC,
        S_TITLE,
        S_DATE,
        S_WEEK,
        S_TIME,
        S_CHANNEL,
        S_GENRE,
        S_DISCFREE,
        S_PAGE,
        S_TEXTFILE,
        S_COUNT
    };
    using OFFSETS = std::array<std::uint16_t, S_COUNT + 1>;
    // Where each of the texts after the disc number and before the file name
    // ends (its NUL), from the first: they take at most 255 bytes together.
    // The disc number, of at most four bytes, ends at its first NUL.
    using ENDS = std::array<std::uint8_t, S_TEXTFILE - 1>;
    // Where the remaining times of settings 1 to 5 are: the index of the
    // title's disc in its store, or one of these.
    static constexpr std::int32_t FREE_SAME = INT32_MIN;      // each is m_strDiscFree (model class 1)
    static constexpr std::int32_t FREE_NONE = INT32_MIN + 1;  // no disc matched: all empty

    // A loaded title: its texts at `text` in the store.
    CRDTitleInfo(const CTitleStore* store, const char* text, const ENDS& ends, std::int32_t free, int genre)
        : m_text(text), m_store(store), m_end(ends), m_free(free), m_nGenre(genre) {}

private:
    friend class CTitleStore;
    static constexpr int kSlot[TF_COUNT] = {S_DISC, S_TITLE, S_GENRE, S_DATE, S_WEEK, S_TIME, S_CHANNEL, S_DISCFREE,
                                            0,      0,       0,       0,      0,      S_PAGE, S_TEXTFILE};
    // A block of its own is the offsets of its texts, then the texts; this
    // one is the empty title's.
    struct EMPTY {
        OFFSETS at;
        char text[S_COUNT + 1];
    };
    static const EMPTY kEmpty;
    static const char* Empty() { return reinterpret_cast<const char*>(&kEmpty); }

    void Release() {
        if (m_store == nullptr && m_text != Empty()) ::operator delete(const_cast<char*>(m_text));
        m_text = Empty();
        m_store = nullptr;
    }
    void Take(CRDTitleInfo& other) {
        m_text = other.m_text;
        m_store = other.m_store;
        m_end = other.m_end;
        m_free = other.m_free;
        m_nGenre = other.m_nGenre;
        other.m_text = Empty();
        other.m_store = nullptr;
    }
    std::string_view OwnField(int k) const {
        const OFFSETS& at = *std::launder(reinterpret_cast<const OFFSETS*>(m_text));
        return std::string_view(m_text + sizeof(OFFSETS) + at[k], at[k + 1] - at[k] - 1U);
    }
    std::string_view Remaining(int setting) const;
    std::string_view StoredFileName() const;
    // A stored disc number's length: its texts start with at most four bytes and a NUL.
    unsigned DiscLength() const {
        static_assert(std::endian::native == std::endian::little);
        std::uint32_t bytes;
        std::memcpy(&bytes, m_text, 4);
        const std::uint32_t zeros = (bytes - 0x01010101U) & ~bytes & 0x80808080U;  // exact up to the first zero
        return zeros ? static_cast<unsigned>(std::countr_zero(zeros)) / 8 : 4U;
    }

    const char* m_text = Empty();
    const CTitleStore* m_store = nullptr;  // null: a block of its own (or none)
    ENDS m_end{};                          // with a store
    std::int32_t m_free = FREE_NONE;       // in a block of its own: where its five texts are

public:
    int m_nGenre = 0;  // last: the entry packs into 32 bytes
};

// How many leading bytes of a genre text are its "_" and space prefix, which
// no record keeps. Both are single-byte characters: skipping bytes skips characters.
inline std::size_t GenrePrefixLength(const char* text, std::size_t n) {
    std::size_t lead = 0;
    while (lead < n && (text[lead] == '_' || text[lead] == ' ')) ++lead;
    return lead;
}

// "%s%s%s.txt" from date, time and channel with "/", ":" and "\" removed.
std::string MakeTextFileName(std::string_view date, std::string_view time, std::string_view channel);
// The same written at out, which has room for the three and 5 bytes more,
// NUL-terminated; returns its length.
std::size_t WriteTextFileName(char* out, std::string_view date, std::string_view time, std::string_view channel);
