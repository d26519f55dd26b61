#include "app/startup.h"

#include <cstdio>
#include <string>
#include <vector>

#include "catalogue/catalogue.h"
#include "catalogue/catalogue_header.h"
#include "core/application.h"
#include "core/build_config.h"
#include "core/log.h"
#include "core/window_operations.h"
#include "transfer/catalogue_fetch.h"
#include "ui/item_tree.h"
#include "update/update_check.h"

namespace {

// One download of mirror `index`; true when its text built the tree.
bool TryMirror(CWindowOperations& window, const CatalogueMirrors& mirrors, int index, CApplication& app,
               const StopRequest& stop)
{
    char status[64];
    std::snprintf(status, sizeof status, "Downloading config file from %i source", index + 1);
    window.SetStatus(status);
    if (FetchCatalogue(mirrors, index, app.catalogueText, stop) != 0)
        return false;
    app.catalogue->sourceText = &app.catalogueText;
    return ParseItems(*app.catalogue, window);
}

// The mirrors in turn, and again while the user asks for it.
bool FetchFromMirrors(CWindowOperations& window, const CatalogueMirrors& mirrors, CApplication& app,
                      const StopRequest& stop)
{
    window.SetStatus("Downloading config file");
    for (;;) {
        for (int index = 0; index < kMirrorCount && !stop; ++index) {
            if (TryMirror(window, mirrors, index, app, stop))
                return true;
        }
        if (stop)
            return false;
        int answer = window.ShowMessage(nullptr, "Failed to download config file. Do you want to try again ?",
                                        "Tavrin", MB_RETRYCANCEL | MB_ICONWARNING);
        if (stop)
            return false;
        if (answer == IDCANCEL) {
            theLog.WriteLine("Config downloading failure.");
            window.DeleteAllNodes();
            return false;
        }
        theLog.WriteLine("Retry");
    }
}

}  // namespace

bool OpenLog(CLog& log, CWindowOperations& window)
{
    if (log.Open())
        return true;
    window.ShowMessage(nullptr, "Nie uda\xb3o si\xea utworzy\xe6 pliku", "Log", MB_OK);
    return false;
}

bool ApplyCatalogueHeader(CWindowOperations& window, CApplication& app, const StopRequest& stop)
{
    CatalogueHeader header = ReadHeader(*app.catalogue);
    if (!header.valid)
        return false;
    app.catalogueMessage += header.message;
    if (!CheckForUpdate(header, window, app.title, kReleaseKey, stop))
        return false;
    app.RequestQuit(0);
    return true;
}

bool LoadCatalogue(CWindowOperations& window, const CatalogueMirrors& mirrors, CApplication& app,
                   const StopRequest& stop)
{
    if (!FetchFromMirrors(window, mirrors, app, stop))
        return false;
    ApplyCatalogueHeader(window, app, stop);
    window.SetStatus("");
    return true;
}

void RunStartup(CApplication& app)
{
    CWindowOperations& window = *app.ui;
    if (!LoadCatalogue(window, BuiltInMirrors(), app, app.stopRequested)) {
        app.RequestQuit(0);
        return;
    }
    std::vector<HTREEITEM>& marked = app.catalogue->preChecked;
    while (!marked.empty()) {
        window.SetCheckState(marked.back(), checkChecked);
        marked.pop_back();
    }
    window.EnableControls();
}
