#include "app/settings/prop_page_proxy.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "app/dialogs/data_exchange.h"
#include "app/shell/qcodec.h"
#include "core/shell/app_settings.h"

using lv::app::FromQ;
using lv::app::ToQ;

void CPropertyPage::SetModified(bool modified) {
    if (m_bModified == modified) return;
    m_bModified = modified;
    emit modifiedChanged(modified);
}

// ---------------------------------------------------------------------------

CPropPageProxy::CPropPageProxy(CAppSettings& settings, QWidget* parent) : CPropertyPage(parent), m_settings(settings) {
    setObjectName(QStringLiteral("PropPageProxy"));
#ifdef _WIN32
    m_pUseIE = new QCheckBox(QStringLiteral("設定をIEから取得する(&I)"), this);
#else
    // No such browser here: the settings are the desktop's own.
    m_pUseIE = new QCheckBox(QStringLiteral("システムの設定を使用する(&I)"), this);
#endif
    m_pUseIE->setObjectName(QStringLiteral("UseIE"));
    m_pUseIE->setToolTip(QStringLiteral("手動でプロキシサーバーを設定する場合以外はチェックします。"));
    m_pEnable = new QCheckBox(QStringLiteral("ﾌﾟﾛｷｼｻｰﾊﾞｰを使う(&X)"), this);
    m_pEnable->setObjectName(QStringLiteral("UseProxy"));
    m_pEnable->setToolTip(QStringLiteral("プロキシサーバーを使用する場合はチェックします。"));
    m_pHost = new QLineEdit(this);
    m_pHost->setObjectName(QStringLiteral("ProxyHost"));
    m_pHost->setToolTip(QStringLiteral("プロキシサーバーのホスト名を入力します。"));
    m_pPort = new QLineEdit(this);
    m_pPort->setObjectName(QStringLiteral("ProxyPort"));
    m_pPort->setToolTip(QStringLiteral("プロキシサーバーのポート番号を入力します。"));
    m_pPort->setMaximumWidth(m_pPort->fontMetrics().horizontalAdvance(QStringLiteral("0")) * 10);

    auto* hostLabel = new QLabel(QStringLiteral("ｱﾄﾞﾚｽ(&A):"), this);
    hostLabel->setBuddy(m_pHost);
    auto* portLabel = new QLabel(QStringLiteral("ﾎﾟｰﾄ番号(&O):"), this);
    portLabel->setBuddy(m_pPort);

    auto* grid = new QGridLayout(this);
    grid->addWidget(m_pUseIE, 0, 0, 1, 3);
    grid->addWidget(m_pEnable, 1, 0, 1, 3);
    grid->addWidget(hostLabel, 2, 1);
    grid->addWidget(m_pHost, 2, 2);
    grid->addWidget(portLabel, 3, 1);
    grid->addWidget(m_pPort, 3, 2, Qt::AlignLeft);
    grid->setColumnMinimumWidth(0, 16);
    grid->setColumnStretch(2, 1);
    grid->setRowStretch(4, 1);

    OnInitDialog();
    connect(m_pUseIE, &QCheckBox::clicked, this, &CPropPageProxy::OnUseIE);
    connect(m_pEnable, &QCheckBox::clicked, this, &CPropPageProxy::OnUseProxy);
    connect(m_pHost, &QLineEdit::textEdited, this, [this] { SetModified(); });
    connect(m_pPort, &QLineEdit::textEdited, this, [this] { SetModified(); });
}

void CPropPageProxy::OnInitDialog() {
    m_bUseIE = m_settings.m_bProxyUseIE ? 1 : 0;
    m_bEnable = m_settings.m_bProxyEnable ? 1 : 0;
    m_strHost = m_settings.m_strProxyHost;
    m_nPort = static_cast<unsigned>(m_settings.m_nProxyPort);
    EnableControls();
    UpdateData(false);
}

// The proxy check box only when the system's settings are not used; the
// edits only when, in addition, a proxy is used. Disabled values stay.
void CPropPageProxy::EnableControls() {
    m_pEnable->setEnabled(m_bUseIE == 0);
    m_pHost->setEnabled(m_bUseIE == 0 && m_bEnable != 0);
    m_pPort->setEnabled(m_bUseIE == 0 && m_bEnable != 0);
}

bool CPropPageProxy::UpdateData(bool saveAndValidate) {
    if (!saveAndValidate) {
        m_pUseIE->setChecked(m_bUseIE != 0);
        m_pEnable->setChecked(m_bEnable != 0);
        lv::app::LimitText(m_pHost, PROXY_HOST_LIMIT);
        m_pHost->setText(ToQ(m_strHost));
        lv::app::LimitText(m_pPort, 10, true);
        m_pPort->setText(QString::number(m_nPort));
        return true;
    }
    m_bUseIE = m_pUseIE->isChecked() ? 1 : 0;
    m_bEnable = m_pEnable->isChecked() ? 1 : 0;
    if (!lv::app::ExchangeText(this, m_pHost, PROXY_HOST_LIMIT, m_strHost)) return false;
    return lv::app::ExchangeUInt(this, m_pPort, PROXY_PORT_MIN, PROXY_PORT_MAX, m_nPort);
}

// The two check boxes are read directly: only the check that was clicked
// matters for the enabling, and a half-typed port gives no message here.
void CPropPageProxy::OnUseIE() {
    m_bUseIE = m_pUseIE->isChecked() ? 1 : 0;
    m_bEnable = m_pEnable->isChecked() ? 1 : 0;
    EnableControls();
    SetModified();
}

void CPropPageProxy::OnUseProxy() {
    m_bUseIE = m_pUseIE->isChecked() ? 1 : 0;
    m_bEnable = m_pEnable->isChecked() ? 1 : 0;
    EnableControls();
    SetModified();
}

bool CPropPageProxy::OnApply() {
    if (!UpdateData(true)) return false;
    m_settings.m_bProxyUseIE = m_bUseIE;
    m_settings.m_bProxyEnable = m_bEnable;
    m_settings.m_strProxyHost = m_strHost;
    m_settings.m_nProxyPort = static_cast<int>(m_nPort);
    return true;
}

// ---------------------------------------------------------------------------

CPropertySheet::CPropertySheet(const QString& caption, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("PropertySheet"));
    setWindowTitle(caption);
    m_pTabs = new QTabWidget(this);
    m_pTabs->setObjectName(QStringLiteral("Pages"));
    QDialogButtonBox* buttons = lv::app::MakeOkCancel(this, QStringLiteral("OK"), QStringLiteral("キャンセル"));
    // No mnemonic: Alt+A belongs to the proxy page's address field.
    m_pApply = buttons->addButton(QStringLiteral("適用"), QDialogButtonBox::ApplyRole);
    m_pApply->setObjectName(QStringLiteral("Apply"));
    m_pApply->setEnabled(false);
    connect(m_pApply, &QPushButton::clicked, this, [this] { ApplyAll(); });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_pTabs, 1);
    layout->addWidget(buttons);
}

void CPropertySheet::AddPage(CPropertyPage* page, const QString& title) {
    m_pTabs->addTab(page, title);
    m_aPages.push_back(page);
    connect(page, &CPropertyPage::modifiedChanged, this, [this] {
        bool any = false;
        for (CPropertyPage* p : m_aPages) any = any || p->IsModified();
        m_pApply->setEnabled(any);
    });
}

// A page that refuses its values is shown, and nothing after it is applied.
bool CPropertySheet::ApplyAll() {
    for (CPropertyPage* page : m_aPages) {
        if (!page->OnApply()) {
            m_pTabs->setCurrentWidget(page);
            return false;
        }
        page->SetModified(false);
    }
    return true;
}

void CPropertySheet::accept() {
    if (ApplyAll()) QDialog::accept();
}
