#include "transfer/file_write.h"

#include <share.h>

#include "core/application.h"
#include "core/progress.h"
#include "core/window_operations.h"

size_t WriteToFile(char* data, size_t size, size_t count, void* target)
{
    DownloadTarget& download = *static_cast<DownloadTarget*>(target);
    if (!OpenTarget(download))
        return 0;
    size_t written = std::fwrite(data, size, count, download.file);
    AddReceived(static_cast<uint32_t>(written * size));
    theApp.ui->SetStatus("Downloading " + theApp.currentItemName);
    return written;
}

bool OpenTarget(DownloadTarget& target)
{
    if (!target.file)
        target.file = _fsopen(target.path, "wb", _SH_DENYNO);
    return target.file != nullptr;
}

bool CloseTarget(DownloadTarget& target)
{
    bool written = !target.file || std::fclose(target.file) == 0;
    target.file = nullptr;
    return written;
}

uint64_t TargetLength(DownloadTarget& target)
{
    if (!target.file)
        return 0;
    long long position = _ftelli64(target.file);
    return position > 0 ? static_cast<uint64_t>(position) : 0;
}
