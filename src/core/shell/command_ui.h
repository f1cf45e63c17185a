#pragma once
// Which of the window's commands are enabled and ticked, decided from a plain
// picture of the window's state; the window gathers the state and shows the result.
#include <array>

// The view that last had the keyboard focus: the edit commands and F4 go to it.
enum ACTIVE_VIEW { ACTIVE_NONE, ACTIVE_TREE, ACTIVE_LIST, ACTIVE_EDIT };

struct COMMAND_STATE {
    bool bTransferring = false;
    bool bRecorderChosen = false;  // the document's current recorder is not empty
    bool bHasRecorders = false;    // the document holds at least one recorder's library
    ACTIVE_VIEW nActiveView = ACTIVE_NONE;
    int nListViewMode = 0;  // VIEW_TITLES or VIEW_DISCS
    int nSelectedRows = 0;
    int nListRows = 0;
    // The recorder of the first selected title serves descriptions (F4 asks that one).
    bool bSelectionServesDescriptions = true;
    bool bTreeCanGoUp = false;  // the tree's selected node has a parent
    int nListStyle = 1;         // LIST_STYLE
    int nDiscDisplay = 0;
    int nRecMode = 0;
};

struct COMMAND_UI {
    // Enabled.
    bool bDownloadLibrary = false;
    bool bDownloadAllLibraries = false;
    bool bDownloadTitle = false;
    bool bAbort = false;
    bool bCleanCache = false;  // the three clean-up commands
    bool bNetNaviSetting = false;
    bool bEditCopy = false;
    bool bEditSelectAll = false;
    bool bEditCopyDetails = false;
    bool bUpOneLevel = false;
    bool bExportList = false;  // there are rows to save
    bool bLineUp = false;
    // F4 is off only because the recorder serves no descriptions: the window says so.
    bool bNoDescriptions = false;
    // Ticked.
    std::array<bool, 4> abListStyle{};  // by LIST_STYLE
    bool bDiscName = false;
    bool bDiscFree = false;
    std::array<bool, 5> abRecMode{};
};

COMMAND_UI GetCommandUI(const COMMAND_STATE& state);
