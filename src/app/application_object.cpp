// The application object is put together here, at the top, where the types
// it owns are all known.
#include "core/application.h"

#include "catalogue/catalogue.h"
#include "core/version.h"
#include "settings/settings.h"
#include "ui/win32_window_operations.h"

// After the hyperlink class registration, before the About dialog's links.
CApplication theApp __attribute__((init_priority(102)));

namespace {
// The real controls of the one application object, which keeps only its
// address while it is made.
CWin32WindowOperations realWindow(theApp, theApp.stopRequested);
}

CApplication::CApplication()
    : catalogue(new CCatalogue), settings(new CSettings), ui(&realWindow)
{
    title = "Tavrin " + VersionText();
}

CApplication::~CApplication() = default;
