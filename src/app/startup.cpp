#include "app/startup.h"

#include <vector>

#include "catalogue/catalogue.h"
#include "catalogue/catalogue_header.h"
#include "core/application.h"
#include "core/window_operations.h"
#include "transfer/catalogue_fetch.h"
#include "update/update_check.h"

bool ApplyCatalogueHeader()
{
    CatalogueHeader header = ReadHeader(*theApp.catalogue);
    if (!header.valid)
        return false;
    theApp.catalogueMessage += header.message;
    return CheckForUpdate(header.version.major, header.version.minor, header.version.patch,
                          header.updateUrl, header.updateSizeLine);
}

bool LoadCatalogue(const CatalogueMirrors& mirrors, const StopRequest& stop)
{
    if (!FetchCatalogue(mirrors, stop))
        return false;
    ApplyCatalogueHeader();
    theApp.ui->SetStatus("");
    return true;
}

void RunStartup()
{
    if (!LoadCatalogue(BuiltInMirrors(), theApp.stopRequested)) {
        theApp.RequestQuit(0);
        return;
    }
    std::vector<HTREEITEM>& marked = theApp.catalogue->preChecked;
    while (!marked.empty()) {
        theApp.ui->SetCheckState(marked.back(), 2);
        marked.pop_back();
    }
    theApp.ui->EnableControls();
}
