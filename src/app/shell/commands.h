#pragma once
// Command ids of the window's menus, toolbar and keys; the toolbar images
// are named after the numbers.
#include <QString>

namespace lv::app {

enum CommandId : int {
    ID_QUICK_SEARCH = 1000,
    ID_OPTIONS = 32782,
    ID_VIEW_QUICKSEARCHBAR = 32784,
    ID_SEARCH = 32785,
    ID_HELP_HOMEPAGE = 32787,
    ID_HELP_README = 32788,
    ID_EDIT_COPY_DETAILS = 32790,
    ID_DOWNLOAD_LIBRARY = 32793,
    ID_ABORT = 32794,
    ID_NETNAVI_SETTING = 32796,
    ID_DISC_NAME = 32805,
    ID_DISC_FREE = 32808,
    ID_DOWNLOAD_TITLE = 32812,
    ID_CLEAN_UNUSED = 32825,
    ID_CLEAN_DESCRIPTIONS = 32826,
    ID_CLEAN_LIBRARY = 32829,
    ID_UP_ONE_LEVEL = 32833,
    ID_REC_MODE1 = 32834,  // ... ID_REC_MODE1 + 4
    ID_DOWNLOAD_ALL_LIBRARIES = 32850,
    ID_EXPORT_LIST = 32851,
    ID_PRINT_DISC_LABELS = 32852,
    ID_VIEW_FILTER = 32860,
    ID_EDIT_COPY = 57634,
    ID_EDIT_SELECT_ALL = 57642,
    ID_APP_ABOUT = 57664,
    ID_APP_EXIT = 57665,
    ID_VIEW_TOOLBAR = 59392,
    ID_VIEW_STATUS_BAR = 59393,
    ID_VIEW_SMALLICON = 59408,
    ID_VIEW_LARGEICON = 59409,
    ID_VIEW_LIST = 59410,
    ID_VIEW_DETAILS = 59411,
    ID_VIEW_LINEUP = 59412,
    ID_VIEW_BYNAME = 59413,
};

// Status-bar panes after the message pane.
enum PaneId : int {
    ID_PANE_SELECTED = 61189,
    ID_PANE_TOTAL = 61190,
    ID_PANE_RECMODE = 61191,
    ID_PANE_TRANSFER = 61188,
};

struct COMMAND_TEXT {
    int nId;
    const char* pszMenu;     // "text(&X)\tKey": the part after the tab names the key
    const char* pszPrompt;   // status-bar prompt
    const char* pszTooltip;  // toolbar tooltip
};

// The command's texts, or null for an unknown id.
const COMMAND_TEXT* FindCommandText(int id);

// "ﾗｲﾌﾞﾗﾘ情報を取得(&R)\tF5" -> "ﾗｲﾌﾞﾗﾘ情報を取得(&R)" and "F5" (BS is Backspace).
QString MenuLabel(const char* menuText);
QString MenuShortcut(const char* menuText);

}  // namespace lv::app
