#pragma once
// The library tree: root, search results, recorders with their hard disk,
// DVD and disc nodes. A selection becomes a search condition, sent to
// whoever shows the rows.
#include <QTreeWidget>
#include <memory>
#include <string>
#include <vector>

#include "core/library/records.h"
#include "core/library/title_doc.h"
#include "core/search/search_condition.h"

class CAppSettings;
class CImageList;

// A node owns a copy of its values, so it stays valid while the document reloads.
class CTreeNode : public QTreeWidgetItem {
public:
    CTreeNode(std::string label, int image, const QIcon& icon);
    std::string m_strLabel;  // code page 932
    int m_nImage;
    bool m_bHasRecord = false;
    CRDDiscInfo m_record;  // blank with a kind marker, or a disc's values
};

class CRDTreeView : public QTreeWidget {
    Q_OBJECT

public:
    CRDTreeView(const CAppSettings& settings, const CImageList& images, CRDTitleDoc& doc, QWidget* parent = nullptr);

    void UpdateDiscLabels();
    void SetSearchCondition(const SEARCHCONDITION& cond);
    void ShowSearchResults();
    // Selects the node found by walking label heads; false leaves the selection.
    bool SelectPath(const std::vector<std::string>& path);
    bool CanGoUp() const;
    void UpOneLevel();

    CTreeNode* GetSelectedNode() const;

public slots:
    // Builds the recorders' branches again from the reloaded document; a
    // selection inside a branch is looked up again.
    void Rebuild();

signals:
    // A node was chosen: the condition of its rows, null for a node without
    // any; valid only during the call.
    void nodeSelected(const CSearchCondition* condition);
    // The selection was handled: the list is filled and the current recorder set.
    void selectionHandled();

private slots:
    void OnSelChanged();

private:
    CTreeNode* AddNode(QTreeWidgetItem* parent, std::string label, int image);
    CTreeNode* AddNode(QTreeWidgetItem* parent, std::string label, int image, const CRDDiscInfo& record);
    std::vector<std::string> PathOf(const CTreeNode* node) const;

    const CAppSettings& m_settings;
    const CImageList& m_images;
    CRDTitleDoc& m_doc;
    CTreeNode* m_hRoot = nullptr;
    CTreeNode* m_hSearchResults = nullptr;
    CTreeNode* m_hNewTitles = nullptr;  // "新着": the titles the last downloads found new
    std::unique_ptr<CSearchCondition> m_pSearchCondition;
    bool m_bRebuilding = false;
};
