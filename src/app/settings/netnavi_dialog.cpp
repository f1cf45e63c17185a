#include "app/settings/netnavi_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/dialogs/data_exchange.h"
#include "app/dialogs/message_box.h"
#include "app/shell/qcodec.h"
#include "core/library/title_doc.h"
#include "core/settings/models.h"
#include "core/shell/recorder_profiles.h"
#include "core/text/messages.h"

using lv::app::FromQ;
using lv::app::ToQ;

namespace {

QString Caption() { return QStringLiteral("ﾈｯﾄdeﾅﾋﾞ設定"); }

// Stop-icon report of a file error, when there is one to show.
void ShowFileError(QWidget* parent, const std::string& error) {
    if (!error.empty()) CMessageBox::Show(parent, ToQ(error), QMessageBox::Critical);
}

// A double quote, the name, then the text, which closes the quote.
QString Quoted(const std::string& name, const char* utf8Tail) {
    return QLatin1Char('"') + ToQ(name) + QString::fromUtf8(utf8Tail);
}

}  // namespace

// ---------------------------------------------------------------------------
// One profile

CNetNaviDialog::CNetNaviDialog(const std::string& appDir, QWidget* parent)
    : QDialog(parent), m_setting(appDir), m_strAppDir(appDir) {
    setObjectName(QStringLiteral("NetNaviDialog"));
    setWindowTitle(Caption());

    m_pModel = new QComboBox(this);
    m_pModel->setObjectName(QStringLiteral("Model"));
    for (const MODEL_ENTRY& model : g_aModels) m_pModel->addItem(QString::fromLatin1(model.pszName));
    m_pModel->setCurrentIndex(-1);
    m_pModel->setMaxVisibleItems(MODEL_COUNT);
    m_pModel->setToolTip(QStringLiteral("RD本体の機種名を選択します。"));

    auto edit = [this](const char* name, const char* tip) {
        auto* e = new QLineEdit(this);
        e->setObjectName(QString::fromLatin1(name));
        e->setToolTip(QString::fromUtf8(tip));
        return e;
    };
    m_pName = edit("Name", "RD本体の本体名を入力します。");
    m_pHost = edit("Host", "ﾈｯﾄdeﾅﾋﾞに本体名でｱｸｾｽできない環境の場合はIPｱﾄﾞﾚｽを入力します。");
    m_pPort = edit("Port", "RD本体のﾎﾟｰﾄ番号を入力します。通常は80です。");
    m_pAuth = new QCheckBox(QStringLiteral("本体ｾｷｭﾘﾃｨを使用する(&A)"), this);
    m_pAuth->setObjectName(QStringLiteral("Auth"));
    m_pAuth->setToolTip(QStringLiteral("RD本体のｾｷｭﾘﾃｨを使用している場合はﾁｪｯｸします。"));
    m_pUser = edit("User", "RD本体のｾｷｭﾘﾃｨを使用している場合はﾕｰｻﾞｰ名を入力します。");
    m_pPassword = edit("Password", "RD本体のｾｷｭﾘﾃｨを使用している場合はﾊﾟｽﾜｰﾄﾞを入力します。");
    m_pPassword->setEchoMode(QLineEdit::Password);
    m_pPort->setMaximumWidth(m_pPort->fontMetrics().horizontalAdvance(QStringLiteral("0")) * 10);
    m_pHost->setMinimumWidth(m_pHost->fontMetrics().horizontalAdvance(QStringLiteral("0")) * 24);

    auto* grid = new QGridLayout;
    int row = 0;
    auto addRow = [&](const char* label, QWidget* control) {
        auto* l = new QLabel(QString::fromUtf8(label), this);
        l->setBuddy(control);
        grid->addWidget(l, row, 0);
        grid->addWidget(control, row, 1);
        ++row;
    };
    addRow("機種名(&M):", m_pModel);
    addRow("本体名(&R):", m_pName);
    addRow("ﾎｽﾄ名(&H):", m_pHost);
    addRow("ﾎﾟｰﾄ番号(&P):", m_pPort);
    grid->addWidget(m_pAuth, row++, 0, 1, 2);
    addRow("ﾕｰｻﾞｰ名(&U):", m_pUser);
    addRow("ﾊﾟｽﾜｰﾄﾞ(&W):", m_pPassword);
    grid->setColumnStretch(1, 1);

    QDialogButtonBox* buttons = lv::app::MakeOkCancel(this, QStringLiteral("OK"), QStringLiteral("キャンセル"));

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(buttons);

    connect(m_pModel, &QComboBox::activated, this, &CNetNaviDialog::OnSelchangeModel);
    connect(m_pAuth, &QCheckBox::clicked, this, &CNetNaviDialog::OnSecurity);
}

void CNetNaviDialog::showEvent(QShowEvent* event) {
    if (!m_bInitialized) {
        m_bInitialized = true;
        OnInitDialog();
    }
    QDialog::showEvent(event);
}

void CNetNaviDialog::OnInitDialog() {
    PROFILE_FIELDS f;
    if (LoadProfileFields(m_setting, m_strName, f)) {
        m_strModel = f.strModel;
        m_strHost = f.strHost;
        m_nPort = f.nPort;
        m_bAuth = f.bAuth;
        m_strUser = f.strUser;
        m_strPassword = f.strPassword;
    }
    UpdateData(false);
    EnableAccount();
    m_pModel->setFocus();
    // A hand-edited port that no connection takes: the default shows in its place.
    if (m_setting.IsPortDefaulted()) {
        CMessageBox::Show(this, ToQ(lv::msg::PortDefaulted()), QMessageBox::Warning);
        m_pPort->setFocus();
    }
}

void CNetNaviDialog::EnableAccount() {
    m_pUser->setEnabled(m_bAuth != 0);
    m_pPassword->setEnabled(m_bAuth != 0);
}

bool CNetNaviDialog::UpdateData(bool saveAndValidate) {
    if (!saveAndValidate) {
        m_pModel->setCurrentIndex(m_pModel->findText(ToQ(m_strModel), Qt::MatchExactly | Qt::MatchCaseSensitive));
        lv::app::LimitText(m_pName, NETNAVI_NAME_LIMIT);
        m_pName->setText(ToQ(m_strName));
        lv::app::LimitText(m_pHost, NETNAVI_HOST_LIMIT);
        m_pHost->setText(ToQ(m_strHost));
        lv::app::LimitText(m_pPort, 5, true);
        m_pPort->setText(QString::number(m_nPort));
        m_pAuth->setChecked(m_bAuth != 0);
        lv::app::LimitText(m_pUser, NETNAVI_USER_LIMIT);
        m_pUser->setText(ToQ(m_strUser));
        lv::app::LimitText(m_pPassword, NETNAVI_PASSWORD_LIMIT);
        m_pPassword->setText(ToQ(m_strPassword));
        return true;
    }
    m_strModel = FromQ(m_pModel->currentText());
    if (!lv::app::ExchangeText(this, m_pName, NETNAVI_NAME_LIMIT, m_strName)) return false;
    if (!lv::app::ExchangeText(this, m_pHost, NETNAVI_HOST_LIMIT, m_strHost)) return false;
    if (!lv::app::ExchangeInt(this, m_pPort, NETNAVI_PORT_MIN, NETNAVI_PORT_MAX, m_nPort)) return false;
    m_bAuth = m_pAuth->isChecked() ? 1 : 0;
    if (!lv::app::ExchangeText(this, m_pUser, NETNAVI_USER_LIMIT, m_strUser)) return false;
    return lv::app::ExchangeText(this, m_pPassword, NETNAVI_PASSWORD_LIMIT, m_strPassword);
}

// Only the model, name and host take part: a half-typed port elsewhere is
// no reason for a message while the user picks a model.
void CNetNaviDialog::OnSelchangeModel() {
    const std::string previous = m_strModel;
    m_strModel = FromQ(m_pModel->currentText());
    m_strName = FromQ(m_pName->text());
    m_strHost = FromQ(m_pHost->text());
    if (m_strName.empty() || m_strName == previous) {
        m_strName = m_strModel;
        m_pName->setText(ToQ(m_strName));
    }
    if (m_strHost.empty() || m_strHost == previous) {
        m_strHost = m_strModel;
        m_pHost->setText(ToQ(m_strHost));
    }
}

void CNetNaviDialog::OnSecurity() {
    m_bAuth = m_pAuth->isChecked() ? 1 : 0;
    EnableAccount();
}

void CNetNaviDialog::accept() {
    if (OnOK()) QDialog::accept();
}

bool CNetNaviDialog::OnOK() {
    if (!UpdateData(true)) return false;
    const PROFILE_FIELDS fields{m_strModel, m_strHost, m_nPort, m_bAuth, m_strUser, m_strPassword};
    auto confirm = [this](const std::string& name) {
        const QString ask = Quoted(name, "\"は既に存在します。\n新しい設定を上書きしますか？");
        return CMessageBox::Show(this, ask, QMessageBox::Question, QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
    };
    const PROFILE_RESULT result = SaveProfile(m_setting, fields, m_strName, confirm, m_pRecorderList);
    switch (result.nStep) {
    case PROFILE_DONE: return true;
    case PROFILE_REFUSED:
        CMessageBox::Show(this, ToQ(result.strMessage), QMessageBox::Warning);
        FieldControl(result.nField)->setFocus();
        return false;
    case PROFILE_DECLINED: return false;
    case PROFILE_SAVE_FAILED:
        // A failed save reports only that; the list still takes the name.
        CMessageBox::Show(this, ToQ(result.strMessage), QMessageBox::Critical);
        return true;
    default:
        // A failed overwrite stays, nothing renamed; a failed rename ends the dialog.
        ShowFileError(this, result.strFileError);
        if (!result.strMessage.empty()) CMessageBox::Show(this, ToQ(result.strMessage), QMessageBox::Critical);
        return result.nStep != PROFILE_OVERWRITE_FAILED;
    }
}

QWidget* CNetNaviDialog::FieldControl(PROFILE_FIELD field) const {
    switch (field) {
    case PF_MODEL: return m_pModel;
    case PF_HOST: return m_pHost;
    case PF_PORT: return m_pPort;
    case PF_AUTH: return m_pAuth;
    case PF_USER: return m_pUser;
    case PF_PASSWORD: return m_pPassword;
    default: return m_pName;
    }
}

// ---------------------------------------------------------------------------
// The list of recorders

CNetNaviListDialog::CNetNaviListDialog(const std::string& appDir, QWidget* parent)
    : QDialog(parent), m_strAppDir(appDir) {
    setObjectName(QStringLiteral("NetNaviListDialog"));
    setWindowTitle(Caption());

    m_pList = new QListWidget(this);
    m_pList->setObjectName(QStringLiteral("RecorderList"));
    m_pList->setSelectionMode(QAbstractItemView::SingleSelection);
    m_pList->setSortingEnabled(false);
    m_pAdd = new QPushButton(QStringLiteral("追加(&A)"), this);
    m_pAdd->setObjectName(QStringLiteral("Add"));
    m_pModify = new QPushButton(QStringLiteral("変更(&M)"), this);
    m_pModify->setObjectName(QStringLiteral("Modify"));
    m_pDelete = new QPushButton(QStringLiteral("削除(&D)"), this);
    m_pDelete->setObjectName(QStringLiteral("Delete"));
    m_pClose = new QPushButton(QStringLiteral("閉じる"), this);
    m_pClose->setObjectName(QStringLiteral("Close"));
    m_pClose->setDefault(true);
    for (QPushButton* b : {m_pAdd, m_pModify, m_pDelete}) b->setAutoDefault(false);

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(m_pAdd);
    buttons->addWidget(m_pModify);
    buttons->addWidget(m_pDelete);
    buttons->addStretch(1);
    buttons->addWidget(m_pClose);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(m_pList, 1);
    layout->addLayout(buttons);
    resize(360, 220);

    connect(m_pAdd, &QPushButton::clicked, this, &CNetNaviListDialog::OnAdd);
    connect(m_pModify, &QPushButton::clicked, this, &CNetNaviListDialog::OnModify);
    connect(m_pList, &QListWidget::itemDoubleClicked, this, &CNetNaviListDialog::OnModify);
    connect(m_pDelete, &QPushButton::clicked, this, &CNetNaviListDialog::OnDelete);
    connect(m_pClose, &QPushButton::clicked, this, &QDialog::accept);
}

void CNetNaviListDialog::showEvent(QShowEvent* event) {
    if (!m_bInitialized) {
        m_bInitialized = true;
        OnInitDialog();
    }
    QDialog::showEvent(event);
}

void CNetNaviListDialog::OnInitDialog() {
    FillList();
    ShowSel();
    m_pList->setCurrentRow(-1);
    if (m_pList->count() == 0) {
        // They stay off until the next opening, even after an add.
        m_pModify->setEnabled(false);
        m_pDelete->setEnabled(false);
    } else {
        m_nSel = 0;  // not shown: at first nothing is selected
    }
}

void CNetNaviListDialog::FillList() {
    m_pList->clear();
    if (!m_pDoc) return;
    for (const std::string& name : m_pDoc->GetRecorderNames()) m_pList->addItem(ToQ(name));
}

void CNetNaviListDialog::ReadSel() {
    const QList<QListWidgetItem*> selected = m_pList->selectedItems();
    m_nSel = selected.isEmpty() ? -1 : m_pList->row(selected.front());
}

void CNetNaviListDialog::ShowSel() {
    if (m_nSel >= 0 && m_nSel < m_pList->count()) {
        m_pList->setCurrentRow(m_nSel, QItemSelectionModel::ClearAndSelect);
    } else {
        m_pList->clearSelection();
    }
}

RECORDER_LIST CNetNaviListDialog::DocumentList(int index) {
    CRDTitleDoc* doc = m_pDoc;
    if (!doc) return {};
    return {&doc->GetRecorderNames(), index, [doc] { return doc->OnSaveDocument(doc->GetPathName()); }};
}

void CNetNaviListDialog::OnAdd() {
    ReadSel();
    CNetNaviDialog dialog(m_strAppDir, this);
    dialog.SetRecorderName(std::string());
    if (!m_pDoc) return;
    RECORDER_LIST list = DocumentList(-1);
    dialog.SetRecorderList(&list);
    // The entry and the document file followed the save; the views follow at
    // closing (also for a listed name, whose files were overwritten).
    if (dialog.exec() == QDialog::Accepted) {
        m_pDoc->SetModifiedFlag();
        FillList();
    }
    ShowSel();
}

void CNetNaviListDialog::OnModify() {
    ReadSel();
    if (m_nSel < 0 || !m_pDoc) return;
    std::vector<std::string>& names = m_pDoc->GetRecorderNames();
    if (m_nSel >= static_cast<int>(names.size())) return;
    CNetNaviDialog dialog(m_strAppDir, this);
    dialog.SetRecorderName(names[static_cast<std::size_t>(m_nSel)]);
    const std::vector<std::string> before = names;
    RECORDER_LIST list = DocumentList(m_nSel);
    dialog.SetRecorderList(&list);
    if (dialog.exec() != QDialog::Accepted) {
        ShowSel();
        return;
    }
    // The renamed entry stays where it was and keeps the selection.
    m_nSel = list.nIndex;
    if (names != before) {
        m_pDoc->SetModifiedFlag();
        FillList();
    }
    ShowSel();
}

void CNetNaviListDialog::OnDelete() {
    ReadSel();
    if (m_nSel < 0 || !m_pDoc) return;
    std::vector<std::string>& names = m_pDoc->GetRecorderNames();
    if (m_nSel >= static_cast<int>(names.size())) return;
    const QString ask = Quoted(names[static_cast<std::size_t>(m_nSel)], "\"を削除します。\nよろしいですか？");
    if (CMessageBox::Show(this, ask, QMessageBox::Question, QMessageBox::Yes | QMessageBox::No, QMessageBox::No) !=
        QMessageBox::Yes) {
        ShowSel();
        return;
    }
    // A refused name fails quietly: it has no files to report on.
    const PROFILE_RESULT result = DeleteRecorder(m_strAppDir, names, m_nSel);
    if (result.Ok()) {
        m_pDoc->SetModifiedFlag();
        FillList();
    } else {
        ShowFileError(this, result.strFileError);
    }
    ShowSel();
}

void CNetNaviListDialog::done(int result) {
    if (!m_bClosing && m_pDoc && m_pDoc->IsModified()) {
        m_bClosing = true;
        const std::string path = m_pDoc->GetPathName();
        if (m_pDoc->OnSaveDocument(path)) {
            m_pDoc->ReloadFromOwnPath();
            m_pDoc->UpdateAllViews(nullptr, 0, nullptr);
        } else {
            // Reloading now would drop the change from the list; keep it for the next save.
            CMessageBox::Show(this,
                              QStringLiteral("文書ファイル %1 を保存できません。").arg(QFile::decodeName(path.c_str())),
                              QMessageBox::Critical);
        }
    }
    m_bClosing = true;
    QDialog::done(result);
}
