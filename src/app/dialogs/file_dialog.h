#pragma once
// The save-file dialog of the program. In the message boxes' test mode it is
// never shown: it answers from a queue, and one that finds the queue empty
// stops the test program, as a message box does.
#include <QString>
#include <QStringList>

class QWidget;

class CFileDialog {
public:
    // The chosen path and, in `filter`, the index of the chosen filter;
    // empty when the user cancelled.
    static QString GetSaveFileName(QWidget* parent, const QString& caption, const QString& suggested,
                                   const QStringList& filters, int& filter);

    // Test mode: the answer to the next dialog (an empty path cancels).
    static void SetNextAnswer(const QString& path, int filter);
};
