#include "app/dialogs/data_exchange.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <optional>

#include "app/dialogs/message_box.h"
#include "app/shell/qcodec.h"

namespace lv::app {

namespace {

// Digits with an optional sign and surrounding blanks, as a number; values
// too large for 64 bits count as out of every range.
std::optional<long long> ParseNumber(const QString& text, bool allowSign, bool* tooLarge) {
    const QString s = text.trimmed();
    qsizetype i = 0;
    bool negative = false;
    if (allowSign && i < s.size() && (s[i] == QLatin1Char('-') || s[i] == QLatin1Char('+'))) {
        negative = s[i] == QLatin1Char('-');
        ++i;
    }
    if (i == s.size()) return std::nullopt;
    long long value = 0;
    *tooLarge = false;
    for (; i < s.size(); ++i) {
        const QChar c = s[i];
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) return std::nullopt;
        if (value > 100000000000LL)
            *tooLarge = true;
        else
            value = value * 10 + (c.unicode() - '0');
    }
    return negative ? -value : value;
}

void FailOn(QWidget* dialog, QLineEdit* edit, const QString& text) {
    CMessageBox::Show(dialog, text, QMessageBox::Warning);
    edit->setFocus();
    edit->selectAll();
}

}  // namespace

CByteLimitValidator::CByteLimitValidator(int limit, bool digitsOnly, QObject* parent)
    : QValidator(parent), m_nLimit(limit), m_bDigitsOnly(digitsOnly) {}

QValidator::State CByteLimitValidator::validate(QString& input, int&) const {
    if (m_bDigitsOnly) {
        for (QChar c : input)
            if (c < QLatin1Char('0') || c > QLatin1Char('9')) return Invalid;
    }
    return FromQ(input).size() <= static_cast<std::size_t>(m_nLimit) ? Acceptable : Invalid;
}

void LimitText(QLineEdit* edit, int bytes, bool digitsOnly) {
    const QValidator* old = edit->validator();
    edit->setValidator(new CByteLimitValidator(bytes, digitsOnly, edit));
    delete old;
}

QDialogButtonBox* MakeOkCancel(QDialog* dialog, const QString& okText, const QString& cancelText) {
    auto* buttons = new QDialogButtonBox(dialog);
    QPushButton* ok = buttons->addButton(okText, QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("OK"));
    ok->setDefault(true);
    QPushButton* cancel = buttons->addButton(cancelText, QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("Cancel"));
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    return buttons;
}

QString TooLongText(int limit) { return QStringLiteral("%1 文字以内で入力してください。").arg(limit); }

QString RangeText(long long minValue, long long maxValue) {
    return QStringLiteral("%1 から %2 までの整数を入力してください。").arg(minValue).arg(maxValue);
}

QString NotIntegerText() { return QStringLiteral("整数を入力してください。"); }

QString NotPositiveText() { return QStringLiteral("正の整数を入力してください。"); }

bool ExchangeText(QWidget* dialog, QLineEdit* edit, int limit, std::string& value) {
    std::string text = FromQ(edit->text());
    if (text.size() > static_cast<std::size_t>(limit)) {
        FailOn(dialog, edit, TooLongText(limit));
        return false;
    }
    value = std::move(text);
    return true;
}

namespace {

// A whole number of the edit within [minValue, maxValue]; a text that is no
// number of that kind shows `notNumber`.
std::optional<long long> ExchangeNumber(QWidget* dialog, QLineEdit* edit, bool allowSign, long long minValue,
                                        long long maxValue, const QString& notNumber) {
    bool tooLarge = false;
    const std::optional<long long> number = ParseNumber(edit->text(), allowSign, &tooLarge);
    if (!number) {
        FailOn(dialog, edit, notNumber);
        return std::nullopt;
    }
    if (tooLarge || *number < minValue || *number > maxValue) {
        FailOn(dialog, edit, RangeText(minValue, maxValue));
        return std::nullopt;
    }
    return number;
}

}  // namespace

bool ExchangeInt(QWidget* dialog, QLineEdit* edit, int minValue, int maxValue, int& value) {
    const auto number = ExchangeNumber(dialog, edit, true, minValue, maxValue, NotIntegerText());
    if (number) value = static_cast<int>(*number);
    return number.has_value();
}

bool ExchangeUInt(QWidget* dialog, QLineEdit* edit, unsigned minValue, unsigned maxValue, unsigned& value) {
    const auto number = ExchangeNumber(dialog, edit, false, minValue, maxValue, NotPositiveText());
    if (number) value = static_cast<unsigned>(*number);
    return number.has_value();
}

}  // namespace lv::app
