#pragma once
// The description view: the document's description text, read-only.
#include <QPlainTextEdit>

class CRDTitleDoc;

class CRDEditView : public QPlainTextEdit {
    Q_OBJECT

public:
    explicit CRDEditView(const CRDTitleDoc& doc, QWidget* parent = nullptr);

public slots:
    // Shows the document's description from its start.
    void Refresh();

private:
    const CRDTitleDoc& m_doc;
};
