#include "core/application.h"

#include <cstdio>
#include <cstring>

#include "core/log.h"

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
