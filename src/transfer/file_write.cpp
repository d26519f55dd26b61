#include "transfer/file_write.h"

#include <share.h>

#include "core/side_file.h"

size_t WriteToFile(char* data, size_t size, size_t count, void* target)
{
    DownloadTarget& download = *static_cast<DownloadTarget*>(target);
    if (!OpenTarget(download))
        return 0;
    size_t written = std::fwrite(data, size, count, download.file);
    download.bytes += written * size;
    if (download.received)
        download.received(static_cast<uint32_t>(written * size));
    return written;
}

bool OpenTarget(DownloadTarget& target)
{
    if (!target.file) {
        if (!target.side)
            target.file = _fsopen(target.path, "wb", _SH_DENYNO);
        else if (target.side->Path().empty() && target.side->Create(target.path, kArrivingSuffix))
            target.file = target.side->Stream();
        target.bytes = 0;
    }
    return target.file != nullptr;
}

bool CloseTarget(DownloadTarget& target)
{
    bool written = !target.file || std::fclose(target.file) == 0;
    target.file = nullptr;
    return written;
}
