#pragma once
// The description view: the document's description text, read-only.
#include <QPlainTextEdit>

#include "core/library/title_doc.h"

class CRDEditView : public QPlainTextEdit, public CDocView {
    Q_OBJECT

public:
    explicit CRDEditView(CRDTitleDoc& doc, QWidget* parent = nullptr);
    ~CRDEditView() override;

    void OnUpdate(CDocView* sender, long hint, void* object) override;
    // Shows the document's description from its start.
    void Refresh();

private:
    CRDTitleDoc& m_doc;
};
