#pragma once
#include <memory>
#include <string>
#include <windows.h>

#include "core/workers.h"

// Background of the main window and of its static controls.
constexpr COLORREF kWindowColour = RGB(236, 233, 216);

class CCatalogue;
class CSettings;
class CWindowOperations;

// The one process-wide application object: what lives as long as the
// window does (every control handle, the catalogue, the settings), and
// nothing of a single install run, which has its own. It is assembled at the
// top (the program's entry folder), which knows the types it owns.
class CApplication {
public:
    CApplication();
    ~CApplication();

    // Ends the main message loop; may be called from any thread.
    void RequestQuit(int exitCode);

    std::string title;
    HWND mainWindow = nullptr;
    HINSTANCE instance = nullptr;
    std::unique_ptr<CCatalogue> catalogue;
    std::unique_ptr<CSettings> settings;
    HBRUSH backgroundBrush = nullptr;
    HWND itemTree = nullptr;
    HWND overallProgressBar = nullptr;
    HWND itemProgressBar = nullptr;
    HWND installButton = nullptr, aboutButton = nullptr, pak0Button = nullptr, folderButton = nullptr;
    HWND selectAllButton = nullptr, selectNoneButton = nullptr, punkBusterButton = nullptr;
    HWND cpmaButton = nullptr, defragButton = nullptr, superHudButton = nullptr;
    HWND gameScannerButton = nullptr, readmeButton = nullptr;
    HWND pak0Edit = nullptr, folderEdit = nullptr;
    HWND statusLabel = nullptr, bannerImage = nullptr;
    HWND infoTextLabel = nullptr, infoTitleLabel = nullptr;
    HFONT labelFont = nullptr, editFont = nullptr;
    HWND shortcutsButton = nullptr;
    std::string catalogueText;
    std::string catalogueMessage;

    // The window operations in use: the real controls, or a test's stand-in.
    CWindowOperations* ui = nullptr;
    DWORD mainThreadId = 0;
    bool firstShowDone = false;
    CWorkers workers;
    StopRequest stopRequested{false};
};

extern CApplication theApp;
