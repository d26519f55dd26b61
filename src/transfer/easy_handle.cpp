#include "transfer/easy_handle.h"

#include <mutex>

#include <curl/curl.h>

namespace {

// Connections, TLS sessions and name look-ups kept between attempts, files
// and runs: a player's line costs a round trip or two for each new one.
struct CConnectionShare {
    std::mutex starts;
    int users = 0;
    CURLSH* share = nullptr;
    std::mutex locks[CURL_LOCK_DATA_LAST];
};

CConnectionShare theShare;

void LockShared(CURL*, curl_lock_data data, curl_lock_access, void* shared)
{
    static_cast<CConnectionShare*>(shared)->locks[data].lock();
}

void UnlockShared(CURL*, curl_lock_data data, void* shared)
{
    static_cast<CConnectionShare*>(shared)->locks[data].unlock();
}

}  // namespace

void StartTransferLibrary()
{
    curl_global_init(CURL_GLOBAL_WIN32);
    std::lock_guard<std::mutex> hold(theShare.starts);
    if (theShare.users++ > 0)
        return;
    theShare.share = curl_share_init();
    if (!theShare.share)
        return;
    curl_share_setopt(theShare.share, CURLSHOPT_LOCKFUNC, LockShared);
    curl_share_setopt(theShare.share, CURLSHOPT_UNLOCKFUNC, UnlockShared);
    curl_share_setopt(theShare.share, CURLSHOPT_USERDATA, &theShare);
    for (curl_lock_data data : {CURL_LOCK_DATA_CONNECT, CURL_LOCK_DATA_SSL_SESSION, CURL_LOCK_DATA_DNS})
        curl_share_setopt(theShare.share, CURLSHOPT_SHARE, data);
}

void EndTransferLibrary()
{
    {
        std::lock_guard<std::mutex> hold(theShare.starts);
        // After the last user: no easy handle holds it any more.
        if (theShare.users > 0 && --theShare.users == 0 && theShare.share) {
            curl_share_cleanup(theShare.share);
            theShare.share = nullptr;
        }
    }
    curl_global_cleanup();
}

void* ConnectionShare()
{
    return theShare.share;
}

CEasyHandle::CEasyHandle() : handle(curl_easy_init()) {}

CEasyHandle::~CEasyHandle()
{
    curl_easy_cleanup(static_cast<CURL*>(handle));
}
