// How many window operations a worker thread gets through per second while
// the main thread runs its message loop: the old polling loop (PeekMessage,
// then Sleep(1)) against the program's own loop.
#include <windows.h>
#include <process.h>

#include <cstdio>
#include <string>

#include "core/application.h"
#include "app/message_loop.h"
#include "ui/controls.h"
#include "core/window_operations.h"

namespace {

const DWORD kMeasureMs = 2000;
volatile long operations = 0;
bool repeatSameText = false;

int SleepingLoop()
{
    MSG message = {};
    while (message.message != WM_QUIT) {
        if (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        } else {
            Sleep(1);
        }
    }
    return static_cast<int>(message.wParam);
}

void Worker(void*)
{
    DWORD end = GetTickCount() + kMeasureMs;
    long count = 0;
    while (static_cast<LONG>(GetTickCount() - end) < 0) {
        // A status text per block and the bar's position, as a download does.
        theApp.ui->SetStatus(repeatSameText ? "Downloading file.zip"
                                            : "Downloading file.zip " + std::to_string(count));
        theApp.ui->SetItemProgress(repeatSameText ? 50 : count % 101);
        count += 2;
    }
    operations = count;
    theApp.RequestQuit(0);
}

double Measure(int (*loop)(), bool sameText)
{
    repeatSameText = sameText;
    _beginthread(Worker, 0, nullptr);
    loop();
    return operations * 1000.0 / kMeasureMs;
}

}  // namespace

int main()
{
    theApp.instance = GetModuleHandleA(nullptr);
    theApp.mainThreadId = GetCurrentThreadId();
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.lpszClassName = "TavrinBench";
    RegisterClassA(&windowClass);
    theApp.mainWindow = CreateWindowA("TavrinBench", "Tavrin bench", WS_OVERLAPPEDWINDOW, 0, 0, 632,
                                      438, nullptr, nullptr, nullptr, nullptr);
    CreateAllControls(theApp);
    ShowWindow(theApp.mainWindow, SW_SHOW);

    std::printf("window operations per second from a worker thread (%lu ms each):\n", kMeasureMs);
    std::printf("  PeekMessage + Sleep(1) loop, changing texts:  %8.0f\n", Measure(SleepingLoop, false));
    std::printf("  program's loop, changing texts:               %8.0f\n", Measure(RunMessageLoop, false));
    std::printf("  program's loop, unchanged text and position:  %8.0f\n", Measure(RunMessageLoop, true));
    return 0;
}
