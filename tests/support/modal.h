#pragma once
// Driving modal dialogs from a test: the action runs on the next dialog of
// the wanted class once it is shown and active, while the code under test
// sits in its exec().
#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>

#include "app/dialogs/message_box.h"

namespace lv::guitest {

// Runs an action on the next modal dialog of the wanted class once it is
// shown, while the code under test sits in its exec(). Waiting ends when the
// object goes, so an action never outlives what it refers to.
class DialogWaiter {
public:
    template <class Dialog>
    static std::unique_ptr<DialogWaiter> Next(std::function<void(Dialog*)> action) {
        auto waiter = std::make_unique<DialogWaiter>();
        QTimer* timer = waiter->m_timer.get();
        timer->setInterval(10);
        QObject::connect(timer, &QTimer::timeout, timer, [timer, action] {
            auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
            if (!dialog || !dialog->isVisible()) return;
            timer->stop();
            action(dialog);
        });
        timer->start();
        return waiter;
    }
    bool Pending() const { return m_timer->isActive(); }

private:
    std::unique_ptr<QTimer> m_timer = std::make_unique<QTimer>();
};

template <class Dialog>
[[nodiscard]] std::unique_ptr<DialogWaiter> OnNextDialog(std::function<void(Dialog*)> action) {
    return DialogWaiter::Next<Dialog>(std::move(action));
}

// Makes the window active again, as the desktop does when a dialog closes,
// so that its keys reach it.
inline void Activate(QWidget* window) {
    window->activateWindow();
    QApplication::setActiveWindow(window);
}

// The texts of the boxes shown since the last clear.
inline QStringList ShownTexts() {
    QStringList texts;
    for (const auto& m : CMessageBox::Shown()) texts << m.text;
    return texts;
}

}  // namespace lv::guitest
