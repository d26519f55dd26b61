#include "update/update_check.h"

#include <windows.h>

#include "catalogue/scan_number.h"
#include "core/application.h"
#include "core/log.h"
#include "core/progress.h"
#include "core/version.h"
#include "core/window_operations.h"
#include "transfer/transfer_recipe.h"
#include "update/hand_over.h"
#include "update/update_download.h"

namespace {

constexpr char kUpdateFile[] = "tmp.exe";

bool IsNewer(int major, int minor, int patch)
{
    if (major != kVersionMajor)
        return major > kVersionMajor;
    if (minor != kVersionMinor)
        return minor > kVersionMinor;
    return patch > kVersionRelease;
}

// The bar shows no half download once this version goes on.
void TellUpdateFailed()
{
    ResetItemProgress();
    theApp.ui->ShowMessage(nullptr, "Can't update Quake3 Tavrin !", "Q3 Tavrin", MB_OK);
}

}  // namespace

bool CheckForUpdate(int major, int minor, int patch, const std::string& updateUrl,
                    const std::string& updateSizeLine)
{
    if (!IsNewer(major, minor, patch)) {
        theLog.WriteLine("No update avaliable");
        return false;
    }
    theLog.WriteFormatted("Updating to %i.%i%i", major, minor, patch);
    theApp.ui->SetStatus("Updating");
    theLog.WriteFormatted("Update from: %s", updateUrl.c_str());

    int size = 0;
    ScanNumber(updateSizeLine, size);
    theApp.itemSize = size > 0 ? static_cast<uint32_t>(size) : 0;  // no size, no bar
    theApp.itemBytes = 0;
    theApp.itemIsArchive = false;
    theApp.currentItemName = "update";
    // A catalogue saved with CR LF line ends keeps a CR on the URL, which
    // libcurl refuses (code 3).
    std::string url = updateUrl;
    if (!url.empty() && url.back() == '\r')
        url.pop_back();
    int code = DownloadUpdate(*theApp.transfer, url, kUpdateFile, theApp.itemSize, theApp.stopRequested);
    if (code != 0) {
        // A stop means the user is closing the window: nothing to tell.
        if (code != kTransferStopped)
            TellUpdateFailed();
        theLog.WriteFormatted("Update failure (%i).", code);
        return false;
    }

    int startError = StartNewRelease(kUpdateFile);
    if (startError != 0) {
        TellUpdateFailed();
        theLog.WriteFormatted("Update start failure (%i).", startError);
        DeleteFileA(kUpdateFile);
        return false;
    }
    theApp.RequestQuit(0);
    return true;
}
