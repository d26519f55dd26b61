#pragma once
#include <string>
#include <windows.h>
#include <commctrl.h>

#include "app/install_command.h"

class CApplication;

// Posted to the main window by the start-up thread as its last act.
constexpr UINT kStartupEnded = WM_APP + 0x11;

// The main window's messages and the commands of its controls, carried out
// on the window thread for the application object it is given.
class CMainWindow {
public:
    explicit CMainWindow(CApplication& app) : app(app), install(app) {}

    LRESULT Handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

private:
    struct CommandRow {
        HWND CApplication::*sender;
        void (CMainWindow::*operation)();
    };
    static const CommandRow kCommands[];

    void OnCommand(HWND sender);
    void OnNotify(const NMHDR* header);
    void OnFirstShow(HWND window);
    void OnStartupTimer(HWND window);
    void OnDestroy();

    void Install();
    void ChoosePak0();
    void ChooseFolder();
    void ShowAbout();
    void SelectAllItems();
    void SelectNoItems();
    void UpdatePunkBusterNow();
    void MakeCpmaShortcut();
    void MakeDefragShortcut();
    void MakeSuperHudShortcut();
    void MakeGameScannerShortcut();
    void ShowReadme();
    void MakeAllShortcuts();
    // What the installation folder box holds now.
    std::string InstallFolder();

    CApplication& app;
    CInstallCommand install;
};

// The main window class's procedure: the window's CMainWindow, given to
// CreateWindowExA as its creation parameter, handles each message.
LRESULT CALLBACK MainWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
