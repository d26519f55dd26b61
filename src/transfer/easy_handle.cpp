#include "transfer/easy_handle.h"

#include <curl/curl.h>

void StartTransferLibrary()
{
    curl_global_init(CURL_GLOBAL_WIN32);
}

void EndTransferLibrary()
{
    curl_global_cleanup();
}

CEasyHandle::CEasyHandle() : handle(curl_easy_init()) {}

CEasyHandle::~CEasyHandle()
{
    curl_easy_cleanup(static_cast<CURL*>(handle));
}
