#include "install/catalogue_message.h"

#include "core/application.h"
#include "core/window_operations.h"

void ShowCatalogueMessage()
{
    if (theApp.catalogueMessage.empty())
        return;
    theApp.ui->ShowMessage(theApp.mainWindow, theApp.catalogueMessage.c_str(), "Punk Buster info",
                           MB_OK | MB_ICONINFORMATION);
}
