#include "core/progress.h"

#include "core/application.h"
#include "core/window_operations.h"

namespace {

constexpr double kReceiveWeight = 0.8;
constexpr double kUnzipWeight = 0.2;

// Past 100 when failed attempts counted too; the bar shows that as full.
unsigned RunPercent(double done, uint32_t total)
{
    return total == 0 ? 0 : static_cast<unsigned>(done / total * 100);
}

}  // namespace

bool AddReceived(uint32_t bytes)
{
    CApplication& app = theApp;
    if (app.itemSize == 0)
        return false;
    app.itemBytes += bytes;
    unsigned filePercent = static_cast<unsigned>(uint64_t{app.itemBytes} * 100 / app.itemSize);
    if (app.itemIsArchive)
        app.doneBytes = static_cast<uint32_t>(app.doneBytes + bytes * kReceiveWeight);
    else
        app.doneBytes += bytes;
    app.ui->SetOverallProgress(RunPercent(app.doneBytes, app.totalBytes));
    app.ui->SetItemProgress(filePercent);
    return true;
}

void AddUnzipProgress(uint32_t percent)
{
    CApplication& app = theApp;
    app.ui->SetItemProgress(percent);
    double step = (static_cast<double>(percent) - app.lastUnzipPercent) * app.itemSize * kUnzipWeight / 100;
    app.doneBytes = static_cast<uint32_t>(app.doneBytes + step);
    app.ui->SetOverallProgress(RunPercent(app.doneBytes, app.totalBytes));
    app.lastUnzipPercent = percent;
}

void ResetItemProgress()
{
    theApp.ui->SetItemProgress(0);
    theApp.itemBytes = 0;
}
