#pragma once
// What the library tree decides without its widget: the kind of a node, the
// condition a selected node stands for, and the label of a disc node.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/library/records.h"
#include "core/search/search_condition.h"

enum TREE_NODE_KIND {
    NODE_ROOT,
    NODE_SEARCH_RESULTS,
    NODE_NEW_TITLES,  // "新着": the new titles of every recorder
    NODE_NO_RECORD,
    NODE_RECORDER,
    NODE_HDD,
    NODE_DVD,
    NODE_DISC,
};

// Disc-number markers of the blank records of recorder, HDD and DVD nodes.
inline constexpr std::string_view NODE_MARKER_RECORDER = "RD";
inline constexpr std::string_view NODE_MARKER_HDD = "HDD";
inline constexpr std::string_view NODE_MARKER_DVD = "DVD";

// Flag word 0 and empty texts but for the marker in the disc-number field.
CRDDiscInfo MakeBlankRecord(std::string_view marker);

// Decided in this order: the root, the search-results node, the new-titles
// node, a node without record, a marker, and otherwise a disc.
TREE_NODE_KIND ClassifyNode(bool isRoot, bool isSearchResults, const CRDDiscInfo* record, bool isNewTitles = false);

// A record that the re-labelling pass treats as a disc (bit 1 or 2 of its flag word).
inline bool IsDiscRecord(const CRDDiscInfo& record) { return (record.m_nFlags & DISC_NODE_MASK) != 0; }

// A label up to its first single-byte space (all of it when it has none).
std::string_view LabelHead(std::string_view label);

// "disc number", then " [ time ]" with display bit 0 (the time for the
// recording mode, the plain time for a mode outside 0..4), then " name" with bit 1.
std::string MakeDiscLabel(const CRDDiscInfo& disc, int discDisplay, int recMode);

// A disc node under a recorder's "DVD" node.
struct DISCNODE {
    std::string strLabel;
    const CRDDiscInfo* pDisc;  // the recorder's disc, copied into the node
};

// The disc nodes of a recorder in sibling order: the hard disk's own entry
// ("HDD") left out, labels ascending in code page 932 order, discs with equal
// labels in the recorder's order.
std::vector<DISCNODE> MakeDiscNodes(const std::vector<CRDDiscInfo>& discs, int discDisplay, int recMode);

// What selecting a node sends to the list and makes the current recorder.
struct NODESELECTION {
    std::optional<CSearchCondition> condition;  // none empties the list
    std::string strRecorder;                    // empty outside a recorder's branch
};

// parent and grandparent are the labels of the node's parent and its parent,
// absent when the node has none. `stored` is the last search's condition.
NODESELECTION MakeNodeCondition(TREE_NODE_KIND kind, std::string_view label, std::optional<std::string_view> parent,
                                std::optional<std::string_view> grandparent, const CSearchCondition* stored);
