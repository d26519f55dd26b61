#include "ui/item_tree.h"

#include <vector>

#include "catalogue/catalogue.h"
#include "catalogue/items_scan.h"
#include "core/application.h"
#include "core/window_operations.h"

namespace {

constexpr int kUnchecked = 1;
constexpr int kChecked = 2;

// Gives every node below `node` the state `below` and leaves `node` itself
// in the opposite one, so that the control's own toggle after a click puts
// it in line with its subtree. Selecting each node opens its parent and
// moves the info texts along. The walk keeps its own stack, so a deep tree
// cannot exhaust the window thread's.
void SetSubtree(HTREEITEM node, int below)
{
    CWindowOperations& ui = *theApp.ui;
    ui.SetCheckState(node, below == kChecked ? kUnchecked : kChecked);
    std::vector<HTREEITEM> openGroups;
    HTREEITEM current = ui.FirstChild(node);
    while (current || !openGroups.empty()) {
        if (!current) {
            current = ui.NextSibling(openGroups.back());
            openGroups.pop_back();
            continue;
        }
        ui.SetCheckState(current, below);
        ui.SelectNode(current);
        if (HTREEITEM first = ui.FirstChild(current)) {
            openGroups.push_back(current);
            current = first;
        } else {
            current = ui.NextSibling(current);
        }
    }
}

void SetWholeTree(int state)
{
    CWindowOperations& ui = *theApp.ui;
    for (HTREEITEM top = ui.FirstTopNode(); top; top = ui.NextSibling(top)) {
        SetSubtree(top, state);
        ui.SetCheckState(top, state);
        ui.CollapseNode(top);
    }
}

}  // namespace

// The nodes reach the tree in one batch; the stack and the marks become
// tree handles.
bool ParseItems(CCatalogue& catalogue, CWindowOperations& window)
{
    catalogue.parentStack.assign(1, nullptr);
    ItemsTree tree;
    if (!ScanItems(catalogue, tree))
        return false;
    std::vector<HTREEITEM> handles = window.InsertNodes(tree.nodes);
    auto handleOf = [&](int index) {
        return index >= 0 && static_cast<size_t>(index) < handles.size() ? handles[index] : nullptr;
    };
    catalogue.parentStack.clear();
    for (int index : tree.parents)
        catalogue.parentStack.push_back(handleOf(index));
    for (int index : tree.marked)
        catalogue.preChecked.push_back(handleOf(index));
    return true;
}

void CheckSubtree(HTREEITEM node) { SetSubtree(node, kChecked); }
void UncheckSubtree(HTREEITEM node) { SetSubtree(node, kUnchecked); }
void SelectAll() { SetWholeTree(kChecked); }
void SelectNone() { SetWholeTree(kUnchecked); }

void ShowSelectedItemInfo()
{
    CWindowOperations& ui = *theApp.ui;
    HTREEITEM node = ui.SelectedNode();
    if (!node) {
        // An emptied tree has no name to look up.
        ui.SetInfoTexts("", "");
        return;
    }
    std::string name = ui.NodeText(node);
    ui.SetInfoTexts(name, theApp.catalogue->ItemDescription(name));
}

void OnCheckBoxClick(HTREEITEM node)
{
    theApp.ui->SelectNode(node);
    if (theApp.ui->CheckState(node) == kUnchecked)
        CheckSubtree(node);
    else
        UncheckSubtree(node);
}

void OnTreeClick(const NMHDR* header)
{
    DWORD position = GetMessagePos();
    TVHITTESTINFO hit = {};
    hit.pt.x = static_cast<short>(LOWORD(position));
    hit.pt.y = static_cast<short>(HIWORD(position));
    MapWindowPoints(HWND_DESKTOP, header->hwndFrom, &hit.pt, 1);
    SendMessageA(header->hwndFrom, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
    if (hit.hItem && (hit.flags & TVHT_ONITEMSTATEICON))
        OnCheckBoxClick(hit.hItem);
    // The control then toggles the clicked box itself.
}
