#pragma once
// "ﾃﾞｨｽｸﾗﾍﾞﾙの印刷...": inserts for the cases of the discs that the list's
// selection stands for: the selected discs, or the discs of the selected titles.
class CMainFrame;

namespace lv::app {

// Enabled while the selection stands for a disc (a title on the hard disk does not).
bool CanPrintDiscLabels(const CMainFrame& frame);
void PrintDiscLabels(CMainFrame& frame);

}  // namespace lv::app
