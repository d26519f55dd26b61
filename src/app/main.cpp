// The program's entry: log header, window, controls, message loop, exit lines.
#include <windows.h>

#include "app/message_loop.h"
#include "app/startup.h"
#include "app/window_procedure.h"
#include "core/application.h"
#include "core/log.h"
#include "core/version.h"
#include "core/window_operations.h"
#include "transfer/easy_handle.h"
#include "ui/controls.h"

namespace {

bool RegisterMainWindowClass(HINSTANCE instance)
{
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = MainWindowProcedure;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(301));
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = CreateSolidBrush(kWindowColour);
    windowClass.lpszClassName = "Quake3 Tavrin";
    return RegisterClassExA(&windowClass) != 0;
}

void WriteLogHeader()
{
    SYSTEMTIME now;
    GetSystemTime(&now);
    theLog.WriteLine("---=== Tavrin Log ===---");
    theLog.WriteFormatted("version: %s", VersionText().c_str());
    theLog.WriteFormatted("%i.%i.%i  %i:%i", now.wDay, now.wMonth, now.wYear, now.wHour, now.wMinute);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    theApp.mainThreadId = GetCurrentThreadId();
    OpenLog(theLog, *theApp.ui);
    WriteLogHeader();
    theApp.firstShowDone = false;

    if (!RegisterMainWindowClass(instance)) {
        theApp.ui->ShowMessage(nullptr, "Nie uda\xb3o si\xea utworzy\xe6 okna", "B\xb3\xb9" "d O.o", MB_OK);
        theLog.WriteLine("Tworzenie okna nie uda\xb3o sie (RegisterClassEx)");
        return 0;
    }
    theApp.instance = instance;
    // Before any worker: libcurl's global start is not safe on two threads.
    StartTransferLibrary();
    CMainWindow owner(theApp);
    theApp.mainWindow = CreateWindowExA(0, "Quake3 Tavrin", theApp.title.c_str(),
                                        WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, 15, 15, 632, 438,
                                        nullptr, nullptr, instance, &owner);
    CreateAllControls(theApp);
    ShowWindow(theApp.mainWindow, SW_SHOW);

    int exitCode = RunMessageLoop();

    theLog.WriteBlankLines(1);
    theLog.WriteFormatted("Exit code: %i\n", exitCode);
    theLog.WriteLine("---=== Tavrin Log ===---");
    // A worker that did not stop in time ends with the process here, before
    // the objects it may still use are destroyed under it.
    ExitProcess(static_cast<UINT>(exitCode));
}
