#include "transfer/catalogue_fetch.h"

#include <cstdio>

#include "core/build_config.h"
#include "core/log.h"
#include "transfer/easy_handle.h"
#include "transfer/text_download.h"
#include "transfer/transfer_recipe.h"

CatalogueMirrors BuiltInMirrors()
{
    CatalogueMirrors mirrors;
    for (int i = 0; i < kMirrorCount; ++i)
        mirrors.urls[i] = kBuiltInMirrors[i];
    return mirrors;
}

int FetchCatalogue(const CatalogueMirrors& mirrors, int index, std::string& text, const StopRequest& stop)
{
    text.clear();
    TextTarget target = {text, kMaxCatalogueBytes};
    TransferRequest request;
    request.url = mirrors.urls[index];
    request.write = WriteToText;
    request.target = &target;
    request.stallSeconds = mirrors.stallSeconds;
    request.totalSeconds = mirrors.totalSeconds;
    request.stop = &stop;
    request.failOnHttpError = false;
    request.certificateAuthority = mirrors.certificateAuthority;
    CEasyHandle transfer;
    ApplyTransferRecipe(transfer, request);
    int code = PerformTransfer(transfer);
    if (code != 0)
        theLog.WriteFormatted("Config file downloading error: %i (%i/%i)", code, index, kMirrorCount);
    else
        theLog.WriteFormatted("Config file downloaded ! (%i/%i)", index, kMirrorCount);
    return code;
}
