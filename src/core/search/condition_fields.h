#pragma once
// The condition search's fields, as the dialog's controls hold them and as the
// command line's options give them, and the condition they make. The dialog
// and the command line only fill the fields.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/search/search_condition.h"

// An empty text, or genre 0, leaves its criterion out.
struct CONDITION_FIELDS {
    std::string strText;
    std::string strRecorder;
    std::string strDisc;  // "HDD", "DVD" or a disc number
    int nGenre = 0;
    std::string strDateFrom;  // as FormatConditionDate writes it
    std::string strDateTo;
    bool bDvdTitles = true;  // a DVD criterion lists the DVDs' titles, not the discs
};

CSearchCondition MakeCondition(const CONDITION_FIELDS& fields);

// What the condition search shows again of a condition: each value only
// when its flag is set, the text always.
CONDITION_FIELDS FieldsOf(const CSearchCondition& cond);

// "YYYY/MM/DD", so that text order is date order.
std::string FormatConditionDate(int year, int month, int day);
// Year, month and day of "Y/M/D" in any number of digits; false when the
// text does not hold three numbers so separated.
bool ScanConditionDate(const std::string& text, int& year, int& month, int& day);
// Whether the text is exactly in the form FormatConditionDate writes.
bool IsConditionDate(std::string_view text);

// The item a drop-down list chooses for a text: the one with exactly that
// text, else the first that begins with it (ASCII letters in any case), else
// item 0, the empty one.
int ChooseItemByText(const std::vector<std::string>& items, const std::string& text);

// A genre given as text: a code in decimal or 0x-hexadecimal, or a name of
// the genre table (code page 932, exact). A main genre stands for its
// sub-genres when the condition is run.
std::optional<int> ParseGenre(std::string_view text);
