#pragma once
#include <windows.h>
#include <commctrl.h>

class CCatalogue;
class CWindowOperations;

// Builds the window's item tree from the catalogue's items block, and keeps
// the handles of the marked nodes and of the parent stack in the catalogue.
// False, with nothing inserted, when the text holds no "<items>".
bool ParseItems(CCatalogue& catalogue, CWindowOperations& window);

// Check-box behaviour of the item tree.
void CheckSubtree(HTREEITEM node);
void UncheckSubtree(HTREEITEM node);
void SelectAll();
void SelectNone();
void ShowSelectedItemInfo();
// A click on the check box of `node`, before the control toggles it.
void OnCheckBoxClick(HTREEITEM node);
// NM_CLICK from the tree: a click on a check box carries the new state down.
void OnTreeClick(const NMHDR* header);
