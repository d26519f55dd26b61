#include "app/startup.h"

#include <process.h>
#include <vector>

#include "app/application.h"
#include "catalogue/catalogue.h"
#include "transfer/catalogue_fetch.h"
#include "ui/window_operations.h"

void StartThread(void (*body)())
{
    _beginthread([](void* argument) { reinterpret_cast<void (*)()>(argument)(); },
                 0, reinterpret_cast<void*>(body));
}

void RunStartup()
{
    if (!FetchCatalogue()) {
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
