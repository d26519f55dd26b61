#include "app/window_procedure.h"

#include "app/install_command.h"
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

struct CommandRow {
    HWND CApplication::*sender;
    void (*operation)();
};

// How long closing waits for a worker to notice the stop request; a worker
// checks it at least once a second.
constexpr DWORD kWorkerWaitMs = 10000;

// What the installation folder box holds now.
std::string InstallFolder()
{
    return theApp.ui->GetEditText(theApp.folderEdit);
}

const CommandRow kCommands[] = {
    {&CApplication::installButton, StartInstallRun},
    {&CApplication::pak0Button, ChoosePak0File},
    {&CApplication::folderButton, ChooseInstallFolder},
    {&CApplication::aboutButton, ShowAboutDialog},
    {&CApplication::selectAllButton, SelectAll},
    {&CApplication::selectNoneButton, SelectNone},
    {&CApplication::punkBusterButton, [] { UpdatePunkBuster(InstallFolder(), theApp.mainWindow); }},
    {&CApplication::cpmaButton, [] { CreateCpmaShortcut(InstallFolder()); }},
    {&CApplication::defragButton, [] { CreateDefragShortcut(InstallFolder()); }},
    {&CApplication::superHudButton, [] { CreateSuperHudShortcut(InstallFolder()); }},
    {&CApplication::gameScannerButton, [] { CreateGameScannerShortcut(InstallFolder()); }},
    {&CApplication::readmeButton,
     [] { ShowCatalogueMessage(*theApp.ui, theApp.mainWindow, theApp.catalogueMessage); }},
    {&CApplication::shortcutsButton, [] { CreateAllShortcuts(InstallFolder()); }},
};

void OnCommand(HWND sender)
{
    // No control sent it (a menu or an accelerator): a control not made yet
    // would otherwise match.
    if (!sender)
        return;
    for (const CommandRow& row : kCommands)
        if (theApp.*row.sender == sender) {
            row.operation();
            return;
        }
}

void OnNotify(const NMHDR* header)
{
    if (header->hwndFrom != theApp.itemTree)
        return;
    if (header->code == static_cast<UINT>(NM_CLICK))
        OnTreeClick(header);
    else if (header->code == TVN_SELCHANGEDA)
        ShowSelectedItemInfo();
}

void OnFirstShow(HWND window)
{
    theApp.ui->DisableControls();
    theApp.firstShowDone = true;
    SetTimer(window, 1, 1, nullptr);
}

void OnDestroy()
{
    CApplication& app = theApp;
    app.settings->pak0Path = app.ui->GetEditText(app.pak0Edit);
    app.settings->installFolder = app.ui->GetEditText(app.folderEdit);
    app.settings->Save();
    // From here on the window operations do nothing, so no worker waits on
    // this thread while it waits for them.
    app.stopRequested = true;
    if (app.workers.WaitAll(kWorkerWaitMs))
        EndTransferLibrary();
    DeleteObject(theApp.backgroundBrush);
    theApp.backgroundBrush = nullptr;
    theApp.RequestQuit(0);
}

}  // namespace

LRESULT CALLBACK MainWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
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
        if (!theApp.firstShowDone)
            OnFirstShow(window);
        return 1;
    case WM_TIMER:
        KillTimer(window, 1);
        theApp.workers.Start(RunStartup);
        return 1;
    case WM_COMMAND:
        OnCommand(reinterpret_cast<HWND>(lParam));
        return 1;
    case kInstallRunEnded:
        EndInstallRun();
        return 0;
    case WM_NOTIFY:
        OnNotify(reinterpret_cast<const NMHDR*>(lParam));
        break;
    case WM_CTLCOLORSTATIC: {
        HDC context = reinterpret_cast<HDC>(wParam);
        SetBkMode(context, TRANSPARENT);
        SetBkColor(context, kWindowColour);
        return reinterpret_cast<LRESULT>(theApp.backgroundBrush);
    }
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
