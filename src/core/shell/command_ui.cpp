#include "core/shell/command_ui.h"

#include "core/views/list_rows.h"

COMMAND_UI GetCommandUI(const COMMAND_STATE& s) {
    COMMAND_UI ui;
    const bool idle = !s.bTransferring;
    ui.bDownloadLibrary = idle && s.bRecorderChosen;
    ui.bDownloadAllLibraries = idle && s.bHasRecorders;
    ui.bAbort = s.bTransferring;
    ui.bCleanCache = idle && s.bRecorderChosen;
    ui.bNetNaviSetting = idle;

    // The tree has none of the views' commands.
    const bool list = s.nActiveView == ACTIVE_LIST;
    ui.bEditCopy = list || s.nActiveView == ACTIVE_EDIT;
    ui.bEditSelectAll = ui.bEditCopy;
    ui.bEditCopyDetails = list;
    const bool fetchable = list && CanFetchDescriptions(s.nListViewMode, s.nSelectedRows, s.bTransferring);
    ui.bDownloadTitle = fetchable && s.bSelectionServesDescriptions;
    ui.bNoDescriptions = fetchable && !s.bSelectionServesDescriptions;
    ui.bUpOneLevel = s.bTreeCanGoUp;
    ui.bExportList = s.nListRows > 0;

    ui.bLineUp = s.nListStyle == LIST_LARGEICON || s.nListStyle == LIST_SMALLICON;
    for (int style = 0; style < 4; ++style) ui.abListStyle[static_cast<std::size_t>(style)] = s.nListStyle == style;
    ui.bDiscName = (s.nDiscDisplay & 2) != 0;
    ui.bDiscFree = (s.nDiscDisplay & 1) != 0;
    for (int mode = 0; mode < 5; ++mode) ui.abRecMode[static_cast<std::size_t>(mode)] = s.nRecMode == mode;
    return ui;
}
