#pragma once

#include <windows.h>

class CWindowOperations;

// The pak0.pk3 file chooser and the installation folder chooser; the path
// chosen goes into the edit box `edit`.
void ChoosePak0File(CWindowOperations& ui, HWND owner, HWND edit);
void ChooseInstallFolder(CWindowOperations& ui, HWND edit);
