#include "app/dialogs/message_box.h"

#include <deque>

namespace {

struct TestState {
    bool bOn = false;
    std::deque<CMessageBox::Button> answers;
    std::vector<CMessageBox::SHOWN> shown;
};

TestState& State() {
    static TestState state;
    return state;
}

// In test mode: the queued answer, or a stop naming the box nobody answered.
CMessageBox::Button Answer(const CMessageBox::SHOWN& box) {
    TestState& state = State();
    state.shown.push_back(box);
    if (state.answers.empty()) qFatal("Message box without a queued answer: \"%s\"", qUtf8Printable(box.text));
    const CMessageBox::Button answer = state.answers.front();
    state.answers.pop_front();
    if (!box.buttons.testFlag(answer))
        qFatal("Queued answer %d is not a button of the message box \"%s\"", int(answer), qUtf8Printable(box.text));
    return answer;
}

}  // namespace

CMessageBox::Button CMessageBox::Show(QWidget* parent, const QString& text, QMessageBox::Icon icon,
                                      QMessageBox::StandardButtons buttons, Button defaultButton) {
    if (State().bOn) return Answer({text, icon, buttons, defaultButton});
    QMessageBox box(icon, QStringLiteral("Librovista"), text, buttons, parent);
    if (defaultButton != QMessageBox::NoButton) box.setDefaultButton(defaultButton);
    return static_cast<Button>(box.exec());
}

void CMessageBox::SetTestMode(bool on) {
    if (State().bOn != on) State() = TestState{on, {}, {}};
}

bool CMessageBox::IsTestMode() { return State().bOn; }

void CMessageBox::SetNextAnswer(Button answer) {
    if (!State().bOn) qFatal("CMessageBox::SetNextAnswer outside the test mode");
    State().answers.push_back(answer);
}

std::size_t CMessageBox::PendingAnswers() { return State().answers.size(); }

const std::vector<CMessageBox::SHOWN>& CMessageBox::Shown() { return State().shown; }

void CMessageBox::ClearShown() { State().shown.clear(); }
