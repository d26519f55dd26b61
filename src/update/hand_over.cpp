#include "update/hand_over.h"

#include <windows.h>
#include <shellapi.h>

#include "core/com_initialization.h"
#include "core/log.h"
#include "core/window_operations.h"

namespace {

constexpr char kRelease125Title[] = "Quake 3 Tavrin 1.25 by Ostrel & Vimbo";
// An old instance waits up to 10 s for its workers before it ends.
constexpr DWORD kOldInstanceWaitMs = 15000;
constexpr int kRenameTries = 10;

// Its executable cannot be replaced while the process runs.
void WaitForProcessOf(HWND window)
{
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, processId);
    if (!process)
        return;
    WaitForSingleObject(process, kOldInstanceWaitMs);
    CloseHandle(process);
}

}  // namespace

int StartNewRelease(CVerifiedRelease release, CWindowOperations& window, const std::string& ownTitle)
{
    window.SetTitle(kHandOverTitle);
    // The new instance starts log.txt afresh.
    theLog.Close();
    InitializeComOnThisThread();
    // No folder of its own: it inherits the current one, where it takes the program's name.
    auto result = reinterpret_cast<INT_PTR>(
        ShellExecuteA(nullptr, "open", release.fullPath.c_str(), "", nullptr, SW_SHOW));
    // The new instance can only rename it once this handle is gone.
    release.Close();
    if (result > 32)
        return 0;
    theLog.Reopen();
    window.SetTitle(ownTitle);
    return static_cast<int>(result);
}

void StartupHandOver()
{
    char ownPath[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, ownPath, sizeof ownPath);
    CloseOlderInstance();
    TakeProgramName(ownPath);
}

void CloseOlderInstance()
{
    if (HWND old = FindWindowA(nullptr, kHandOverTitle)) {
        PostMessageA(old, WM_DESTROY, 0, 0);
        theLog.WriteLine("Old version closed.");
        WaitForProcessOf(old);
    } else if (HWND older = FindWindowA(nullptr, kRelease125Title)) {
        PostMessageA(older, WM_QUIT, 0, 0);
        theLog.WriteLine("Ostrel's tavrin closed.");
        WaitForProcessOf(older);
    }
}

void TakeProgramName(const char* ownPath)
{
    // Growing gaps, about half a second in all, cover an old process that
    // has closed its window but still holds its executable.
    DWORD gapMs = 1;
    for (int attempt = 0;; ++attempt, gapMs *= 2) {
        if (MoveFileExA(ownPath, "Tavrin.exe", MOVEFILE_REPLACE_EXISTING)) {
            theLog.WriteFormatted("MoveFileEx success ! (%i)", attempt);
            return;
        }
        if (attempt == kRenameTries - 1) {
            theLog.WriteFormatted("MoveFileEx error: %i", static_cast<int>(GetLastError()));
            return;
        }
        Sleep(gapMs);
    }
}
