#pragma once
// One disc and one title of one recorder, and their flat views of borrowed
// pointers.
#include <array>
#include <cstdint>
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

// Fields are kept in one buffer: a library of a hundred thousand titles
// must not cost fifteen allocations a title.
class CRDTitleInfo {
public:
    int m_nGenre = 0;

    // Sets fields 1 to 14 and the genre code, strips leading "_" and spaces
    // from the genre text and derives the description file name.
    void SetInfo(const TITLEINFO& info);
    // The same from fields 1 to 14 whose lengths are known.
    void SetFields(std::string_view (&fields)[TF_TEXTFILE], int genre);
    // Fills fields 1 to 15 and the genre code; the recorder name stays null.
    void GetInfo(TITLEINFO& info) const;

    std::string_view Field(TITLE_FIELD f) const {
        return std::string_view(m_data.data() + m_offset[f], m_offset[f + 1] - m_offset[f] - 1);
    }
    const char* CStr(TITLE_FIELD f) const { return m_data.data() + m_offset[f]; }
    // m_strDiscFree1..5 for recording mode 0..4, else m_strDiscFree.
    std::string_view GetRemaining(int recMode) const;

private:
    std::string m_data = std::string(TF_COUNT, '\0');
    std::array<std::uint16_t, TF_COUNT + 1> m_offset = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15};
};

// "%s%s%s.txt" from date, time and channel with "/", ":" and "\" removed.
std::string MakeTextFileName(std::string_view date, std::string_view time, std::string_view channel);
