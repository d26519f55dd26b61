#include "transfer/transfer_recipe.h"

#include <curl/curl.h>

#include "transfer/easy_handle.h"

namespace {

int StopCheck(void* stop, curl_off_t, curl_off_t, curl_off_t, curl_off_t)
{
    return static_cast<const StopRequest*>(stop)->load() ? 1 : 0;
}

}  // namespace

void ApplyTransferRecipe(CEasyHandle& handle, const TransferRequest& request)
{
    CURL* curl = static_cast<CURL*>(handle.Get());
    curl_easy_setopt(curl, CURLOPT_URL, request.url.c_str());
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, 5L);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, request.write);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, request.target);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, request.stallSeconds);
    curl_easy_setopt(curl, CURLOPT_TIMEOUT, request.totalSeconds);
    // The write callback never runs while a server is silent; this check does.
    curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, StopCheck);
    curl_easy_setopt(curl, CURLOPT_XFERINFODATA, const_cast<StopRequest*>(request.stop));
    curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(curl, CURLOPT_FAILONERROR, request.failOnHttpError ? 1L : 0L);
}

int PerformTransfer(CEasyHandle& handle)
{
    CURL* curl = static_cast<CURL*>(handle.Get());
    if (!curl)
        return CURLE_FAILED_INIT;
    return static_cast<int>(curl_easy_perform(curl));
}
