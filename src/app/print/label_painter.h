#pragma once
// Paints the inserts of discs' cases on a printer's sheets, as many a sheet
// as fit, each with cut lines (and fold lines round a spine).
#include <vector>

#include "core/views/disc_labels.h"

class QPrinter;

// A4 with narrow margins, so that a DVD case's insert fits a sheet; the
// print dialog may change it.
void SetUpLabelPrinter(QPrinter& printer);
// False when the printer could not start (a file that cannot be written).
bool PaintDiscLabels(QPrinter& printer, const std::vector<DISC_LABEL>& labels, CASE_KIND kind);
