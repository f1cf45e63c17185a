#pragma once
// Moving values between a dialog's controls and its fields: edit limits in
// code page 932 bytes, and the read-back checks with their messages. A failed
// check has shown its message and put the focus on the control.
#include <QValidator>
#include <string>

class QDialog;
class QDialogButtonBox;
class QLineEdit;
class QWidget;

namespace lv::app {

// Refuses typed text longer than a number of code page 932 bytes, and with
// `digitsOnly` anything but the digits 0-9. Text set by the program is not
// checked, so a longer value stays visible until it is read back.
class CByteLimitValidator : public QValidator {
public:
    CByteLimitValidator(int limit, bool digitsOnly, QObject* parent);
    State validate(QString& input, int& pos) const override;

private:
    int m_nLimit;
    bool m_bDigitsOnly;
};

// Sets the edit's limit (replacing any validator it had).
void LimitText(QLineEdit* edit, int bytes, bool digitsOnly = false);

// The edit's text as code page 932; longer than `limit` bytes fails with
// "%1 文字以内で入力してください。".
bool ExchangeText(QWidget* dialog, QLineEdit* edit, int limit, std::string& value);
// A signed decimal; not a number: "整数を入力してください。", outside the range:
// "%1 から %2 までの整数を入力してください。".
bool ExchangeInt(QWidget* dialog, QLineEdit* edit, int minValue, int maxValue, int& value);
// An unsigned decimal; not one: "正の整数を入力してください。", outside the range as above.
bool ExchangeUInt(QWidget* dialog, QLineEdit* edit, unsigned minValue, unsigned maxValue, unsigned& value);

// The dialog's button row: a default button named "OK" that accepts and one
// named "Cancel" that rejects, with the given captions.
QDialogButtonBox* MakeOkCancel(QDialog* dialog, const QString& okText, const QString& cancelText);

QString TooLongText(int limit);
QString RangeText(long long minValue, long long maxValue);
QString NotIntegerText();
QString NotPositiveText();

}  // namespace lv::app
