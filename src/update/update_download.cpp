#include "update/update_download.h"

#include <windows.h>

#include "transfer/text_download.h"
#include "transfer/transfer_recipe.h"
#include "update/release_signature.h"
#include "update/release_version.h"

namespace {

int CheckProgramFile(const CFileHandle& file, uint32_t size)
{
    char start[2] = {};
    DWORD got = 0;
    if (!ReadFile(file.get(), start, sizeof start, &got, nullptr) || got != sizeof start || start[0] != 'M' ||
        start[1] != 'Z')
        return kUpdateNotAProgram;
    LARGE_INTEGER fileSize = {};
    if (size > 0 && (!GetFileSizeEx(file.get(), &fileSize) || fileSize.QuadPart != LONGLONG{size}))
        return kUpdateWrongSize;
    return 0;
}

// An error answer (no signature published) fails like a wrong signature;
// only a stop keeps libcurl's code. A release signed long ago, announced
// as a newer one, fails the same way.
int CheckSignature(const std::string& url, const CVerifiedRelease& release, const ExpectedRelease& expected,
                   const StopRequest& stop)
{
    std::string signature;
    int code = DownloadText(url + ".sig", kMaxSignatureBytes, signature, stop);
    if (code == kTransferStopped)
        return code;
    // The resource is read by name: the held file cannot change under it.
    bool genuine = code == 0 && SignatureMatches(release.file, signature, expected.key) &&
                   CarriesAnnouncedVersion(release.fullPath.c_str(), expected.version);
    return genuine ? 0 : kUpdateNotSigned;
}

}  // namespace

int DownloadUpdate(const std::string& url, const char* path, const ExpectedRelease& expected,
                   const ReceivedCallback& received, const StopRequest& stop, CVerifiedRelease& release)
{
    // An older file there would otherwise pass for what this transfer sent.
    DeleteFileA(path);
    DownloadTarget target;
    target.path = path;
    target.received = received;
    int code = TransferOnce(url, WriteToFile, &target, stop);
    CloseTarget(target);
    // Every check reads through the one handle that is later started from.
    if (code == 0)
        code = release.Open(path) ? CheckProgramFile(release.file, expected.size) : kUpdateNotAProgram;
    if (code == 0 && !expected.key.empty())
        code = CheckSignature(url, release, expected, stop);
    if (code != 0) {
        release.Close();
        DeleteFileA(path);
    }
    return code;
}
