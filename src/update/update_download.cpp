#include "update/update_download.h"

#include <fstream>
#include <windows.h>

#include "transfer/file_write.h"
#include "transfer/transfer_recipe.h"

namespace {

int CheckProgramFile(const char* path, uint32_t size)
{
    std::ifstream file(path, std::ios::binary | std::ios::ate);
    std::streamoff length = file.tellg();
    file.seekg(0);
    char start[2] = {};
    file.read(start, sizeof start);
    if (!file || start[0] != 'M' || start[1] != 'Z')
        return kUpdateNotAProgram;
    if (size > 0 && length != size)
        return kUpdateWrongSize;
    return 0;
}

}  // namespace

int DownloadUpdate(CEasyHandle& handle, const std::string& url, const char* path, uint32_t size,
                   const StopRequest& stop)
{
    // An older file there would otherwise pass for what this transfer sent.
    DeleteFileA(path);
    DownloadTarget target = {path, nullptr};
    TransferRequest request;
    request.url = url;
    request.write = WriteToFile;
    request.target = &target;
    request.stop = &stop;
    ApplyTransferRecipe(handle, request);
    int code = PerformTransfer(handle);
    CloseTarget(target);
    if (code == 0)
        code = CheckProgramFile(path, size);
    if (code != 0)
        DeleteFileA(path);
    return code;
}
