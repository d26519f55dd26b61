#pragma once
#include "ui/hyperlink.h"

#include <windows.h>

// The modal About dialog of the program `instance`, owned by `owner`.
void ShowAboutDialog(HINSTANCE instance, HWND owner);

// The dialog's four links: the web site, then the addresses beside the
// names credited for ideas and testing, the original idea and the graphics.
// Each opening gives them new windows.
extern CHyperlink aboutLinks[4];
