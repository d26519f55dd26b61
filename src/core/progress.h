#pragma once
#include <cstdint>

class CWindowOperations;

// The counts of one file and of the whole run at one moment.
struct ProgressMark {
    uint32_t itemBytes;
    uint32_t doneBytes;
};

// The counts behind the two progress bars, and the bars they move. An
// archive counts 0.8 of its declared size while it is received and 0.2 while
// it is unpacked; any other file counts in full while it is received.
// Each install run has its own, and so does the update download.
class CProgress {
public:
    explicit CProgress(CWindowOperations& window) : window(window) {}

    // Counts `bytes` more of the current file and moves both bars. False,
    // with nothing changed, while the current file's declared size is 0.
    bool AddReceived(uint32_t bytes);
    // The current archive is unpacked to `percent` (0 to 100).
    void AddUnzipProgress(uint32_t percent);
    // The upper bar back to 0, and the current file's count with it.
    void ResetItemProgress();
    ProgressMark MarkProgress() const { return {itemBytes, doneBytes}; }
    // The counts and both bars back to `mark`: the bytes of a file that is
    // started anew from its first byte are counted once, not twice.
    void ReturnToMark(const ProgressMark& mark);

    uint32_t itemSize = 0;          // declared size of the current file
    uint32_t itemBytes = 0;         // bytes of the current file counted so far
    uint32_t totalBytes = 0;        // declared sizes of every file of the run
    uint32_t doneBytes = 0;         // weighted bytes done over the run
    uint32_t lastUnzipPercent = 0;  // of the current archive, at its last step
    bool itemIsArchive = false;
    // The lower bar shows on the taskbar button too (an install run's).
    bool onTaskbar = false;

private:
    void ShowCounts();
    void ShowOverall(unsigned percent);
    CWindowOperations& window;
};
