#pragma once
#include <string>

#include "update/verified_release.h"

class CWindowOperations;

// The title an old instance gives its window while its successor starts;
// the successor finds it by this title and closes it.
constexpr char kHandOverTitle[] = "Tavrin-";

// Starts the checked `release` from its full path in the old instance's
// place, and then lets it go: the window takes the hand-over title and the
// log is left to the new instance. Returns 0, or ShellExecuteA's error
// code; then the title (`ownTitle`) and the log are this instance's again.
int StartNewRelease(CVerifiedRelease release, CWindowOperations& window, const std::string& ownTitle);

// Run while the main window is created: close an older running instance and
// take over the program's file name.
void StartupHandOver();

// Posts WM_DESTROY to a window titled "Tavrin-", or else WM_QUIT to the
// window of release 1.25, and waits a while for that process to end.
void CloseOlderInstance();
// Renames the program at `ownPath` to "Tavrin.exe" in the current folder,
// replacing a file of that name; up to 10 tries.
void TakeProgramName(const char* ownPath);
