#pragma once
#include <memory>
#include <windows.h>

class CApplication;
class CInstallRun;

// Posted to the main window by an install thread as its last act.
constexpr UINT kInstallRunEnded = WM_APP + 0x10;

// The Install button's runs, one at a time: the run in progress belongs to
// this command from the click to the window thread's taking of its end.
class CInstallCommand {
public:
    explicit CInstallCommand(CApplication& app);
    ~CInstallCommand();

    // Locks the controls and starts a run with the paths in the edit boxes,
    // unless one is running already (a second click, queued or made during
    // the run's last message box, does nothing).
    void Start();
    // The run's thread has done its last work: the controls are unlocked and
    // the next click may start another run.
    void End();

private:
    CApplication& app;
    std::unique_ptr<CInstallRun> activeRun;
};
