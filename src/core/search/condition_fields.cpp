#include "core/search/condition_fields.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>

#include "core/search/genres.h"
#include "core/text/cp932.h"

namespace {

void AddText(CSearchCondition& cond, int flag, std::string& field, const std::string& value) {
    if (value.empty()) return;
    cond.m_nFlags |= flag;
    field = value;
}

std::string TextIf(const CSearchCondition& cond, int flag, const std::string& value) {
    return (cond.m_nFlags & flag) ? value : std::string();
}

}  // namespace

CSearchCondition MakeCondition(const CONDITION_FIELDS& f) {
    CSearchCondition cond;
    cond.m_nFlags = f.bDvdTitles ? SC_DVD_TITLES : 0;
    AddText(cond, SC_RECORDER, cond.m_strRecorder, f.strRecorder);
    AddText(cond, SC_TEXT, cond.m_strText, f.strText);
    AddText(cond, SC_DISC, cond.m_strDisc, f.strDisc);
    if (f.nGenre != 0) {
        cond.m_nFlags |= SC_GENRE;
        cond.m_nGenre = f.nGenre;
    }
    AddText(cond, SC_DATE_FROM, cond.m_strDateFrom, f.strDateFrom);
    AddText(cond, SC_DATE_TO, cond.m_strDateTo, f.strDateTo);
    return cond;
}

CONDITION_FIELDS FieldsOf(const CSearchCondition& cond) {
    CONDITION_FIELDS f;
    f.strText = cond.m_strText;
    f.strRecorder = TextIf(cond, SC_RECORDER, cond.m_strRecorder);
    f.strDisc = TextIf(cond, SC_DISC, cond.m_strDisc);
    f.nGenre = (cond.m_nFlags & SC_GENRE) ? cond.m_nGenre : 0;
    f.strDateFrom = TextIf(cond, SC_DATE_FROM, cond.m_strDateFrom);
    f.strDateTo = TextIf(cond, SC_DATE_TO, cond.m_strDateTo);
    f.bDvdTitles = (cond.m_nFlags & SC_DVD_TITLES) != 0;
    return f;
}

std::string FormatConditionDate(int year, int month, int day) {
    char text[32];
    std::snprintf(text, sizeof text, "%04d/%02d/%02d", year, month, day);
    return text;
}

bool ScanConditionDate(const std::string& text, int& year, int& month, int& day) {
    return std::sscanf(text.c_str(), "%d/%d/%d", &year, &month, &day) == 3;
}

bool IsConditionDate(std::string_view s) {
    if (s.size() != 10 || s[4] != '/' || s[7] != '/') return false;
    for (std::size_t i : {0, 1, 2, 3, 5, 6, 8, 9})
        if (s[i] < '0' || s[i] > '9') return false;
    return true;
}

int ChooseItemByText(const std::vector<std::string>& items, const std::string& text) {
    const auto exact = std::find(items.begin(), items.end(), text);
    if (exact != items.end()) return static_cast<int>(exact - items.begin());
    if (text.empty()) return 0;
    for (std::size_t i = 0; i < items.size(); ++i)
        if (lv::text::BeginsWithNoCase(items[i], text)) return static_cast<int>(i);
    return 0;
}

std::optional<int> ParseGenre(std::string_view text) {
    if (text.empty()) return std::nullopt;
    const std::string arg(text);
    const bool hex = arg.size() > 2 && arg[0] == '0' && (arg[1] == 'x' || arg[1] == 'X');
    const char* digits = arg.c_str() + (hex ? 2 : 0);
    char* end = nullptr;
    // long long: a long is 32 bits on Windows, where a code past it would clamp to the maximum.
    const long long value = std::strtoll(digits, &end, hex ? 16 : 10);
    const bool number = std::isxdigit(static_cast<unsigned char>(*digits)) != 0;  // no sign, no space
    if (number && end != digits && *end == '\0' && value >= 0 && value <= 0x7FFFFFFF) return static_cast<int>(value);
    if (const GENRE_ENTRY* g = FindGenre(text)) return g->nCode;
    return std::nullopt;
}
