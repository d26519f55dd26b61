#include "support/app_fixture.h"

#include <new>

#include "core/application.h"

void RebuildApplication()
{
    CWindowOperations* ui = theApp.ui;
    theApp.~CApplication();
    new (&theApp) CApplication;
    theApp.ui = ui;
}
