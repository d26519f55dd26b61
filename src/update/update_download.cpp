#include "update/update_download.h"

#include <windows.h>

#include "core/file_system.h"
#include "transfer/text_download.h"
#include "transfer/transfer_recipe.h"
#include "update/release_signature.h"

namespace {

int CheckProgramFile(const char* path, uint32_t size)
{
    CFileHandle file = OwnHandle(
        CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    char start[2] = {};
    DWORD got = 0;
    if (!file || !ReadFile(file.get(), start, sizeof start, &got, nullptr) || got != sizeof start ||
        start[0] != 'M' || start[1] != 'Z')
        return kUpdateNotAProgram;
    if (size > 0 && FileSizeOf(path) != uint64_t{size})
        return kUpdateWrongSize;
    return 0;
}

// An error answer (no signature published) fails like a wrong signature;
// only a stop keeps libcurl's code.
int CheckSignature(const std::string& url, const char* path, const std::string& releaseKey, const StopRequest& stop)
{
    std::string signature;
    int code = DownloadText(url + ".sig", kMaxSignatureBytes, signature, stop);
    if (code == kTransferStopped)
        return code;
    return code == 0 && SignatureMatches(path, signature, releaseKey) ? 0 : kUpdateNotSigned;
}

}  // namespace

int DownloadUpdate(const std::string& url, const char* path, uint32_t size, const std::string& releaseKey,
                   const ReceivedCallback& received, const StopRequest& stop)
{
    // An older file there would otherwise pass for what this transfer sent.
    DeleteFileA(path);
    DownloadTarget target;
    target.path = path;
    target.received = received;
    int code = TransferOnce(url, WriteToFile, &target, stop);
    CloseTarget(target);
    if (code == 0)
        code = CheckProgramFile(path, size);
    if (code == 0 && !releaseKey.empty())
        code = CheckSignature(url, path, releaseKey, stop);
    if (code != 0)
        DeleteFileA(path);
    return code;
}
