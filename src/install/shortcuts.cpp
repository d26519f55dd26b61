#include "install/shortcuts.h"

void CreateCpmaShortcut() {}
void CreateDefragShortcut() {}
void CreateSuperHudShortcut() {}
void CreateGameScannerShortcut() {}
void CreateAllShortcuts() {}
