#pragma once
#include <string>

// Tree nodes as the logic sees them, without Windows: the catalogue's text
// readers build natively too.

// The tree view's item handle, declared as commctrl.h declares it.
struct _TREEITEM;
typedef struct _TREEITEM* HTREEITEM;

// A tree node to insert in a batch: its parent is an earlier node of the
// batch (by index), or the root (-1).
struct NewTreeNode {
    int parent;
    std::string text;
};
