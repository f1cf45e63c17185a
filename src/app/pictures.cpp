// librovista-pictures WINDOW.png INSERTS.pdf: the README's pictures, made
// again by scripts/pictures. Starts the window over the program folder that
// LIBROVISTA_HOME names (one recorder, "DEMO", fetched), shows its hard disk
// with a title selected and saves the window as a picture; then prints the
// slim case inserts of its first two DVDs into a PDF file.
#include <QApplication>
#include <QItemSelectionModel>
#include <QPixmap>
#include <QPrinter>
#include <QTreeView>
#include <cstdio>

#include "app/print/label_painter.h"
#include "app/shell/app.h"
#include "app/shell/main_frame.h"
#include "app/views/list_model.h"
#include "app/views/list_view.h"
#include "app/views/tree_view.h"
#include "core/views/disc_labels.h"

namespace {

void Show(CMainFrame& frame, const std::vector<std::string>& path, int row) {
    frame.GetTreeView()->SelectPath(path);
    QApplication::processEvents();
    CRDListView* list = frame.GetListView();
    if (row < list->GetModel()->rowCount()) {
        QTreeView* details = list->GetDetailsView();
        details->setCurrentIndex(list->GetModel()->index(row, 0));
        details->setFocus();
    }
    QApplication::processEvents();
}

}  // namespace

int main(int argc, char* argv[]) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: librovista-pictures WINDOW.png INSERTS.pdf\n");
        return 2;
    }
    CGuardedApplication qapp(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Librovista"));
    CLibrovistaApp app;
    if (!app.InitInstance({QApplication::applicationFilePath()})) return 1;
    CMainFrame& frame = *app.GetMainFrame();
    frame.resize(960, 600);

    Show(frame, {"DEMO", "HDD"}, 2);
    const bool saved = frame.grab().save(QString::fromLocal8Bit(argv[1]));

    Show(frame, {"DEMO", "DVD"}, 0);
    const CRDListView* list = frame.GetListView();
    std::vector<CListRowRef> rows;
    for (int row = 0; row < std::min(2, list->GetModel()->rowCount()); ++row)
        rows.push_back(list->GetModel()->RowAt(row));
    QPrinter printer(QPrinter::HighResolution);
    SetUpLabelPrinter(printer);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromLocal8Bit(argv[2]));
    const bool printed =
        PaintDiscLabels(printer, DiscLabels(rows, app.GetDocument(), app.m_settings.m_nRecMode), CASE_SLIM_JEWEL);
    app.ExitInstance();
    if (!saved || !printed || rows.empty()) {
        std::fprintf(stderr, "librovista-pictures: %s\n", rows.empty() ? "no DVD to print" : "could not write");
        return 1;
    }
    return 0;
}
