#pragma once
#include <string>

// Tree nodes as the logic sees them, without Windows: the catalogue's text
// readers build natively too.

// The tree view's item handle, declared as commctrl.h declares it.
struct _TREEITEM;
typedef struct _TREEITEM* HTREEITEM;

// A node's check box, as the tree view's state image index: the numbers
// cross into the control and back. A node without a box, or no node, reads
// as 0.
enum CheckMark : int { checkUnchecked = 1, checkChecked = 2 };

// A tree node to insert in a batch: its parent is an earlier node of the
// batch (by index), or the root (-1).
struct NewTreeNode {
    int parent;
    std::string text;
};
