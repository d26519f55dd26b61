#include "transfer/catalogue_fetch.h"

#include <cstdio>

#include "core/build_config.h"
#include "core/log.h"
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

int FetchCatalogue(const CatalogueMirrors& mirrors, int index, std::string& text, const StopRequest& stop)
{
    text.clear();
    TransferRequest request;
    request.url = mirrors.urls[index];
    request.write = WriteToText;
    request.target = &text;
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
