#include "core/shell/command_ui.h"

#include <gtest/gtest.h>

#include "core/views/list_rows.h"

namespace {

COMMAND_STATE Idle(bool chosen) {
    COMMAND_STATE s;
    s.bRecorderChosen = chosen;
    return s;
}

TEST(CommandUI, TransferCommandsFollowTheRecorderAndTheTransfer) {
    COMMAND_UI none = GetCommandUI(Idle(false));
    EXPECT_FALSE(none.bDownloadLibrary);
    EXPECT_FALSE(none.bDownloadAllLibraries);
    EXPECT_FALSE(none.bCleanCache);
    EXPECT_FALSE(none.bAbort);
    EXPECT_TRUE(none.bNetNaviSetting);

    COMMAND_STATE listed = Idle(false);
    listed.bHasRecorders = true;
    EXPECT_TRUE(GetCommandUI(listed).bDownloadAllLibraries);
    listed.bTransferring = true;
    EXPECT_FALSE(GetCommandUI(listed).bDownloadAllLibraries);

    COMMAND_UI chosen = GetCommandUI(Idle(true));
    EXPECT_TRUE(chosen.bDownloadLibrary);
    EXPECT_TRUE(chosen.bCleanCache);
    EXPECT_FALSE(chosen.bAbort);

    COMMAND_STATE busy = Idle(true);
    busy.bTransferring = true;
    COMMAND_UI running = GetCommandUI(busy);
    EXPECT_FALSE(running.bDownloadLibrary);
    EXPECT_FALSE(running.bCleanCache);
    EXPECT_FALSE(running.bNetNaviSetting);
    EXPECT_TRUE(running.bAbort);
    // A list is saved whichever view is active, also while a transfer runs, once it has rows.
    EXPECT_FALSE(running.bExportList);
    busy.nListRows = 1;
    EXPECT_TRUE(GetCommandUI(busy).bExportList);
}

TEST(CommandUI, ViewCommandsBelongToTheActiveView) {
    COMMAND_STATE s = Idle(true);
    s.nSelectedRows = 2;
    for (ACTIVE_VIEW view : {ACTIVE_NONE, ACTIVE_TREE}) {
        s.nActiveView = view;
        COMMAND_UI ui = GetCommandUI(s);
        EXPECT_FALSE(ui.bEditCopy || ui.bEditSelectAll || ui.bEditCopyDetails || ui.bDownloadTitle) << view;
    }
    s.nActiveView = ACTIVE_LIST;
    COMMAND_UI list = GetCommandUI(s);
    EXPECT_TRUE(list.bEditCopy && list.bEditSelectAll && list.bEditCopyDetails && list.bDownloadTitle);
    // The description view copies and selects its own text, nothing more.
    s.nActiveView = ACTIVE_EDIT;
    COMMAND_UI edit = GetCommandUI(s);
    EXPECT_TRUE(edit.bEditCopy && edit.bEditSelectAll);
    EXPECT_FALSE(edit.bEditCopyDetails || edit.bDownloadTitle);
}

TEST(CommandUI, DescriptionsNeedSelectedTitlesAndNoTransfer) {
    COMMAND_STATE s = Idle(true);
    s.nActiveView = ACTIVE_LIST;
    s.nSelectedRows = 1;
    EXPECT_TRUE(GetCommandUI(s).bDownloadTitle);
    s.nListViewMode = VIEW_DISCS;
    EXPECT_FALSE(GetCommandUI(s).bDownloadTitle);
    s.nListViewMode = VIEW_TITLES;
    s.nSelectedRows = 0;
    EXPECT_FALSE(GetCommandUI(s).bDownloadTitle);
    s.nSelectedRows = 1;
    s.bTransferring = true;
    EXPECT_FALSE(GetCommandUI(s).bDownloadTitle);
    EXPECT_FALSE(GetCommandUI(s).bNoDescriptions);
    // A recorder without descriptions: off, and the window is told why.
    s.bTransferring = false;
    s.bSelectionServesDescriptions = false;
    EXPECT_FALSE(GetCommandUI(s).bDownloadTitle);
    EXPECT_TRUE(GetCommandUI(s).bNoDescriptions);
    s.nSelectedRows = 0;
    EXPECT_FALSE(GetCommandUI(s).bNoDescriptions);
    // The list's own popup asks the same question.
    EXPECT_TRUE(CanFetchDescriptions(VIEW_TITLES, 3, false));
    EXPECT_FALSE(CanFetchDescriptions(VIEW_TITLES, 3, true));
    EXPECT_FALSE(CanFetchDescriptions(VIEW_DISCS, 3, false));
    EXPECT_FALSE(CanFetchDescriptions(VIEW_TITLES, 0, false));
}

TEST(CommandUI, ListTypesCarryARadioMarkAndLineUpOnlyForIcons) {
    COMMAND_STATE s = Idle(false);
    for (int style : {LIST_LARGEICON, LIST_DETAILS, LIST_SMALLICON, LIST_LIST}) {
        s.nListStyle = style;
        COMMAND_UI ui = GetCommandUI(s);
        for (int other = 0; other < 4; ++other)
            EXPECT_EQ(ui.abListStyle[static_cast<std::size_t>(other)], other == style) << style << " " << other;
        EXPECT_EQ(ui.bLineUp, style == LIST_LARGEICON || style == LIST_SMALLICON) << style;
    }
}

}  // namespace
