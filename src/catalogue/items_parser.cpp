#include "catalogue/catalogue.h"
#include "catalogue/items_scan.h"
#include "core/application.h"
#include "core/window_operations.h"

// The nodes reach the tree in one batch; the stack and the marks become
// tree handles.
bool CCatalogue::ParseItems()
{
    parentStack.assign(1, nullptr);
    ItemsTree tree;
    if (!ScanItems(*this, tree))
        return false;
    std::vector<HTREEITEM> handles = theApp.ui->InsertNodes(tree.nodes);
    auto handleOf = [&](int index) {
        return index >= 0 && static_cast<size_t>(index) < handles.size() ? handles[index] : nullptr;
    };
    parentStack.clear();
    for (int index : tree.parents)
        parentStack.push_back(handleOf(index));
    for (int index : tree.marked)
        preChecked.push_back(handleOf(index));
    return true;
}
