#pragma once
#include <cstdint>

// The counts behind the two progress bars. An archive counts 0.8 of its
// declared size while it is received and 0.2 while it is unpacked; any other
// file counts in full while it is received. The transfer's write callback,
// the install run and the update download all feed it, so it sits here.

// Counts `bytes` more of the current file and moves both bars. False, with
// nothing changed, while the current file's declared size is 0.
bool AddReceived(uint32_t bytes);
// The current archive is unpacked to `percent` (0 to 100).
void AddUnzipProgress(uint32_t percent);
// The upper bar back to 0, and the current file's count with it.
void ResetItemProgress();

// The counts of the current file and of the run at one moment.
struct ProgressMark {
    uint32_t itemBytes;
    uint32_t doneBytes;
};
ProgressMark MarkProgress();
// The counts and both bars back to `mark`: the bytes of a file that is
// started anew from its first byte are counted once, not twice.
void ReturnToMark(const ProgressMark& mark);
