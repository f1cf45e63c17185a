#include "app/shell/main_frame_print.h"

#include <QPrintPreviewDialog>
#include <QPrinter>

#include "app/dialogs/message_box.h"
#include "app/print/label_painter.h"
#include "app/print/label_print_dialog.h"
#include "app/print/print_dialog.h"
#include "app/shell/app.h"
#include "app/shell/main_frame.h"
#include "app/views/list_model.h"
#include "app/views/list_view.h"
#include "core/views/disc_labels.h"

namespace lv::app {

namespace {
// The case of the last inserts printed, offered the next time.
CASE_KIND g_lastCase = CASE_DVD_TALL;
}  // namespace

bool CanPrintDiscLabels(const CMainFrame& frame) {
    const CRDListView* list = frame.GetListView();
    for (int row : list->GetSelectedRows())
        if (HasDiscLabel(list->GetModel()->RowAt(row))) return true;
    return false;
}

void PrintDiscLabels(CMainFrame& frame) {
    const CRDListView* list = frame.GetListView();
    std::vector<CListRowRef> rows;
    for (int row : list->GetSelectedRows()) rows.push_back(list->GetModel()->RowAt(row));
    const std::vector<DISC_LABEL> labels = DiscLabels(rows, &frame.GetDocument(), frame.GetApp().m_settings.m_nRecMode);
    if (labels.empty()) return;

    CLabelPrintDialog choice(static_cast<int>(labels.size()), g_lastCase, &frame);
    const int answer = choice.exec();
    if (answer == QDialog::Rejected) return;
    const CASE_KIND kind = g_lastCase = choice.GetCase();

    QPrinter printer(QPrinter::HighResolution);
    SetUpLabelPrinter(printer);
    if (answer == CLabelPrintDialog::Preview) {
        QPrintPreviewDialog preview(&printer, &frame);
        QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview,
                         [&](QPrinter* p) { PaintDiscLabels(*p, labels, kind); });
        preview.exec();
        return;
    }
    if (!CPrintDialog::Exec(printer, &frame)) return;
    if (!PaintDiscLabels(printer, labels, kind)) {
        const QString file = printer.outputFileName();
        CMessageBox::Show(&frame,
                          file.isEmpty() ? QStringLiteral("印刷できませんでした。")
                                         : QStringLiteral("%1: 書き込めませんでした。").arg(file),
                          QMessageBox::Critical);
    }
}

}  // namespace lv::app
