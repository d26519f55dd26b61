#include "ui/item_tree.h"

#include <vector>

#include "catalogue/catalogue.h"
#include "catalogue/items_scan.h"
#include "core/window_operations.h"

namespace {

// Selecting each node below in turn opens its parents and shows its
// description, a catalogue scan each: the square of the tree, for steps no
// one sees. Their end is made directly: every node below takes `below`,
// every group below opens. Returns the last node the walk would select,
// null when there is none. Its own stack: a deep tree cannot exhaust the
// window thread's.
HTREEITEM SetBelow(CWindowOperations& ui, HTREEITEM node, CheckMark below)
{
    std::vector<HTREEITEM> openGroups, groups;
    HTREEITEM last = nullptr;
    HTREEITEM current = ui.FirstChild(node);
    while (current || !openGroups.empty()) {
        if (!current) {
            current = ui.NextSibling(openGroups.back());
            openGroups.pop_back();
            continue;
        }
        ui.SetCheckState(current, below);
        last = current;
        if (HTREEITEM first = ui.FirstChild(current)) {
            openGroups.push_back(current);
            groups.push_back(current);
            current = first;
        } else {
            current = ui.NextSibling(current);
        }
    }
    // Deepest first: a group opens while its parent is still closed.
    for (auto group = groups.rbegin(); group != groups.rend(); ++group)
        ui.ExpandNode(*group);
    return last;
}

// Leaves `node` in the state opposite to its subtree, so that the control's
// own toggle after a click puts it in line. The node is closed while the
// groups below it open, which the control does without laying them out.
void SetSubtree(CWindowOperations& ui, HTREEITEM node, CheckMark below)
{
    ui.HoldTreePainting();
    ui.SetCheckState(node, below == checkChecked ? checkUnchecked : checkChecked);
    if (ui.FirstChild(node)) {
        ui.CollapseNode(node);
        ui.SelectNode(SetBelow(ui, node, below));
    }
    ui.ResumeTreePainting();
}

// Every top node ends closed in `state`. The walk ends on the last top node
// with anything below it: its last node selected, then the top closed over
// it, which moves the selection up in the control.
void SetWholeTree(CWindowOperations& ui, CheckMark state)
{
    ui.HoldTreePainting();
    HTREEITEM lastTop = nullptr, lastVisited = nullptr;
    for (HTREEITEM top = ui.FirstTopNode(); top; top = ui.NextSibling(top)) {
        ui.CollapseNode(top);
        if (HTREEITEM last = SetBelow(ui, top, state)) {
            lastTop = top;
            lastVisited = last;
        }
        ui.SetCheckState(top, state);
    }
    if (lastVisited) {
        ui.SelectNode(lastVisited);
        ui.CollapseNode(lastTop);
    }
    ui.ResumeTreePainting();
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

void CheckSubtree(CWindowOperations& ui, HTREEITEM node) { SetSubtree(ui, node, checkChecked); }
void UncheckSubtree(CWindowOperations& ui, HTREEITEM node) { SetSubtree(ui, node, checkUnchecked); }
void SelectAll(CWindowOperations& ui) { SetWholeTree(ui, checkChecked); }
void SelectNone(CWindowOperations& ui) { SetWholeTree(ui, checkUnchecked); }

void ShowSelectedItemInfo(CWindowOperations& ui, const CCatalogue& catalogue)
{
    HTREEITEM node = ui.SelectedNode();
    if (!node) {
        // An emptied tree has no name to look up.
        ui.SetInfoTexts("", "");
        return;
    }
    std::string name = ui.NodeText(node);
    ui.SetInfoTexts(name, catalogue.ItemDescription(name));
}

void OnCheckBoxClick(CWindowOperations& ui, HTREEITEM node)
{
    ui.SelectNode(node);
    if (ui.CheckState(node) == checkUnchecked)
        CheckSubtree(ui, node);
    else
        UncheckSubtree(ui, node);
}

void OnTreeClick(CWindowOperations& ui, const NMHDR* header)
{
    DWORD position = GetMessagePos();
    TVHITTESTINFO hit = {};
    hit.pt.x = static_cast<short>(LOWORD(position));
    hit.pt.y = static_cast<short>(HIWORD(position));
    MapWindowPoints(HWND_DESKTOP, header->hwndFrom, &hit.pt, 1);
    SendMessageA(header->hwndFrom, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
    if (hit.hItem && (hit.flags & TVHT_ONITEMSTATEICON))
        OnCheckBoxClick(ui, hit.hItem);
    // The control then toggles the clicked box itself.
}
