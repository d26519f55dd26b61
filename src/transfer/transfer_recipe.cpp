#include "transfer/transfer_recipe.h"

#include <cstring>

#include <curl/curl.h>

#include "transfer/easy_handle.h"
#include "transfer/system_authorities.h"
#include "transfer/system_proxy.h"

namespace {

int StopCheck(void* stop, curl_off_t, curl_off_t, curl_off_t, curl_off_t)
{
    return stop && static_cast<const StopRequest*>(stop)->load() ? 1 : 0;
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
    // The curl tool's block size: under Wine each receive is a trip through
    // the server, and libcurl's default of 16 KB made a download four times slower.
    curl_easy_setopt(curl, CURLOPT_BUFFERSIZE, 100L * 1024);
    curl_easy_setopt(curl, CURLOPT_FAILONERROR, request.failOnHttpError ? 1L : 0L);
    // Hosts move files and send players on to https: a redirect is followed,
    // its own page never written, to http or https only, never from https
    // down to http, and a loop ends at the tenth.
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(curl, CURLOPT_MAXREDIRS, 10L);
    bool secure = _strnicmp(request.url.c_str(), "https:", 6) == 0;
    // The way out that Windows knows for this user; without one, libcurl's
    // own environment variables.
    if (std::optional<std::string> proxy = SystemProxyFor(request.url))
        curl_easy_setopt(curl, CURLOPT_PROXY, proxy->c_str());
    // A fresh handle each attempt, on the connections kept for the process.
    // A lone handle keeps at most 4 of them by default and closes the rest,
    // which files side by side would open again one each.
    if (void* share = ConnectionShare()) {
        curl_easy_setopt(curl, CURLOPT_SHARE, share);
        curl_easy_setopt(curl, CURLOPT_MAXCONNECTS, 32L);
    }
    // Certificates are checked; a revocation server that cannot be reached
    // does not fail every download.
    curl_easy_setopt(curl, CURLOPT_SSL_OPTIONS, static_cast<long>(CURLSSLOPT_REVOKE_BEST_EFFORT));
    // Given authorities make libcurl check the chain itself, which under
    // Wine nobody else does (an empty list trusts nothing): refused, https
    // would go unchecked, so it does not go at all, not even by a redirect.
    const std::string* authorities = request.certificateAuthority ? request.certificateAuthority : SystemAuthorities();
    int refused = CURLE_OK;
    if (authorities) {
        curl_blob blob = {const_cast<char*>(authorities->data()), authorities->size(), CURL_BLOB_COPY};
        refused = static_cast<int>(curl_easy_setopt(curl, CURLOPT_CAINFO_BLOB, &blob));
    }
    if (refused != CURLE_OK && secure)
        handle.refusedOption = refused;
    const char* redirects = secure ? "https" : refused != CURLE_OK ? "http" : "http,https";
    curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, redirects);
}

int PerformTransfer(CEasyHandle& handle)
{
    CURL* curl = static_cast<CURL*>(handle.Get());
    if (!curl)
        return CURLE_FAILED_INIT;
    if (handle.refusedOption != 0)
        return handle.refusedOption;
    int code = static_cast<int>(curl_easy_perform(curl));
    // A redirect that was not followed (it named no place) leaves only its
    // own page, which is not what was asked for.
    long status = 0;
    if (code == CURLE_OK && curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status) == CURLE_OK &&
        status >= 300 && status < 400)
        code = CURLE_HTTP_RETURNED_ERROR;
    return code;
}

int TransferOnce(const std::string& url, WriteCallback write, void* target, const StopRequest& stop)
{
    TransferRequest request;
    request.url = url;
    request.write = write;
    request.target = target;
    request.stop = &stop;
    CEasyHandle transfer;
    ApplyTransferRecipe(transfer, request);
    return PerformTransfer(transfer);
}
