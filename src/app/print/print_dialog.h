#pragma once
// The print dialog of the program. In the message boxes' test mode it is
// never shown: it answers from a queue of PDF files to print into, and one
// that finds the queue empty stops the test program, as a message box does.
#include <QString>

class QPrinter;
class QWidget;

class CPrintDialog {
public:
    // True when the user chose to print, with the printer set up as chosen.
    static bool Exec(QPrinter& printer, QWidget* parent);

    // Test mode: the next dialog prints into this PDF file (an empty path cancels).
    static void SetNextAnswer(const QString& pdfPath);
};
