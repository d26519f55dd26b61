#pragma once
#include "ui/hyperlink.h"

// The modal About dialog, owned by the main window.
void ShowAboutDialog();

// The dialog's four links: the web site, then the addresses beside the
// names credited for ideas and testing, the original idea and the graphics.
// Each opening gives them new windows.
extern CHyperlink aboutLinks[4];
