#pragma once
#include <windows.h>
#include <commctrl.h>

class CCatalogue;
class CWindowOperations;

// Builds the window's item tree from the catalogue's items block, and keeps
// the handles of the marked nodes and of the parent stack in the catalogue.
// False, with nothing inserted, when the text holds no "<items>".
bool ParseItems(CCatalogue& catalogue, CWindowOperations& window);

// Check-box behaviour of the item tree. Each leaves the tree as selecting
// every node it reaches, one after the other, would leave it.
void CheckSubtree(CWindowOperations& ui, HTREEITEM node);
void UncheckSubtree(CWindowOperations& ui, HTREEITEM node);
void SelectAll(CWindowOperations& ui);
void SelectNone(CWindowOperations& ui);
// The selected node's name and its description in the catalogue.
void ShowSelectedItemInfo(CWindowOperations& ui, const CCatalogue& catalogue);
// A click on the check box of `node`, before the control toggles it.
void OnCheckBoxClick(CWindowOperations& ui, HTREEITEM node);
// NM_CLICK from the tree: a click on a check box carries the new state down.
void OnTreeClick(CWindowOperations& ui, const NMHDR* header);
