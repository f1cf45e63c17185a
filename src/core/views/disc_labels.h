#pragma once
// Inserts for the cases of discs: what a disc's insert says, the sizes of
// the cases' inserts and where inserts go on a sheet. The painting is the
// window's; everything here is texts and millimetres.
#include <string>
#include <vector>

#include "core/views/list_rows.h"

class CRDTitleDoc;

// A title's line on an insert, code page 932.
struct LABEL_TITLE {
    std::string strTitle;
    std::string strDate;  // as the list's date column shows it, with the start time
    std::string strGenre;
};

struct DISC_LABEL {
    std::string strRDName;
    std::string strDiscNo;
    std::string strLabel;              // the disc's name; may be empty
    std::string strFree;               // remaining time for the recording mode
    std::vector<LABEL_TITLE> aTitles;  // in recording order
};

// The discs that rows stand for: a disc row its disc, a title row the disc
// that holds it; the hard disk has no case. Each disc once, in the order of
// the rows, with all its titles that the document holds (without one, those
// among the rows).
std::vector<DISC_LABEL> DiscLabels(const std::vector<CListRowRef>& rows, const CRDTitleDoc* doc, int recMode);
// Whether a row stands for a disc that DiscLabels gives.
bool HasDiscLabel(const CListRowRef& row);

struct MM_RECT {
    double x = 0, y = 0, w = 0, h = 0;
};

enum CASE_KIND { CASE_DVD_TALL, CASE_SLIM_JEWEL };

// An insert as it lies flat and is read: for a DVD case the back, the spine
// and the front from left to right; a slim jewel case has a front only.
struct CASE_INSERT {
    double dWidth = 0, dHeight = 0;  // mm
    MM_RECT back, spine, front;      // empty where the case has none
};
const CASE_INSERT& CaseInsert(CASE_KIND kind);

// Inserts on a sheet: as many as fit the printable area, turned a quarter
// when more fit that way; an insert larger than the area either way is
// shrunk to fit, one a sheet.
struct SHEET_LAYOUT {
    bool bTurned = false;         // each insert turned a quarter clockwise
    double dScale = 1;            // below 1 only for an insert larger than the area
    std::vector<MM_RECT> aSlots;  // where the inserts go, in the area, as they lie on the sheet
};
SHEET_LAYOUT LayOutSheet(double areaWidth, double areaHeight, const CASE_INSERT& insert);
