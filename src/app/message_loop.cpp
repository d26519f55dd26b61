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
            // Wakes at once for input, timers, posted and sent messages (a
            // worker's quit request among them), and for nothing else: under
            // Wine a loop that wakes every millisecond takes a fifth of a core
            // between itself and the server, away from a running install.
            MsgWaitForMultipleObjectsEx(0, nullptr, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        }
    }
    return static_cast<int>(message.wParam);
}
