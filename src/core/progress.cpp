#include "core/progress.h"

#include <cmath>

#include "core/progress_counts.h"
#include "core/window_operations.h"

namespace {

constexpr double kReceiveWeight = 0.8;
constexpr double kUnzipWeight = 0.2;

}  // namespace

// Both bars as the counts stand. The overall one passes 100 when a server
// sends more than a file's declared size; the bar shows that as full.
void CProgress::ShowOverall(unsigned percent)
{
    window.SetOverallProgress(percent);
    if (onTaskbar)
        window.SetTaskbarProgress(TaskbarProgress::normal, percent < 100 ? percent : 100);
}

void CProgress::ShowCounts()
{
    ShowOverall(RatioPercent(doneBytes, totalBytes));
    window.SetItemProgress(IntegerPercent(itemBytes, itemSize));
}

bool CProgress::AddReceived(uint32_t bytes)
{
    if (itemSize == 0)
        return false;
    // Weighed over the whole file so far, not block by block: how the
    // network cuts a file into blocks must not change the count.
    double weight = itemIsArchive ? kReceiveWeight : 1.0;
    double before = std::floor(itemBytes * weight);
    itemBytes = AddToCount(itemBytes, bytes);
    doneBytes = AddToCount(doneBytes, std::floor(itemBytes * weight) - before);
    ShowCounts();
    return true;
}

void CProgress::AddUnzipProgress(uint32_t percent)
{
    window.SetItemProgress(percent);
    double step = (static_cast<double>(percent) - lastUnzipPercent) * itemSize * kUnzipWeight / 100;
    doneBytes = AddToCount(doneBytes, step);
    ShowOverall(IntegerPercent(doneBytes, totalBytes));
    lastUnzipPercent = percent;
}

void CProgress::ResetItemProgress()
{
    window.SetItemProgress(0);
    itemBytes = 0;
}

void CProgress::ReturnToMark(const ProgressMark& mark)
{
    itemBytes = mark.itemBytes;
    doneBytes = mark.doneBytes;
    ShowCounts();
}
