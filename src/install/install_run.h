#pragma once
#include <memory>
#include <string>
#include <windows.h>

#include "core/progress.h"
#include "core/workers.h"

class CCatalogue;
class CLookAhead;
class CSettings;
class CWindowOperations;

// One install run: what it is given when it starts, where it reports, and
// its own counts. The window thread makes one for each run it starts, locks
// the controls for it, and ends it and unlocks them when the run is over.
class CInstallRun {
public:
    CInstallRun(CWindowOperations& window, const CCatalogue& catalogue, CSettings& settings,
                const std::string& catalogueMessage, HWND messageOwner, const StopRequest& stop);
    ~CInstallRun();

    CWindowOperations& window;
    const CCatalogue& catalogue;
    // Its showMessage asks for the catalogue message at the run's end.
    CSettings& settings;
    const std::string& catalogueMessage;
    HWND messageOwner;
    const StopRequest& stop;

    // The two paths as the edit boxes held them when the run started.
    std::string pak0Path;
    std::string installPath;

    // How many files are fetched at once; 1 fetches each at its turn only.
    int transfers = 1;

    CProgress progress;
    std::string currentItemName;  // the current file, as the status line names it
    bool someItemFailed = false;
    // The files after the current one, fetched while it is worked on.
    std::unique_ptr<CLookAhead> lookAhead;
    size_t fileIndex = 0;  // of the current file, in the run's order
};

struct DownloadReport;
// What a file download of the run reports, shown on the run's bars and
// status line, the bytes of a file started anew counted once.
DownloadReport DownloadReportOf(CInstallRun& run);

// Body of an install thread: copy pak0.pk3, download and unpack every
// checked item, report, and show the catalogue message once. It locks the
// controls as it starts and leaves them locked: its owner unlocks them once
// the thread is done.
void RunInstall(CInstallRun& run);
