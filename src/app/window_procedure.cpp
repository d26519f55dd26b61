#include "app/window_procedure.h"

#include "app/startup.h"
#include "core/application.h"
#include "core/window_operations.h"
#include "install/catalogue_message.h"
#include "install/punkbuster.h"
#include "install/shortcuts.h"
#include "settings/settings.h"
#include "transfer/easy_handle.h"
#include "ui/about_dialog.h"
#include "ui/choosers.h"
#include "ui/item_tree.h"
#include "update/hand_over.h"

namespace {

// How long closing waits for a worker to notice the stop request; a worker
// checks it at least once a second.
constexpr DWORD kWorkerWaitMs = 10000;

}  // namespace

const CMainWindow::CommandRow CMainWindow::kCommands[] = {
    {&CApplication::installButton, &CMainWindow::Install},
    {&CApplication::pak0Button, &CMainWindow::ChoosePak0},
    {&CApplication::folderButton, &CMainWindow::ChooseFolder},
    {&CApplication::aboutButton, &CMainWindow::ShowAbout},
    {&CApplication::selectAllButton, &CMainWindow::SelectAllItems},
    {&CApplication::selectNoneButton, &CMainWindow::SelectNoItems},
    {&CApplication::punkBusterButton, &CMainWindow::UpdatePunkBusterNow},
    {&CApplication::cpmaButton, &CMainWindow::MakeCpmaShortcut},
    {&CApplication::defragButton, &CMainWindow::MakeDefragShortcut},
    {&CApplication::superHudButton, &CMainWindow::MakeSuperHudShortcut},
    {&CApplication::gameScannerButton, &CMainWindow::MakeGameScannerShortcut},
    {&CApplication::readmeButton, &CMainWindow::ShowReadme},
    {&CApplication::shortcutsButton, &CMainWindow::MakeAllShortcuts},
};

std::string CMainWindow::InstallFolder()
{
    return app.ui->GetEditText(app.folderEdit);
}

void CMainWindow::Install() { install.Start(); }
void CMainWindow::ChoosePak0() { ChoosePak0File(*app.ui, app.mainWindow, app.pak0Edit); }
void CMainWindow::ChooseFolder() { ChooseInstallFolder(*app.ui, app.folderEdit); }
void CMainWindow::ShowAbout() { ShowAboutDialog(app.instance, app.mainWindow); }
void CMainWindow::SelectAllItems() { SelectAll(*app.ui); }
void CMainWindow::SelectNoItems() { SelectNone(*app.ui); }
void CMainWindow::UpdatePunkBusterNow() { UpdatePunkBuster(InstallFolder(), app.mainWindow); }
void CMainWindow::MakeCpmaShortcut() { CreateCpmaShortcut(InstallFolder()); }
void CMainWindow::MakeDefragShortcut() { CreateDefragShortcut(InstallFolder()); }
void CMainWindow::MakeSuperHudShortcut() { CreateSuperHudShortcut(InstallFolder()); }
void CMainWindow::MakeGameScannerShortcut() { CreateGameScannerShortcut(InstallFolder()); }
void CMainWindow::ShowReadme() { ShowCatalogueMessage(*app.ui, app.mainWindow, app.catalogueMessage); }
void CMainWindow::MakeAllShortcuts() { CreateAllShortcuts(InstallFolder()); }

void CMainWindow::OnCommand(HWND sender)
{
    // No control sent it (a menu or an accelerator): a control not made yet
    // would otherwise match.
    if (!sender)
        return;
    for (const CommandRow& row : kCommands)
        if (app.*row.sender == sender) {
            (this->*row.operation)();
            return;
        }
}

void CMainWindow::OnNotify(const NMHDR* header)
{
    if (header->hwndFrom != app.itemTree)
        return;
    if (header->code == static_cast<UINT>(NM_CLICK))
        OnTreeClick(*app.ui, header);
    else if (header->code == TVN_SELCHANGEDA)
        ShowSelectedItemInfo(*app.ui, *app.catalogue);
}

void CMainWindow::OnFirstShow(HWND window)
{
    app.ui->DisableControls();
    app.firstShowDone = true;
    SetTimer(window, 1, 1, nullptr);
}

void CMainWindow::OnStartupTimer(HWND window)
{
    KillTimer(window, 1);
    CApplication& owner = app;
    app.ui->BeginShowingWorker();
    if (!app.workers.Start([&owner, window] {
            RunStartup(owner);
            PostMessageA(window, kStartupEnded, 0, 0);
        }))
        app.ui->EndShowingWorker();
}

void CMainWindow::OnDestroy()
{
    app.settings->pak0Path = app.ui->GetEditText(app.pak0Edit);
    app.settings->installFolder = app.ui->GetEditText(app.folderEdit);
    app.settings->Save();
    // From here on a worker's question is answered unasked, and every
    // transfer and unpacking ends at its next check.
    app.stopRequested = true;
    if (app.workers.WaitAll(kWorkerWaitMs))
        EndTransferLibrary();
    DeleteObject(app.backgroundBrush);
    app.backgroundBrush = nullptr;
    app.RequestQuit(0);
}

LRESULT CMainWindow::Handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        StartupHandOver();
        break;
    case WM_DESTROY:
        OnDestroy();
        return 0;
    case WM_QUIT:
        return 0;
    case WM_SHOWWINDOW:
        if (!app.firstShowDone)
            OnFirstShow(window);
        return 1;
    case WM_TIMER:
        if (wParam == 1)
            OnStartupTimer(window);
        return 1;
    case WM_COMMAND:
        OnCommand(reinterpret_cast<HWND>(lParam));
        return 1;
    case kInstallRunEnded:
        install.End();
        return 0;
    case kStartupEnded:
        app.ui->EndShowingWorker();
        return 0;
    case WM_NOTIFY:
        OnNotify(reinterpret_cast<const NMHDR*>(lParam));
        break;
    case WM_CTLCOLORSTATIC: {
        HDC context = reinterpret_cast<HDC>(wParam);
        SetBkMode(context, TRANSPARENT);
        SetBkColor(context, kWindowColour);
        return reinterpret_cast<LRESULT>(app.backgroundBrush);
    }
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT CALLBACK MainWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto owner = reinterpret_cast<CMainWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!owner)
        return DefWindowProcA(window, message, wParam, lParam);
    return owner->Handle(window, message, wParam, lParam);
}
