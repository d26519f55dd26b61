#include "app/install_command.h"

#include "core/application.h"
#include "core/build_config.h"
#include "core/window_operations.h"
#include "install/install_run.h"

CInstallCommand::CInstallCommand(CApplication& app) : app(app) {}

CInstallCommand::~CInstallCommand() = default;

void CInstallCommand::Start()
{
    if (activeRun)
        return;
    CWindowOperations& window = *app.ui;
    // Locked from the click to the run's true end: nothing touches its paths
    // or tree meanwhile, and a click that the thread's last moments let
    // through still finds the run here.
    window.DisableControls();
    activeRun = std::make_unique<CInstallRun>(window, *app.catalogue, *app.settings, app.catalogueMessage,
                                              app.mainWindow, app.stopRequested);
    activeRun->pak0Path = window.GetEditText(app.pak0Edit);
    activeRun->installPath = window.GetEditText(app.folderEdit);
    activeRun->transfers = kTransfers;
    CInstallRun* run = activeRun.get();
    HWND mainWindow = app.mainWindow;
    window.BeginShowingWorker();
    bool started = app.workers.Start([run, mainWindow] {
        RunInstall(*run);
        PostMessageA(mainWindow, kInstallRunEnded, 0, 0);
    });
    if (!started) {
        activeRun.reset();
        window.EndShowingWorker();
        window.EnableControls();
    }
}

void CInstallCommand::End()
{
    if (!activeRun)
        return;
    activeRun.reset();
    app.ui->EndShowingWorker();
    app.ui->EnableControls();
}
