#pragma once
#include <vector>

#include "core/tree_node.h"

class CCatalogue;

// The item tree that the items block describes, before it reaches the
// window. Parents and marks are indices into `nodes`; -1 is the root.
struct ItemsTree {
    std::vector<NewTreeNode> nodes;  // a parent always before its children
    std::vector<int> parents;        // the parent stack when the block ends, root first
    std::vector<int> marked;         // nodes that start checked, in the order met
};

// Finds the first line with "<items>" and scans the block after it, logging
// as it goes. False, and an empty tree, when no line holds "<items>".
bool ScanItems(const CCatalogue& catalogue, ItemsTree& tree);
