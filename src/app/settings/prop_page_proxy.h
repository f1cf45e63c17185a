#pragma once
// The options sheet "オプション" and its page "ﾌﾟﾛｷｼ設定": how transfers reach
// the recorders (the system's proxy configuration, directly, or through a
// named proxy). The page edits the application's proxy fields.
#include <QDialog>
#include <QWidget>
#include <string>
#include <vector>

class CAppSettings;
class QCheckBox;
class QDialogButtonBox;
class QLineEdit;
class QPushButton;
class QTabWidget;

constexpr int PROXY_HOST_LIMIT = 63;
constexpr unsigned PROXY_PORT_MIN = 1;
constexpr unsigned PROXY_PORT_MAX = 65535;

// A page of the options sheet.
class CPropertyPage : public QWidget {
    Q_OBJECT

public:
    using QWidget::QWidget;
    // Reads the controls back and applies them; false keeps the sheet open.
    virtual bool OnApply() = 0;
    bool IsModified() const { return m_bModified; }
    void SetModified(bool modified = true);

signals:
    void modifiedChanged(bool modified);

private:
    bool m_bModified = false;
};

class CPropPageProxy : public CPropertyPage {
    Q_OBJECT

public:
    explicit CPropPageProxy(CAppSettings& settings, QWidget* parent = nullptr);

    int m_bUseIE = 0;
    int m_bEnable = 0;
    std::string m_strHost;
    unsigned m_nPort = 0;

    bool OnApply() override;

private:
    void OnInitDialog();
    void OnUseIE();
    void OnUseProxy();
    void EnableControls();
    bool UpdateData(bool saveAndValidate);

    CAppSettings& m_settings;
    QCheckBox* m_pUseIE;
    QCheckBox* m_pEnable;
    QLineEdit* m_pHost;
    QLineEdit* m_pPort;
};

// A modal sheet of pages with OK, Cancel and Apply; the pages belong to it.
class CPropertySheet : public QDialog {
    Q_OBJECT

public:
    explicit CPropertySheet(const QString& caption, QWidget* parent = nullptr);
    void AddPage(CPropertyPage* page, const QString& title);

public slots:
    void accept() override;

private:
    bool ApplyAll();

    QTabWidget* m_pTabs;
    QPushButton* m_pApply;
    std::vector<CPropertyPage*> m_aPages;
};
