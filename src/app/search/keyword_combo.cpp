#include "app/search/keyword_combo.h"

#include <QKeyEvent>
#include <QLineEdit>

#include "app/dialogs/data_exchange.h"
#include "app/shell/qcodec.h"
#include "core/shell/keyword_history.h"

using lv::app::FromQ;
using lv::app::ToQ;

CKeywordComboBox::CKeywordComboBox(QWidget* parent) : QComboBox(parent) {
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    setMaxVisibleItems(20);
    // No completion while typing: the box takes exactly what is typed.
    setCompleter(nullptr);
    // Enter reaches the box whether it was typed into the box or into its edit
    // field, which passes the key on; so the box alone is watched.
    installEventFilter(this);
}

void CKeywordComboBox::SetHistoryFolder(const std::string& appDir) { m_strHistoryPath = ::GetHistoryPath(appDir); }

void CKeywordComboBox::LimitText(int bytes) { lv::app::LimitText(lineEdit(), bytes); }

std::vector<std::string> CKeywordComboBox::GetKeywords() const {
    std::vector<std::string> keywords;
    keywords.reserve(static_cast<std::size_t>(count()));
    for (int i = 0; i < count(); ++i) keywords.push_back(FromQ(itemText(i)));
    return keywords;
}

std::string CKeywordComboBox::GetText() const { return FromQ(currentText()); }

void CKeywordComboBox::SetKeywords(const std::vector<std::string>& keywords) {
    const QString typed = lineEdit()->text();
    const bool blocked = blockSignals(true);
    clear();
    for (const std::string& keyword : keywords) addItem(ToQ(keyword));
    setCurrentIndex(-1);
    lineEdit()->setText(typed);
    blockSignals(blocked);
}

void CKeywordComboBox::AddKeyword(const std::string& text) {
    std::vector<std::string> keywords = GetKeywords();
    ::AddKeyword(keywords, text);
    SetKeywords(keywords);
}

bool CKeywordComboBox::LoadHistory() {
    std::vector<std::string> keywords = GetKeywords();
    const bool ok = ::LoadHistory(keywords, m_strHistoryPath);
    SetKeywords(keywords);
    return ok;
}

bool CKeywordComboBox::SaveHistory() const { return ::SaveHistory(GetKeywords(), m_strHistoryPath); }

int CKeywordComboBox::FindStringPrefix(int startAfter, const std::string& text) const {
    return FindKeywordPrefix(GetKeywords(), text, startAfter);
}

bool CKeywordComboBox::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) emit enterPressed();
    }
    return QComboBox::eventFilter(watched, event);
}
