#include "core/application.h"

void CApplication::RequestQuit(int exitCode)
{
    // A quit posted by a worker has to land in the main thread's queue.
    if (GetCurrentThreadId() == mainThreadId || mainThreadId == 0)
        PostQuitMessage(exitCode);
    else
        PostThreadMessageA(mainThreadId, WM_QUIT, static_cast<WPARAM>(exitCode), 0);
}
