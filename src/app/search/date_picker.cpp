#include "app/search/date_picker.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>

CDatePicker::CDatePicker(QWidget* parent) : QWidget(parent) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    m_pCheck = new QCheckBox(this);
    m_pEdit = new QDateEdit(QDate::currentDate(), this);
    m_pEdit->setDisplayFormat(QStringLiteral("yyyy/MM/dd"));
    // Four-digit years only: every date offered formats as "YYYY/MM/DD" and
    // compares with the titles' dates as text.
    m_pEdit->setDateRange(QDate(1900, 1, 1), QDate(9999, 12, 31));
    m_pEdit->setCalendarPopup(false);
    m_pEdit->setAlignment(Qt::AlignRight);
    m_pEdit->setEnabled(false);
    layout->addWidget(m_pCheck);
    layout->addWidget(m_pEdit, 1);
    setFocusProxy(m_pCheck);
    // A label's key reaches the picker itself; its proxy takes the focus.
    setFocusPolicy(Qt::StrongFocus);
    m_pEdit->installEventFilter(this);
    connect(m_pCheck, &QCheckBox::toggled, m_pEdit, &QWidget::setEnabled);
}

void CDatePicker::SetDate(const QDate& date) {
    if (date.isValid() && date >= m_pEdit->minimumDate() && date <= m_pEdit->maximumDate()) {
        m_pEdit->setDate(date);
        m_pCheck->setChecked(true);
    } else {
        m_pCheck->setChecked(false);
    }
}

QDate CDatePicker::GetDate() const { return m_pCheck->isChecked() ? m_pEdit->date() : QDate(); }

bool CDatePicker::IsChecked() const { return m_pCheck->isChecked(); }

void CDatePicker::SetToolTip(const QString& text) {
    setToolTip(text);
    m_pCheck->setToolTip(text);
    m_pEdit->setToolTip(text);
}

// A date typed as it is written, "2005/01/01": a full field moves on by
// itself, so the slash that follows must not skip the next field too.
bool CDatePicker::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_pEdit && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->text() == QStringLiteral("/")) {
        if (const auto* edit = m_pEdit->findChild<QLineEdit*>()) {
            const int cursor = edit->hasSelectedText() ? edit->selectionStart() : edit->cursorPosition();
            if (cursor > 0 && edit->text().at(cursor - 1) == QLatin1Char('/')) return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
