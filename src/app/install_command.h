#pragma once
#include <windows.h>

// Posted to the main window by an install thread as its last act.
constexpr UINT kInstallRunEnded = WM_APP + 0x10;

// The Install button: locks the controls and starts a run with the paths in
// the edit boxes, unless one is running already (a second click, queued or
// made during the run's last message box, does nothing).
void StartInstallRun();
// The run's thread has done its last work: the controls are unlocked and the
// next click may start another run.
void EndInstallRun();
