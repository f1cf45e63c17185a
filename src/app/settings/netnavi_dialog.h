#pragma once
// The recorder profile dialogs, both captioned "ﾈｯﾄdeﾅﾋﾞ設定": the list of the
// document's recorders with add, change and delete, and the editor of one
// profile, which saves it (and renames or overwrites files) on OK.
#include <QDialog>
#include <string>

#include "core/settings/netnavi_setting.h"
#include "core/shell/recorder_profiles.h"

class CRDTitleDoc;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QListWidget;
class QPushButton;

constexpr int NETNAVI_NAME_LIMIT = 15;
constexpr int NETNAVI_HOST_LIMIT = 63;
constexpr int NETNAVI_USER_LIMIT = 16;
constexpr int NETNAVI_PASSWORD_LIMIT = 16;
constexpr int NETNAVI_PORT_MIN = 0;
constexpr int NETNAVI_PORT_MAX = 10000;

class CNetNaviDialog : public QDialog {
    Q_OBJECT

public:
    // Profiles live in the program folder `appDir`.
    explicit CNetNaviDialog(const std::string& appDir, QWidget* parent = nullptr);

    // Empty for a new recorder, else the name of the one to change.
    void SetRecorderName(const std::string& name) { m_strName = name; }
    // The document's list that a new name goes into (written at once); not owned.
    void SetRecorderList(RECORDER_LIST* list) { m_pRecorderList = list; }

    CNetNaviSetting m_setting;
    std::string m_strModel;
    std::string m_strName;
    std::string m_strHost;
    int m_nPort = 80;
    int m_bAuth = 0;
    std::string m_strUser;
    std::string m_strPassword;
    RECORDER_LIST* m_pRecorderList = nullptr;

public slots:
    void accept() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void OnInitDialog();
    void OnSelchangeModel();
    void OnSecurity();
    bool OnOK();
    QWidget* FieldControl(PROFILE_FIELD field) const;
    bool UpdateData(bool saveAndValidate);
    void EnableAccount();

    std::string m_strAppDir;
    QComboBox* m_pModel;
    QLineEdit* m_pName;
    QLineEdit* m_pHost;
    QLineEdit* m_pPort;
    QCheckBox* m_pAuth;
    QLineEdit* m_pUser;
    QLineEdit* m_pPassword;
    bool m_bInitialized = false;
};

class CNetNaviListDialog : public QDialog {
    Q_OBJECT

public:
    explicit CNetNaviListDialog(const std::string& appDir, QWidget* parent = nullptr);

    int m_nSel = 0;
    CRDTitleDoc* m_pDoc = nullptr;

public slots:
    // Every way out (the close button, Esc, the window's close box) comes here.
    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void OnInitDialog();
    void OnAdd();
    void OnModify();
    void OnDelete();
    void ReadSel();
    void ShowSel();
    void FillList();
    // The document's names for a profile dialog; `index` is the entry it changes.
    RECORDER_LIST DocumentList(int index);

    std::string m_strAppDir;
    QListWidget* m_pList;
    QPushButton* m_pAdd;
    QPushButton* m_pModify;
    QPushButton* m_pDelete;
    QPushButton* m_pClose;
    bool m_bInitialized = false;
    bool m_bClosing = false;
};
