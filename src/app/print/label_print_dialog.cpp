#include "app/print/label_print_dialog.h"

#include <QDialogButtonBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

CLabelPrintDialog::CLabelPrintDialog(int discs, CASE_KIND kind, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("LabelPrintDialog"));
    setWindowTitle(QStringLiteral("ﾃﾞｨｽｸﾗﾍﾞﾙの印刷"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("%1 枚のﾃﾞｨｽｸのﾗﾍﾞﾙを印刷します。").arg(discs), this));
    auto* group = new QGroupBox(QStringLiteral("ｹｰｽ"), this);
    auto* cases = new QVBoxLayout(group);
    m_pTall = new QRadioButton(QStringLiteral("DVDﾄｰﾙｹｰｽ 183×273mm 背表紙付き(&T)"), group);
    m_pTall->setObjectName(QStringLiteral("TallCase"));
    m_pJewel = new QRadioButton(QStringLiteral("ｽﾘﾑｼﾞｭｴﾙｹｰｽ 120×120mm(&J)"), group);
    m_pJewel->setObjectName(QStringLiteral("SlimJewelCase"));
    (kind == CASE_SLIM_JEWEL ? m_pJewel : m_pTall)->setChecked(true);
    cases->addWidget(m_pTall);
    cases->addWidget(m_pJewel);
    layout->addWidget(group);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* print = buttons->addButton(QStringLiteral("印刷(&P)..."), QDialogButtonBox::AcceptRole);
    print->setObjectName(QStringLiteral("PrintButton"));
    print->setDefault(true);
    QPushButton* preview = buttons->addButton(QStringLiteral("印刷ﾌﾟﾚﾋﾞｭｰ(&V)..."), QDialogButtonBox::ActionRole);
    preview->setObjectName(QStringLiteral("PreviewButton"));
    buttons->addButton(QStringLiteral("ｷｬﾝｾﾙ"), QDialogButtonBox::RejectRole);
    connect(print, &QPushButton::clicked, this, [this] { done(Print); });
    connect(preview, &QPushButton::clicked, this, [this] { done(Preview); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

CASE_KIND CLabelPrintDialog::GetCase() const { return m_pJewel->isChecked() ? CASE_SLIM_JEWEL : CASE_DVD_TALL; }
