#include "core/progress.h"

#include "core/application.h"
#include "core/progress_counts.h"
#include "core/window_operations.h"

namespace {

constexpr double kReceiveWeight = 0.8;
constexpr double kUnzipWeight = 0.2;

// Both bars as the counts stand. The overall one passes 100 when a server
// sends more than a file's declared size; the bar shows that as full.
void ShowCounts(const CApplication& app)
{
    app.ui->SetOverallProgress(RatioPercent(app.doneBytes, app.totalBytes));
    app.ui->SetItemProgress(IntegerPercent(app.itemBytes, app.itemSize));
}

}  // namespace

bool AddReceived(uint32_t bytes)
{
    CApplication& app = theApp;
    if (app.itemSize == 0)
        return false;
    app.itemBytes = AddToCount(app.itemBytes, bytes);
    app.doneBytes = AddToCount(app.doneBytes, app.itemIsArchive ? bytes * kReceiveWeight : bytes);
    ShowCounts(app);
    return true;
}

void AddUnzipProgress(uint32_t percent)
{
    CApplication& app = theApp;
    app.ui->SetItemProgress(percent);
    double step = (static_cast<double>(percent) - app.lastUnzipPercent) * app.itemSize * kUnzipWeight / 100;
    app.doneBytes = AddToCount(app.doneBytes, step);
    app.ui->SetOverallProgress(IntegerPercent(app.doneBytes, app.totalBytes));
    app.lastUnzipPercent = percent;
}

void ResetItemProgress()
{
    theApp.ui->SetItemProgress(0);
    theApp.itemBytes = 0;
}

ProgressMark MarkProgress()
{
    return {theApp.itemBytes, theApp.doneBytes};
}

void ReturnToMark(const ProgressMark& mark)
{
    CApplication& app = theApp;
    app.itemBytes = mark.itemBytes;
    app.doneBytes = mark.doneBytes;
    ShowCounts(app);
}
