#include "transfer/catalogue_fetch.h"

#include <cstdio>
#include <curl/curl.h>

#include "app/application.h"
#include "app/build_config.h"
#include "app/log.h"
#include "catalogue/catalogue.h"
#include "ui/window_operations.h"

std::string catalogueMirrors[kMirrorCount] = {TAVRIN_MIRROR_1, TAVRIN_MIRROR_2, TAVRIN_MIRROR_3};
// Without a limit a mirror that accepts and never answers would hold the
// program, with every control disabled, for ever.
long catalogueStallSeconds = 30;

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
bool TryMirror(int index)
{
    char status[64];
    std::snprintf(status, sizeof status, "Downloading config file from %i source", index + 1);
    theApp.ui->SetStatus(status);
    theApp.catalogueText.clear();

    CURL* transfer = theApp.transfer;
    curl_easy_setopt(transfer, CURLOPT_URL, catalogueMirrors[index].c_str());
    curl_easy_setopt(transfer, CURLOPT_CONNECTTIMEOUT, 5L);
    curl_easy_setopt(transfer, CURLOPT_WRITEFUNCTION, WriteToText);
    curl_easy_setopt(transfer, CURLOPT_WRITEDATA, &theApp.catalogueText);
    curl_easy_setopt(transfer, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(transfer, CURLOPT_LOW_SPEED_TIME, catalogueStallSeconds);
    CURLcode code = curl_easy_perform(transfer);
    if (code != CURLE_OK) {
        theLog.WriteFormatted("Config file downloading error: %i (%i/%i)", static_cast<int>(code), index,
                              kMirrorCount);
        return false;
    }
    theLog.WriteFormatted("Config file downloaded ! (%i/%i)", index, kMirrorCount);
    theApp.catalogue->sourceText = &theApp.catalogueText;
    return theApp.catalogue->ParseItems();
}

}  // namespace

bool FetchCatalogue()
{
    curl_global_init(CURL_GLOBAL_WIN32);
    theApp.transfer = curl_easy_init();
    theApp.ui->SetStatus("Downloading config file");
    for (;;) {
        for (int index = 0; index < kMirrorCount; ++index) {
            if (TryMirror(index)) {
                theApp.ReadHeader();
                theApp.ui->SetStatus("");
                return true;
            }
        }
        int answer = theApp.ui->ShowMessage(nullptr, "Failed to download config file. Do you want to try again ?",
                                            "Tavrin", MB_RETRYCANCEL | MB_ICONWARNING);
        if (answer == IDCANCEL) {
            theLog.WriteLine("Config downloading failure.");
            theApp.ui->DeleteAllNodes();
            return false;
        }
        theLog.WriteLine("Retry");
    }
}
