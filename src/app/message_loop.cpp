#include "app/message_loop.h"

#include <windows.h>

int RunMessageLoop()
{
    MSG message = {};
    while (message.message != WM_QUIT) {
        if (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        } else {
            // Wakes at once for posted input and for a worker's sent message,
            // and never blocks longer than 1 ms.
            MsgWaitForMultipleObjectsEx(0, nullptr, 1, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        }
    }
    return static_cast<int>(message.wParam);
}
