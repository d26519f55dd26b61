#include "ui/item_tree.h"

void CheckSubtree(HTREEITEM) {}
void UncheckSubtree(HTREEITEM) {}
void SelectAll() {}
void SelectNone() {}
void ShowSelectedItemInfo() {}
void OnTreeClick(const NMHDR*) {}
