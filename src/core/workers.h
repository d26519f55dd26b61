#pragma once
#include <atomic>
#include <functional>
#include <vector>
#include <windows.h>

// Set once the window is closing: a transfer stops at its next block or
// stall check, an unpacking at its next entry.
using StopRequest = std::atomic<bool>;

// The worker threads of the program. Their handles are kept so that the
// window can wait for them before it takes down what they use.
class CWorkers {
public:
    ~CWorkers();
    // Starts `body` on a new thread; false when no thread could be made.
    bool Start(std::function<void()> body);
    // Waits up to `limitMs` for every worker to end while still handling the
    // messages they send to this thread's windows, and asks their message
    // boxes to close. True when none is left running.
    bool WaitAll(DWORD limitMs);

private:
    void ForgetEnded();
    std::vector<HANDLE> threads;
};
