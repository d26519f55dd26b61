#include "core/workers.h"

#include <memory>
#include <process.h>

namespace {

unsigned __stdcall RunBody(void* body)
{
    std::unique_ptr<std::function<void()>> owned(static_cast<std::function<void()>*>(body));
    (*owned)();
    return 0;
}

BOOL CALLBACK CloseThreadWindow(HWND window, LPARAM)
{
    // A message box closed this way answers as its Cancel (or only) button.
    PostMessageA(window, WM_CLOSE, 0, 0);
    return TRUE;
}

}  // namespace

CWorkers::~CWorkers()
{
    for (HANDLE thread : threads)
        CloseHandle(thread);
}

void CWorkers::ForgetEnded()
{
    for (size_t i = 0; i < threads.size();) {
        if (WaitForSingleObject(threads[i], 0) == WAIT_OBJECT_0) {
            CloseHandle(threads[i]);
            threads.erase(threads.begin() + static_cast<long>(i));
        } else {
            ++i;
        }
    }
}

bool CWorkers::Start(std::function<void()> body)
{
    ForgetEnded();
    auto owned = std::make_unique<std::function<void()>>(std::move(body));
    uintptr_t thread = _beginthreadex(nullptr, 0, RunBody, owned.get(), 0, nullptr);
    if (thread == 0)
        return false;
    owned.release();
    threads.push_back(reinterpret_cast<HANDLE>(thread));
    return true;
}

bool CWorkers::WaitAll(DWORD limitMs)
{
    DWORD start = GetTickCount();
    for (;;) {
        ForgetEnded();
        if (threads.empty())
            return true;
        for (HANDLE thread : threads)
            EnumThreadWindows(GetThreadId(thread), CloseThreadWindow, 0);
        DWORD spent = GetTickCount() - start;
        if (spent >= limitMs)
            return false;
        // Short slices: a worker's message box may appear after the last look.
        DWORD slice = limitMs - spent < 100 ? limitMs - spent : 100;
        DWORD woken = MsgWaitForMultipleObjects(static_cast<DWORD>(threads.size()), threads.data(),
                                                FALSE, slice, QS_SENDMESSAGE);
        if (woken == WAIT_OBJECT_0 + threads.size()) {
            // Peeking carries out the messages that workers sent to us.
            MSG message;
            PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
        }
    }
}
