#include "app/views/tree_view.h"

#include <QHeaderView>

#include "app/shell/app.h"
#include "app/shell/qcodec.h"
#include "core/library/models.h"
#include "core/text/cp932.h"
#include "core/text/messages.h"

namespace {

constexpr int IMAGE_ROOT = 0;
constexpr int IMAGE_SEARCH = 1;
constexpr int IMAGE_HDD = 2;
constexpr int IMAGE_DVD = 3;
constexpr int IMAGE_DISC = 4;

std::string LabelHead(const std::string& label) {
    const std::size_t space = label.find(' ');
    return space == std::string::npos ? label : label.substr(0, space);
}

// Disc label: number, then " [ time ]" and/or " name" by the display flags.
std::string DiscLabel(const CRDDiscInfo& disc, int flags, int recMode) {
    std::string label = disc.m_strDiscNo;
    if (flags & 1) label += " [ " + disc.GetRemaining(recMode) + " ]";
    if (flags & 2) label += " " + disc.m_strLabel;
    return label;
}

}  // namespace

CTreeNode::CTreeNode(std::string label, int image, const QIcon& icon)
    : m_strLabel(std::move(label)), m_nImage(image) {
    setText(0, lv::app::ToQ(m_strLabel));
    setIcon(0, icon);
}

CRDTreeView::CRDTreeView(CLibrovistaApp& app, CRDTitleDoc& doc, QWidget* parent)
    : QTreeWidget(parent), m_app(app), m_doc(doc) {
    setObjectName(QStringLiteral("TreeView"));
    setHeaderHidden(true);
    setColumnCount(1);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setRootIsDecorated(true);
    setIconSize(QSize(16, 16));
    setUniformRowHeights(true);
    m_hRoot = AddNode(invisibleRootItem(), "Librovista", IMAGE_ROOT);
    m_hSearchResults = AddNode(m_hRoot, lv::msg::SearchResults(), IMAGE_SEARCH);
    connect(this, &QTreeWidget::itemSelectionChanged, this, &CRDTreeView::OnSelChanged);
    m_doc.AddView(this);
}

CRDTreeView::~CRDTreeView() { m_doc.RemoveView(this); }

CTreeNode* CRDTreeView::AddNode(QTreeWidgetItem* parent, std::string label, int image) {
    auto* node = new CTreeNode(std::move(label), image, m_app.Image(image));
    parent->addChild(node);
    return node;
}

CTreeNode* CRDTreeView::GetSelectedNode() const {
    const QList<QTreeWidgetItem*> items = selectedItems();
    return items.isEmpty() ? nullptr : static_cast<CTreeNode*>(items.front());
}

std::vector<std::string> CRDTreeView::PathOf(const CTreeNode* node) const {
    std::vector<std::string> path;
    for (const QTreeWidgetItem* p = node; p && p != m_hRoot; p = p->parent())
        path.insert(path.begin(), LabelHead(static_cast<const CTreeNode*>(p)->m_strLabel));
    return path;
}

void CRDTreeView::OnUpdate(CDocView*, long, void*) {
    // A selection inside a recorder's branch goes with the branch; it is
    // looked up again afterwards so that the list shows the reloaded data.
    CTreeNode* selected = GetSelectedNode();
    std::vector<std::string> path;
    if (selected && selected != m_hRoot && selected != m_hSearchResults) path = PathOf(selected);

    m_bRebuilding = true;
    if (!path.empty()) clearSelection();
    while (m_hRoot->childCount() > 1) delete m_hRoot->takeChild(1);

    const int flags = m_app.m_settings.m_nDiscDisplay;
    const int recMode = m_app.m_settings.m_nRecMode;
    for (const auto& recorder : m_doc.GetRecorders()) {
        CTreeNode* rd = AddNode(m_hRoot, recorder->GetName(), GetModelImage(recorder->GetModel()));
        rd->m_bHasRecord = true;
        rd->m_record.m_strDiscNo = "RD";
        CTreeNode* hdd = AddNode(rd, "HDD", IMAGE_HDD);
        hdd->m_bHasRecord = true;
        hdd->m_record.m_strDiscNo = "HDD";
        CTreeNode* dvd = AddNode(rd, "DVD", IMAGE_DVD);
        dvd->m_bHasRecord = true;
        dvd->m_record.m_strDiscNo = "DVD";
        for (const CRDDiscInfo& disc : recorder->Discs()) {
            if (disc.m_strDiscNo == "HDD") continue;
            auto* node = new CTreeNode(DiscLabel(disc, flags, recMode), IMAGE_DISC, m_app.Image(IMAGE_DISC));
            node->m_bHasRecord = true;
            node->m_record = disc;
            // Siblings in ascending code page 932 order of their labels.
            int pos = dvd->childCount();
            while (pos > 0 &&
                   lv::text::Compare(static_cast<CTreeNode*>(dvd->child(pos - 1))->m_strLabel, node->m_strLabel) > 0)
                --pos;
            dvd->insertChild(pos, node);
        }
    }
    m_hRoot->setExpanded(true);
    m_bRebuilding = false;

    if (!path.empty()) {
        if (!SelectPath(path)) setCurrentItem(m_hRoot);
    }
}

void CRDTreeView::UpdateDiscLabels() {
    const int flags = m_app.m_settings.m_nDiscDisplay;
    const int recMode = m_app.m_settings.m_nRecMode;
    std::vector<QTreeWidgetItem*> stack{m_hRoot};
    while (!stack.empty()) {
        auto* node = static_cast<CTreeNode*>(stack.back());
        stack.pop_back();
        for (int i = 0; i < node->childCount(); ++i) stack.push_back(node->child(i));
        if (node->m_bHasRecord && (node->m_record.m_nFlags & DISC_NODE_MASK)) {
            node->m_strLabel = DiscLabel(node->m_record, flags, recMode);
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
    QTreeWidgetItem* current = m_hRoot->childCount() > 1 ? m_hRoot->child(1) : nullptr;
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

    std::unique_ptr<CSearchCondition> made;
    const CSearchCondition* cond = nullptr;
    std::string recorder;
    if (node == m_hRoot) {
    } else if (node == m_hSearchResults) {
        cond = m_pSearchCondition.get();
    } else if (!node->m_bHasRecord) {
    } else if (node->m_record.m_strDiscNo == "RD") {
        recorder = node->m_strLabel;
        made = std::make_unique<CSearchCondition>();
        made->m_nFlags = SC_RECORDER;
        made->m_strRecorder = recorder;
    } else if (node->m_record.m_strDiscNo == "HDD" || node->m_record.m_strDiscNo == "DVD") {
        if (auto* parent = static_cast<CTreeNode*>(node->parent())) {
            recorder = parent->m_strLabel;
            made = std::make_unique<CSearchCondition>();
            made->m_nFlags = SC_RECORDER | SC_DISC;
            made->m_strRecorder = recorder;
            made->m_strDisc = node->m_strLabel;
        }
    } else {
        auto* parent = static_cast<CTreeNode*>(node->parent());
        auto* grand = parent ? static_cast<CTreeNode*>(parent->parent()) : nullptr;
        if (grand) {
            recorder = grand->m_strLabel;
            made = std::make_unique<CSearchCondition>();
            made->m_nFlags = SC_RECORDER | SC_DISC;
            made->m_strRecorder = recorder;
            made->m_strDisc = LabelHead(node->m_strLabel);
        }
    }
    if (made) cond = made.get();
    m_doc.UpdateAllViews(this, 1, const_cast<CSearchCondition*>(cond));
    m_doc.SetCurrentRecorder(recorder);
    emit selectionHandled();
}
