#include "app/views/tree_view.h"

#include <QHeaderView>

#include "app/shell/image_list.h"
#include "app/shell/qcodec.h"
#include "core/settings/models.h"
#include "core/shell/app_settings.h"
#include "core/text/cp932.h"
#include "core/text/messages.h"
#include "core/views/tree_nodes.h"

namespace {

constexpr int IMAGE_ROOT = 0;
constexpr int IMAGE_SEARCH = 1;
constexpr int IMAGE_HDD = 2;
constexpr int IMAGE_DVD = 3;
constexpr int IMAGE_DISC = 4;
// "検索結果" and "新着" come before the recorders.
constexpr int kFixedNodes = 2;

}  // namespace

CTreeNode::CTreeNode(std::string label, int image, const QIcon& icon) : m_strLabel(std::move(label)), m_nImage(image) {
    setText(0, lv::app::ToQ(m_strLabel));
    setIcon(0, icon);
}

CRDTreeView::CRDTreeView(const CAppSettings& settings, const CImageList& images, CRDTitleDoc& doc, QWidget* parent)
    : QTreeWidget(parent), m_settings(settings), m_images(images), m_doc(doc) {
    setObjectName(QStringLiteral("TreeView"));
    setHeaderHidden(true);
    setColumnCount(1);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setRootIsDecorated(true);
    setIconSize(QSize(16, 16));
    setUniformRowHeights(true);
    // Long disc labels are not elided: the tree scrolls sideways instead.
    header()->setStretchLastSection(false);
    header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setTextElideMode(Qt::ElideNone);
    m_hRoot = AddNode(invisibleRootItem(), "Librovista", IMAGE_ROOT);
    m_hSearchResults = AddNode(m_hRoot, lv::msg::SearchResults(), IMAGE_SEARCH);
    m_hNewTitles = AddNode(m_hRoot, lv::msg::NewTitles(), IMAGE_SEARCH);
    connect(this, &QTreeWidget::itemSelectionChanged, this, &CRDTreeView::OnSelChanged);
}

CTreeNode* CRDTreeView::AddNode(QTreeWidgetItem* parent, std::string label, int image) {
    auto* node = new CTreeNode(std::move(label), image, m_images.Image(image));
    parent->addChild(node);
    return node;
}

CTreeNode* CRDTreeView::AddNode(QTreeWidgetItem* parent, std::string label, int image, const CRDDiscInfo& record) {
    CTreeNode* node = AddNode(parent, std::move(label), image);
    node->m_bHasRecord = true;
    node->m_record = record;
    return node;
}

CTreeNode* CRDTreeView::GetSelectedNode() const {
    const QList<QTreeWidgetItem*> items = selectedItems();
    return items.isEmpty() ? nullptr : static_cast<CTreeNode*>(items.front());
}

std::vector<std::string> CRDTreeView::PathOf(const CTreeNode* node) const {
    std::vector<std::string> path;
    for (const QTreeWidgetItem* p = node; p && p != m_hRoot; p = p->parent())
        path.insert(path.begin(), std::string(LabelHead(static_cast<const CTreeNode*>(p)->m_strLabel)));
    return path;
}

void CRDTreeView::Rebuild() {
    // A selection inside a recorder's branch goes with the branch; it is
    // looked up again afterwards so that the list shows the reloaded data.
    CTreeNode* selected = GetSelectedNode();
    std::vector<std::string> path;
    if (selected && selected != m_hRoot && selected != m_hSearchResults && selected != m_hNewTitles)
        path = PathOf(selected);

    m_bRebuilding = true;
    if (!path.empty()) clearSelection();
    while (m_hRoot->childCount() > kFixedNodes) delete m_hRoot->takeChild(kFixedNodes);

    const int flags = m_settings.m_nDiscDisplay;
    const int recMode = m_settings.m_nRecMode;
    for (const auto& recorder : m_doc.GetRecorders()) {
        CTreeNode* rd = AddNode(m_hRoot, recorder->GetName(), GetModelImage(recorder->GetModel()),
                                MakeBlankRecord(NODE_MARKER_RECORDER));
        AddNode(rd, "HDD", IMAGE_HDD, MakeBlankRecord(NODE_MARKER_HDD));
        CTreeNode* dvd = AddNode(rd, "DVD", IMAGE_DVD, MakeBlankRecord(NODE_MARKER_DVD));
        for (const DISCNODE& disc : MakeDiscNodes(recorder->Discs(), flags, recMode))
            AddNode(dvd, disc.strLabel, IMAGE_DISC, *disc.pDisc);
    }
    m_hRoot->setExpanded(true);
    m_bRebuilding = false;

    if (!path.empty()) {
        if (!SelectPath(path)) setCurrentItem(m_hRoot);
    }
    // What is new changes with every download.
    if (selected == m_hNewTitles) OnSelChanged();
}

void CRDTreeView::UpdateDiscLabels() {
    const int flags = m_settings.m_nDiscDisplay;
    const int recMode = m_settings.m_nRecMode;
    std::vector<QTreeWidgetItem*> stack{m_hRoot};
    while (!stack.empty()) {
        auto* node = static_cast<CTreeNode*>(stack.back());
        stack.pop_back();
        for (int i = 0; i < node->childCount(); ++i) stack.push_back(node->child(i));
        if (node->m_bHasRecord && IsDiscRecord(node->m_record)) {
            node->m_strLabel = MakeDiscLabel(node->m_record, flags, recMode);
            node->setText(0, lv::app::ToQ(node->m_strLabel));
        }
    }
}

void CRDTreeView::SetSearchCondition(const SEARCHCONDITION& cond) {
    if (!m_pSearchCondition) m_pSearchCondition = std::make_unique<CSearchCondition>();
    m_pSearchCondition->SetCondition(cond);
}

void CRDTreeView::ShowSearchResults() {
    // Select "none" first so that a search always runs anew.
    if (GetSelectedNode() == m_hSearchResults) clearSelection();
    setCurrentItem(m_hSearchResults);
    if (GetSelectedNode() != m_hSearchResults) m_hSearchResults->setSelected(true);
}

bool CRDTreeView::SelectPath(const std::vector<std::string>& path) {
    std::size_t k = 0;
    if (path.empty() || path.front().empty()) return false;
    QTreeWidgetItem* current = m_hRoot->childCount() > kFixedNodes ? m_hRoot->child(kFixedNodes) : nullptr;
    while (current) {
        auto* node = static_cast<CTreeNode*>(current);
        QTreeWidgetItem* parent = current->parent();
        if (LabelHead(node->m_strLabel) == path[k]) {
            ++k;
            if (k == path.size() || path[k].empty()) {
                setCurrentItem(current);
                return true;
            }
            current = current->childCount() > 0 ? current->child(0) : nullptr;
        } else {
            const int index = parent->indexOfChild(current);
            current = index + 1 < parent->childCount() ? parent->child(index + 1) : nullptr;
        }
    }
    return false;
}

bool CRDTreeView::CanGoUp() const {
    const CTreeNode* node = GetSelectedNode();
    return node && node->parent() != nullptr;
}

void CRDTreeView::UpOneLevel() {
    if (CanGoUp()) setCurrentItem(GetSelectedNode()->parent());
}

void CRDTreeView::OnSelChanged() {
    if (m_bRebuilding) return;
    CTreeNode* node = GetSelectedNode();
    if (!node) return;

    auto* parent = static_cast<CTreeNode*>(node->parent());
    auto* grand = parent ? static_cast<CTreeNode*>(parent->parent()) : nullptr;
    std::optional<std::string_view> parentLabel, grandLabel;
    if (parent) parentLabel = parent->m_strLabel;
    if (grand) grandLabel = grand->m_strLabel;
    const TREE_NODE_KIND kind = ClassifyNode(node == m_hRoot, node == m_hSearchResults,
                                             node->m_bHasRecord ? &node->m_record : nullptr, node == m_hNewTitles);
    NODESELECTION selection =
        MakeNodeCondition(kind, node->m_strLabel, parentLabel, grandLabel, m_pSearchCondition.get());

    emit nodeSelected(selection.condition ? &*selection.condition : nullptr);
    m_doc.SetCurrentRecorder(selection.strRecorder);
    emit selectionHandled();
}
