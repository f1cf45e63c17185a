#include "core/views/columns.h"

#include "core/text/messages.h"

const char* const g_aColumnKeys[COLUMN_COUNT] = {"Title",  "Disc",     "Genre",  "Date",  "Channel",
                                                 "RDName", "DiscFree", "DiscNo", "Free",  "Label",
                                                 "Free1",  "Free2",    "Free3",  "Free4", "Free5"};

const std::string& ColumnHeader(int index) {
    using namespace lv::msg;
    static const std::string* const headers[COLUMN_COUNT] = {
        &ColTitle(), &ColDiscNo(), &ColGenre(), &ColDate(),  &ColChannel(), &ColRDName(), &ColFree(),  &ColDiscNo(),
        &ColFree(),  &ColLabel(),  &ColFree1(), &ColFree2(), &ColFree3(),   &ColFree4(),  &ColFree5(),
    };
    static const std::string none;
    return index >= 0 && index < COLUMN_COUNT ? *headers[index] : none;
}
