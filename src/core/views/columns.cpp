#include "core/views/columns.h"

const char* const g_aColumnKeys[COLUMN_COUNT] = {"Title",  "Disc",     "Genre",  "Date",  "Channel",
                                                 "RDName", "DiscFree", "DiscNo", "Free",  "Label",
                                                 "Free1",  "Free2",    "Free3",  "Free4", "Free5"};
