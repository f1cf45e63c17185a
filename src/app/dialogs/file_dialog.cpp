#include "app/dialogs/file_dialog.h"

#include <QFileDialog>
#include <deque>
#include <utility>

#include "app/dialogs/message_box.h"

namespace {
std::deque<std::pair<QString, int>>& Answers() {
    static std::deque<std::pair<QString, int>> answers;
    return answers;
}
}  // namespace

QString CFileDialog::GetSaveFileName(QWidget* parent, const QString& caption, const QString& suggested,
                                     const QStringList& filters, int& filter) {
    if (CMessageBox::IsTestMode()) {
        if (Answers().empty()) qFatal("File dialog without a queued answer: \"%s\"", qUtf8Printable(caption));
        const auto [path, index] = Answers().front();
        Answers().pop_front();
        filter = index;
        return path;
    }
    QString selected = filters.value(filter);
    QString path =
        QFileDialog::getSaveFileName(parent, caption, suggested, filters.join(QStringLiteral(";;")), &selected);
    filter = static_cast<int>(filters.indexOf(selected));
    return path;
}

void CFileDialog::SetNextAnswer(const QString& path, int filter) {
    if (!CMessageBox::IsTestMode()) qFatal("CFileDialog::SetNextAnswer outside the test mode");
    Answers().emplace_back(path, filter);
}
