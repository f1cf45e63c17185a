#pragma once
// A date with a "none" check box in front: unticked means no date, and the
// date field is then greyed but keeps its date.
#include <QDate>
#include <QWidget>

class QCheckBox;
class QDateEdit;

class CDatePicker : public QWidget {
    Q_OBJECT

public:
    explicit CDatePicker(QWidget* parent = nullptr);

    // An invalid date unticks the box and leaves the shown date.
    void SetDate(const QDate& date);
    // The date when ticked, else an invalid date.
    QDate GetDate() const;
    bool IsChecked() const;

    QCheckBox* CheckBox() const { return m_pCheck; }
    QDateEdit* DateEdit() const { return m_pEdit; }
    void SetToolTip(const QString& text);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QCheckBox* m_pCheck;
    QDateEdit* m_pEdit;
};
