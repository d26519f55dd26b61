#include "ui/item_tree.h"

#include "core/application.h"
#include "catalogue/catalogue.h"
#include "core/window_operations.h"

namespace {

constexpr int kUnchecked = 1;
constexpr int kChecked = 2;

// Gives every node below `node` the state `below` and leaves `node` itself
// in the opposite one, so that the control's own toggle after a click puts
// it in line with its subtree. Selecting each child opens its parent and
// moves the info texts along.
void SetSubtree(HTREEITEM node, int below)
{
    CWindowOperations& ui = *theApp.ui;
    ui.SetCheckState(node, below == kChecked ? kUnchecked : kChecked);
    for (HTREEITEM child = ui.FirstChild(node); child; child = ui.NextSibling(child)) {
        ui.SetCheckState(child, below);
        ui.SelectNode(child);
        if (ui.FirstChild(child)) {
            SetSubtree(child, below);
            ui.SetCheckState(child, below);
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
