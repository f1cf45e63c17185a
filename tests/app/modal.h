#pragma once
// Driving modal dialogs from a test: the action runs on the next dialog of
// the wanted class once it is shown and active, while the code under test
// sits in its exec().
#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>

#include "app/shell/main_frame.h"

namespace lv::guitest {

// Set when a dialog that a test waited for never came.
inline bool& MissedDialog() {
    static bool missed = false;
    return missed;
}

template <class Dialog>
void OnNextDialog(std::function<void(Dialog*)> action, int timeoutMs = 5000) {
    auto* timer = new QTimer;
    auto ticks = std::make_shared<int>(0);
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, ticks, action, timeoutMs] {
        auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible()) {
            if (++*ticks * 10 > timeoutMs) {
                MissedDialog() = true;
                timer->stop();
                timer->deleteLater();
            }
            return;
        }
        timer->stop();
        timer->deleteLater();
        action(dialog);
    });
    timer->start();
}

// The texts of the boxes shown since the last clear.
inline QStringList ShownTexts() {
    QStringList texts;
    for (const auto& m : CMainFrame::shownMessages()) texts << m.text;
    return texts;
}

}  // namespace lv::guitest
