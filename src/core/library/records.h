#pragma once
// One disc and one title of one recorder, and their flat views of borrowed
// pointers.
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

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

// A compact entry over texts kept elsewhere: the titles of a recorder share
// the one buffer its load fills, without an allocation per title; a title set
// from a view, or copied, owns a block of its own (a copy must outlive a
// reload of the document).
class CRDTitleInfo {
public:
    CRDTitleInfo() = default;
    CRDTitleInfo(const CRDTitleInfo& other);
    CRDTitleInfo& operator=(const CRDTitleInfo& other);
    CRDTitleInfo(CRDTitleInfo&&) noexcept = default;
    CRDTitleInfo& operator=(CRDTitleInfo&&) noexcept = default;
    ~CRDTitleInfo() = default;

    // Sets fields 1 to 14 and the genre code, strips leading "_" and spaces
    // from the genre text and derives the description file name.
    void SetInfo(const TITLEINFO& info);
    // The same from fields 1 to 14 whose lengths are known.
    void SetFields(std::string_view (&fields)[TF_TEXTFILE], int genre);
    // Fills fields 1 to 15 and the genre code; the recorder name stays null.
    void GetInfo(TITLEINFO& info) const;

    std::string_view Field(TITLE_FIELD f) const {
        if (f >= TF_DISCFREE1 && f <= TF_DISCFREE5) return std::string_view(CStr(f));
        const int k = kSlot[f];
        return std::string_view(m_text + m_offset[k], m_offset[k + 1] - m_offset[k] - 1);
    }
    const char* CStr(TITLE_FIELD f) const {
        if (f >= TF_DISCFREE1 && f <= TF_DISCFREE5) return RemainingText(f - TF_DISCFREE1);
        return m_text + m_offset[kSlot[f]];
    }
    // m_strDiscFree1..5 for recording mode 0..4, else m_strDiscFree.
    std::string_view GetRemaining(int recMode) const;

    // How a recorder's load lays out a title: these texts, each ending in a
    // NUL, one after the other (the order of the library line, file name last).
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
    // Where the remaining times of settings 1 to 5 are, relative to the texts:
    // five NUL-terminated texts there, or one of these.
    static constexpr std::int32_t FREE_SAME = INT32_MIN;      // each is m_strDiscFree (model class 1)
    static constexpr std::int32_t FREE_NONE = INT32_MIN + 1;  // no disc matched: all empty
    // Points the entry at texts that outlive it (the recorder's buffer).
    void Borrow(const char* text, const OFFSETS& offsets, std::int32_t free, int genre) {
        m_text = text;
        m_offset = offsets;
        m_free = free;
        m_nGenre = genre;
        m_own.reset();
    }
    // The same texts moved: the buffer they are in was reallocated.
    void Rebase(const char* text) { m_text = text; }

private:
    static constexpr int kSlot[TF_COUNT] = {S_DISC, S_TITLE, S_GENRE, S_DATE, S_WEEK, S_TIME, S_CHANNEL, S_DISCFREE,
                                            0,      0,       0,       0,      0,      S_PAGE, S_TEXTFILE};
    static const char kEmpty[S_COUNT + 1];

    const char* RemainingText(int setting) const;
    // Copies all fifteen texts verbatim into a block of its own.
    void Own(const std::string_view (&texts)[TF_COUNT], int genre);

    const char* m_text = kEmpty;
    OFFSETS m_offset = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    std::unique_ptr<char[]> m_own;
    std::int32_t m_free = FREE_NONE;

public:
    int m_nGenre = 0;  // last: the entry packs into 48 bytes
};

// "%s%s%s.txt" from date, time and channel with "/", ":" and "\" removed.
std::string MakeTextFileName(std::string_view date, std::string_view time, std::string_view channel);
