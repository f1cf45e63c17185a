#include "app/search/search_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

#include "app/dialogs/data_exchange.h"
#include "app/dialogs/message_box.h"
#include "app/search/date_picker.h"
#include "app/search/keyword_combo.h"
#include "app/shell/image_list.h"
#include "app/shell/qcodec.h"
#include "core/library/title_doc.h"
#include "core/search/condition_fields.h"
#include "core/search/genres.h"

using lv::app::FromQ;
using lv::app::ToQ;

namespace {

constexpr int kGenreIndentRole = Qt::UserRole + 1;
constexpr int kIndentWidth = 12;

// Sub-genres are drawn indented under their main genre.
class CIndentDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QStyleOptionViewItem indented(option);
        indented.rect.adjust(Indent(index), 0, 0, 0);
        QStyledItemDelegate::paint(painter, indented, index);
    }
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        return QStyledItemDelegate::sizeHint(option, index) + QSize(Indent(index), 0);
    }

private:
    static int Indent(const QModelIndex& index) { return index.data(kGenreIndentRole).toInt() * kIndentWidth; }
};

void SelectByText(QComboBox* box, const std::string& text) {
    std::vector<std::string> items;
    items.reserve(static_cast<std::size_t>(box->count()));
    for (int i = 0; i < box->count(); ++i) items.push_back(FromQ(box->itemText(i)));
    box->setCurrentIndex(ChooseItemByText(items, text));
}

QDate ParseDate(const std::string& text) {
    int year = 0, month = 0, day = 0;
    if (text.empty() || !ScanConditionDate(text, year, month, day)) return {};
    return QDate(year, month, day);
}

std::string FormatDate(const CDatePicker* picker) {
    if (!picker->IsChecked()) return {};
    const QDate date = picker->GetDate();
    return FormatConditionDate(date.year(), date.month(), date.day());
}

QLabel* Label(const QString& text, QWidget* buddy, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setBuddy(buddy);
    return label;
}

}  // namespace

CSearchDialog::CSearchDialog(const std::string& appDir, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("SearchDialog"));
    setWindowTitle(QStringLiteral("条件検索"));
    CreateInputs(appDir);
    QDialogButtonBox* buttons = lv::app::MakeOkCancel(this, QStringLiteral("検索"), QStringLiteral("ｷｬﾝｾﾙ"));
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(LayOutInputs());
    layout->addWidget(buttons);
    SetTabOrder(*buttons);
}

void CSearchDialog::CreateInputs(const std::string& appDir) {
    m_pSearchBox = new CKeywordComboBox(this);
    m_pSearchBox->setObjectName(QStringLiteral("SearchText"));
    m_pSearchBox->SetHistoryFolder(appDir);
    m_pSearchBox->LimitText(SEARCH_TEXT_LIMIT);
    m_pSearchBox->setMinimumContentsLength(28);
    m_pSearchBox->setToolTip(QStringLiteral("指定した文字列を含むタイトル名を検索します。"));

    m_pRecorderBox = new QComboBox(this);
    m_pRecorderBox->setObjectName(QStringLiteral("Recorder"));
    m_pRecorderBox->setToolTip(QStringLiteral("指定した本体名で絞り込みます。"));

    m_pDiscBox = new QComboBox(this);
    m_pDiscBox->setObjectName(QStringLiteral("Disc"));
    m_pDiscBox->addItems({QString(), QStringLiteral("HDD"), QStringLiteral("DVD")});
    m_pDiscBox->setToolTip(QStringLiteral("HDDかDVDで絞り込みます。"));

    m_pGenreBox = new QComboBox(this);
    m_pGenreBox->setObjectName(QStringLiteral("Genre"));
    m_pGenreBox->setItemDelegate(new CIndentDelegate(m_pGenreBox));
    m_pGenreBox->setIconSize(QSize(16, 16));
    m_pGenreBox->setMaxVisibleItems(20);
    m_pGenreBox->setToolTip(QStringLiteral("指定したジャンルで絞り込みます。"));

    m_pDateFrom = new CDatePicker(this);
    m_pDateFrom->setObjectName(QStringLiteral("DateFrom"));
    m_pDateFrom->SetToolTip(QStringLiteral("指定した録画年月日の期間（開始）で絞り込みます。"));
    m_pDateTo = new CDatePicker(this);
    m_pDateTo->setObjectName(QStringLiteral("DateTo"));
    m_pDateTo->SetToolTip(QStringLiteral("指定した録画年月日の期間（終了）で絞り込みます。"));
}

// Each input on its own row behind its label; the two dates share the last.
QGridLayout* CSearchDialog::LayOutInputs() {
    auto* grid = new QGridLayout;
    grid->addWidget(Label(QStringLiteral("検索文字列(&S):"), m_pSearchBox, this), 0, 0);
    grid->addWidget(m_pSearchBox, 0, 1, 1, 3);
    grid->addWidget(Label(QStringLiteral("本体名(&N):"), m_pRecorderBox, this), 1, 0);
    grid->addWidget(m_pRecorderBox, 1, 1, 1, 3);
    grid->addWidget(Label(QStringLiteral("HDD/DVD(&H):"), m_pDiscBox, this), 2, 0);
    grid->addWidget(m_pDiscBox, 2, 1, 1, 3);
    grid->addWidget(Label(QStringLiteral("ジャンル(&G):"), m_pGenreBox, this), 3, 0);
    grid->addWidget(m_pGenreBox, 3, 1, 1, 3);
    grid->addWidget(Label(QStringLiteral("録画年月日(&D):"), m_pDateFrom, this), 4, 0);
    grid->addWidget(m_pDateFrom, 4, 1);
    grid->addWidget(new QLabel(QStringLiteral("～"), this), 4, 2, Qt::AlignCenter);
    grid->addWidget(m_pDateTo, 4, 3);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    return grid;
}

// Top to bottom, a date's tick before its field, then the buttons.
void CSearchDialog::SetTabOrder(const QDialogButtonBox& buttons) {
    QPushButton* ok = buttons.findChild<QPushButton*>(QStringLiteral("OK"));
    QPushButton* cancel = buttons.findChild<QPushButton*>(QStringLiteral("Cancel"));
    setTabOrder(m_pSearchBox, m_pRecorderBox);
    setTabOrder(m_pRecorderBox, m_pDiscBox);
    setTabOrder(m_pDiscBox, m_pGenreBox);
    setTabOrder(m_pGenreBox, m_pDateFrom->CheckBox());
    setTabOrder(m_pDateFrom->CheckBox(), m_pDateFrom->DateEdit());
    setTabOrder(m_pDateFrom->DateEdit(), m_pDateTo->CheckBox());
    setTabOrder(m_pDateTo->CheckBox(), m_pDateTo->DateEdit());
    setTabOrder(m_pDateTo->DateEdit(), ok);
    setTabOrder(ok, cancel);
}

void CSearchDialog::showEvent(QShowEvent* event) {
    if (!m_bInitialized) {
        m_bInitialized = true;
        OnInitDialog();
    }
    QDialog::showEvent(event);
}

void CSearchDialog::OnInitDialog() {
    m_pSearchBox->LoadHistory();

    if (m_pDoc)
        for (const std::string& name : m_pDoc->GetRecorderNames()) m_pRecorderBox->addItem(ToQ(name));
    m_pRecorderBox->insertItem(0, QString());

    m_pGenreBox->addItem(QString(), 0);
    for (const GENRE_ENTRY& genre : g_aGenres) {
        const QIcon icon = m_pImageList ? m_pImageList->Image(GetGenreImage(genre.nCode)) : QIcon();
        m_pGenreBox->addItem(icon, ToQ(genre.pszName), genre.nCode);
        m_pGenreBox->setItemData(m_pGenreBox->count() - 1, IsMainGenre(genre.nCode) ? 0 : 1, kGenreIndentRole);
    }

    const CONDITION_FIELDS f = m_pCondition ? FieldsOf(*m_pCondition) : CONDITION_FIELDS{};
    m_strText = f.strText;
    m_strRecorder = f.strRecorder;
    m_strDisc = f.strDisc;
    // Item 0, the empty one, carries no code: an unlisted code shows no genre.
    m_nGenreIndex = f.nGenre != 0 ? std::max(0, m_pGenreBox->findData(f.nGenre)) : 0;
    const QDate from = ParseDate(f.strDateFrom), to = ParseDate(f.strDateTo);

    m_pSearchBox->setCurrentIndex(-1);
    m_pSearchBox->setEditText(ToQ(m_strText));
    SelectByText(m_pRecorderBox, m_strRecorder);
    SelectByText(m_pDiscBox, m_strDisc);
    m_pGenreBox->setCurrentIndex(m_nGenreIndex);
    m_pDateFrom->SetDate(from);
    m_pDateTo->SetDate(to);
    m_pSearchBox->setFocus();
}

void CSearchDialog::accept() {
    if (OnOK()) QDialog::accept();
}

bool CSearchDialog::OnOK() {
    const std::string text = m_pSearchBox->GetText();
    if (text.size() > static_cast<std::size_t>(SEARCH_TEXT_LIMIT)) {
        CMessageBox::Show(this, lv::app::TooLongText(SEARCH_TEXT_LIMIT), QMessageBox::Warning);
        m_pSearchBox->setFocus();
        return false;
    }
    m_strText = text;
    m_strRecorder = FromQ(m_pRecorderBox->currentText());
    m_strDisc = FromQ(m_pDiscBox->currentText());
    m_nGenreIndex = std::max(0, m_pGenreBox->currentIndex());

    if (!m_strText.empty()) {
        m_pSearchBox->AddKeyword(m_strText);
        m_pSearchBox->setCurrentIndex(std::max(0, m_pSearchBox->FindStringPrefix(0, m_strText)));
        m_pSearchBox->SaveHistory();
    }
    CONDITION_FIELDS f;
    f.strText = m_strText;
    f.strRecorder = m_strRecorder;
    f.strDisc = m_strDisc;
    f.nGenre = m_nGenreIndex > 0 ? m_pGenreBox->itemData(m_nGenreIndex).toInt() : 0;
    f.strDateFrom = FormatDate(m_pDateFrom);
    f.strDateTo = FormatDate(m_pDateTo);
    const CSearchCondition cond = MakeCondition(f);
    if (m_pCondition) {
        SEARCHCONDITION flat;
        cond.GetCondition(flat);
        m_pCondition->SetCondition(flat);
    }
    return true;
}
