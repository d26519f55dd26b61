#include "transfer/catalogue_fetch.h"

#include <cstdio>

#include "catalogue/catalogue.h"
#include "core/application.h"
#include "core/build_config.h"
#include "core/log.h"
#include "core/window_operations.h"
#include "transfer/easy_handle.h"
#include "transfer/transfer_recipe.h"

CatalogueMirrors BuiltInMirrors()
{
    CatalogueMirrors mirrors;
    for (int i = 0; i < kMirrorCount; ++i)
        mirrors.urls[i] = kBuiltInMirrors[i];
    return mirrors;
}

size_t WriteToText(char* data, size_t size, size_t count, void* target)
{
    std::string& text = *static_cast<std::string*>(target);
    // A mirror that never stops sending would otherwise take all memory; a
    // short count makes libcurl end the attempt with a write error.
    if (text.size() + size * count > kMaxCatalogueBytes)
        return 0;
    text.append(data, size * count);
    return size * count;
}

namespace {

// One download of mirror `index` into catalogueText; true when it parsed.
bool TryMirror(const CatalogueMirrors& mirrors, int index, const StopRequest& stop)
{
    char status[64];
    std::snprintf(status, sizeof status, "Downloading config file from %i source", index + 1);
    theApp.ui->SetStatus(status);
    theApp.catalogueText.clear();

    TransferRequest request;
    request.url = mirrors.urls[index];
    request.write = WriteToText;
    request.target = &theApp.catalogueText;
    request.stallSeconds = mirrors.stallSeconds;
    request.totalSeconds = mirrors.totalSeconds;
    request.stop = &stop;
    request.failOnHttpError = false;
    request.certificateAuthority = mirrors.certificateAuthority;
    ApplyTransferRecipe(*theApp.transfer, request);
    int code = PerformTransfer(*theApp.transfer);
    if (code != 0) {
        theLog.WriteFormatted("Config file downloading error: %i (%i/%i)", code, index, kMirrorCount);
        return false;
    }
    theLog.WriteFormatted("Config file downloaded ! (%i/%i)", index, kMirrorCount);
    theApp.catalogue->sourceText = &theApp.catalogueText;
    return theApp.catalogue->ParseItems();
}

}  // namespace

bool FetchCatalogue(const CatalogueMirrors& mirrors, const StopRequest& stop)
{
    StartTransferLibrary();
    theApp.transfer.reset(new CEasyHandle);
    theApp.ui->SetStatus("Downloading config file");
    for (;;) {
        for (int index = 0; index < kMirrorCount && !stop; ++index) {
            if (TryMirror(mirrors, index, stop))
                return true;
        }
        if (stop)
            return false;
        int answer = theApp.ui->ShowMessage(nullptr, "Failed to download config file. Do you want to try again ?",
                                            "Tavrin", MB_RETRYCANCEL | MB_ICONWARNING);
        if (stop)
            return false;
        if (answer == IDCANCEL) {
            theLog.WriteLine("Config downloading failure.");
            theApp.ui->DeleteAllNodes();
            return false;
        }
        theLog.WriteLine("Retry");
    }
}
