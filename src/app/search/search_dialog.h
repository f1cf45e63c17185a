#pragma once
// The condition-search dialog "条件検索": title text, recorder, hard disk or
// DVD, genre and a range of recording dates, combined into one condition.
#include <QDialog>
#include <string>

#include "core/search/search_condition.h"

class CKeywordComboBox;
class CDatePicker;
class CImageList;
class CRDTitleDoc;
class QComboBox;
class QDialogButtonBox;
class QGridLayout;

constexpr int SEARCH_TEXT_LIMIT = 64;  // bytes of code page 932

class CSearchDialog : public QDialog {
    Q_OBJECT

public:
    // The keyword history is the one of the program folder `appDir`.
    explicit CSearchDialog(const std::string& appDir, QWidget* parent = nullptr);

    std::string m_strText;
    std::string m_strRecorder;
    int m_nGenreIndex = 0;
    CSearchCondition* m_pCondition = nullptr;  // starts from it, writes it on OK
    std::string m_strDisc;
    CRDTitleDoc* m_pDoc = nullptr;
    const CImageList* m_pImageList = nullptr;  // the shared images, for the genres

public slots:
    void accept() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void CreateInputs(const std::string& appDir);
    QGridLayout* LayOutInputs();
    void SetTabOrder(const QDialogButtonBox& buttons);
    void OnInitDialog();
    bool OnOK();

    CKeywordComboBox* m_pSearchBox;
    QComboBox* m_pGenreBox;
    QComboBox* m_pRecorderBox;
    QComboBox* m_pDiscBox;
    CDatePicker* m_pDateFrom;
    CDatePicker* m_pDateTo;
    bool m_bInitialized = false;
};
