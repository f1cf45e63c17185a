#pragma once
// Every message box of the program, with the caption "Librovista". Tests
// switch the test mode on: boxes are then never shown but answered from a
// queue of answers, and a box that finds the queue empty stops the test
// program, so that no test passes on an answer nobody chose.
#include <QMessageBox>
#include <QString>
#include <vector>

class CMessageBox {
public:
    using Button = QMessageBox::StandardButton;

    static Button Show(QWidget* parent, const QString& text, QMessageBox::Icon icon = QMessageBox::NoIcon,
                       QMessageBox::StandardButtons buttons = QMessageBox::Ok,
                       Button defaultButton = QMessageBox::NoButton);

    // What a test sees of a box.
    struct SHOWN {
        QString text;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QMessageBox::StandardButtons buttons = QMessageBox::Ok;
        Button defaultButton = QMessageBox::NoButton;
    };
    // Switching either way forgets the boxes shown and the answers queued.
    static void SetTestMode(bool on);
    static bool IsTestMode();
    // The answer to the next box; it must be one of that box's buttons.
    static void SetNextAnswer(Button answer);
    static std::size_t PendingAnswers();
    // The boxes shown in test mode since it was switched on or cleared.
    static const std::vector<SHOWN>& Shown();
    static void ClearShown();
};
