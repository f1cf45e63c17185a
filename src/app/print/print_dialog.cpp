#include "app/print/print_dialog.h"

#include <QPrintDialog>
#include <QPrinter>
#include <deque>

#include "app/dialogs/message_box.h"

namespace {
std::deque<QString>& Answers() {
    static std::deque<QString> answers;
    return answers;
}
}  // namespace

bool CPrintDialog::Exec(QPrinter& printer, QWidget* parent) {
    if (CMessageBox::IsTestMode()) {
        if (Answers().empty()) qFatal("Print dialog without a queued answer");
        const QString path = Answers().front();
        Answers().pop_front();
        if (path.isEmpty()) return false;
        // As the dialog's file output leaves the printer.
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(path);
        return true;
    }
    QPrintDialog dialog(&printer, parent);
    return dialog.exec() == QDialog::Accepted;
}

void CPrintDialog::SetNextAnswer(const QString& pdfPath) {
    if (!CMessageBox::IsTestMode()) qFatal("CPrintDialog::SetNextAnswer outside the test mode");
    Answers().push_back(pdfPath);
}
