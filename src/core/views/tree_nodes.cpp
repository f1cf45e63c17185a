#include "core/views/tree_nodes.h"

#include <algorithm>

#include "core/text/cp932.h"

CRDDiscInfo MakeBlankRecord(std::string_view marker) {
    CRDDiscInfo record;
    record.m_strDiscNo = marker;
    return record;
}

TREE_NODE_KIND ClassifyNode(bool isRoot, bool isSearchResults, const CRDDiscInfo* record, bool isNewTitles) {
    if (isRoot) return NODE_ROOT;
    if (isSearchResults) return NODE_SEARCH_RESULTS;
    if (isNewTitles) return NODE_NEW_TITLES;
    if (!record) return NODE_NO_RECORD;
    if (record->m_strDiscNo == NODE_MARKER_RECORDER) return NODE_RECORDER;
    if (record->m_strDiscNo == NODE_MARKER_HDD) return NODE_HDD;
    if (record->m_strDiscNo == NODE_MARKER_DVD) return NODE_DVD;
    return NODE_DISC;
}

std::string_view LabelHead(std::string_view label) {
    // A space byte is never the second half of a double-byte character.
    return label.substr(0, label.find(' '));
}

std::string MakeDiscLabel(const CRDDiscInfo& disc, int discDisplay, int recMode) {
    std::string label = disc.m_strDiscNo;
    if (discDisplay & 1) label.append(" [ ").append(disc.GetRemaining(recMode)).append(" ]");
    if (discDisplay & 2) label.append(" ").append(disc.m_strLabel);
    return label;
}

std::vector<DISCNODE> MakeDiscNodes(const std::vector<CRDDiscInfo>& discs, int discDisplay, int recMode) {
    std::vector<DISCNODE> nodes;
    for (const CRDDiscInfo& disc : discs)
        if (disc.m_strDiscNo != NODE_MARKER_HDD) nodes.push_back({MakeDiscLabel(disc, discDisplay, recMode), &disc});
    std::stable_sort(nodes.begin(), nodes.end(), [](const DISCNODE& a, const DISCNODE& b) {
        return lv::text::Compare(a.strLabel, b.strLabel) < 0;
    });
    return nodes;
}

NODESELECTION MakeNodeCondition(TREE_NODE_KIND kind, std::string_view label, std::optional<std::string_view> parent,
                                std::optional<std::string_view> grandparent, const CSearchCondition* stored) {
    NODESELECTION sel;
    auto make = [&sel](int flags, std::string_view recorder, std::string_view disc) {
        CSearchCondition c;
        c.m_nFlags = flags;
        c.m_strRecorder = recorder;
        c.m_strDisc = disc;
        sel.condition = std::move(c);
        sel.strRecorder = recorder;
    };
    switch (kind) {
    case NODE_ROOT:
    case NODE_NO_RECORD: break;
    case NODE_SEARCH_RESULTS:
        if (stored) sel.condition = *stored;
        break;
    case NODE_NEW_TITLES:
        sel.condition.emplace();
        sel.condition->m_nFlags = SC_NEW_TITLES;
        break;
    case NODE_RECORDER: make(SC_RECORDER, label, {}); break;
    case NODE_HDD:
    case NODE_DVD:
        if (parent) make(SC_RECORDER | SC_DISC, *parent, label);
        break;
    case NODE_DISC:
        if (parent && grandparent) make(SC_RECORDER | SC_DISC, *grandparent, LabelHead(label));
        break;
    }
    return sel;
}
