#include "app/application.h"

#include <cstdio>
#include <cstring>

#include "app/log.h"
#include "app/version.h"
#include "catalogue/catalogue.h"
#include "settings/settings.h"
#include "ui/win32_window_operations.h"

namespace {
CWin32WindowOperations realWindow;
}

// After the hyperlink class registration, before the About dialog's links.
CApplication theApp __attribute__((init_priority(102)));

CApplication::CApplication()
    : catalogue(new CCatalogue), settings(new CSettings), ui(&realWindow)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%s %i.%i.%i", "Tavrin", kVersionMajor, kVersionMinor,
                  kVersionRelease);
    title = buffer;
}

CApplication::~CApplication() = default;

void CApplication::RequestQuit(int exitCode)
{
    // A quit posted by a worker has to land in the main thread's queue.
    if (GetCurrentThreadId() == mainThreadId || mainThreadId == 0)
        PostQuitMessage(exitCode);
    else
        PostThreadMessageA(mainThreadId, WM_QUIT, static_cast<WPARAM>(exitCode), 0);
}

void CApplication::EnterProgramFolder()
{
    char path[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, path, sizeof path);
    if (char* lastSlash = std::strrchr(path, '\\'))
        *lastSlash = '\0';
    if (!SetCurrentDirectoryA(path))
        theLog.WriteLine("SetCurrentDirectory failed.");
}
