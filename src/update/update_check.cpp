#include "update/update_check.h"

#include <windows.h>

#include <utility>

#include "catalogue/catalogue_header.h"
#include "core/log.h"
#include "core/progress.h"
#include "core/window_operations.h"
#include "transfer/transfer_recipe.h"
#include "update/hand_over.h"
#include "update/release_version.h"
#include "update/update_download.h"

namespace {

constexpr char kUpdateFile[] = "tmp.exe";

// The bar shows no half download once this version goes on.
void TellUpdateFailed(CProgress& progress, CWindowOperations& window)
{
    progress.ResetItemProgress();
    window.ShowMessage(nullptr, "Can't update Quake3 Tavrin !", "Q3 Tavrin", MB_OK);
}

}  // namespace

bool CheckForUpdate(const CatalogueHeader& header, CWindowOperations& window, const std::string& ownTitle,
                    const std::string& releaseKey, const StopRequest& stop)
{
    const CatalogueVersion& version = header.version;
    if (!IsNewerThanThisProgram(version)) {
        theLog.WriteLine("No update avaliable");
        return false;
    }
    theLog.WriteFormatted("Updating to %i.%i%i", version.major, version.minor, version.patch);
    window.SetStatus("Updating");
    theLog.WriteFormatted("Update from: %s", header.updateUrlLine.c_str());

    int size = header.updateSize;
    CProgress progress(window);
    progress.itemSize = size > 0 ? static_cast<uint32_t>(size) : 0;  // no size, no bar
    ExpectedRelease expected;
    expected.size = progress.itemSize;
    expected.version = version;
    expected.key = releaseKey;
    ReceivedCallback received = [&progress, &window](uint32_t bytes) {
        progress.AddReceived(bytes);
        window.SetStatus("Downloading update");
    };
    const std::string& url = header.updateUrl;
    CVerifiedRelease release;
    int code = DownloadUpdate(url, kUpdateFile, expected, received, stop, release);
    if (code != 0) {
        if (code == kUpdateNotSigned)
            theLog.WriteLine("Update signature not verified.");
        // A stop means the user is closing the window: nothing to tell.
        if (code != kTransferStopped)
            TellUpdateFailed(progress, window);
        theLog.WriteFormatted("Update failure (%i).", code);
        return false;
    }

    int startError = StartNewRelease(std::move(release), window, ownTitle);
    if (startError != 0) {
        TellUpdateFailed(progress, window);
        theLog.WriteFormatted("Update start failure (%i).", startError);
        DeleteFileA(kUpdateFile);
        return false;
    }
    return true;
}
