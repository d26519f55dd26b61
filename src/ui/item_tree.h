#pragma once
#include <windows.h>
#include <commctrl.h>

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
