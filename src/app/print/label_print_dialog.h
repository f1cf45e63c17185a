#pragma once
// Asks which case the inserts are for, and whether to print them or see
// them first.
#include <QDialog>

#include "core/views/disc_labels.h"

class QRadioButton;

class CLabelPrintDialog : public QDialog {
    Q_OBJECT

public:
    enum { Print = 1, Preview = 2 };  // exec()'s results besides Rejected

    CLabelPrintDialog(int discs, CASE_KIND kind, QWidget* parent = nullptr);
    CASE_KIND GetCase() const;

private:
    QRadioButton* m_pTall = nullptr;
    QRadioButton* m_pJewel = nullptr;
};
