#pragma once
#include "core/workers.h"

class CApplication;
class CLog;
class CWindowOperations;
struct CatalogueMirrors;

// Opens the log; when it cannot be written, a box in `window` says so.
bool OpenLog(CLog& log, CWindowOperations& window);

// Body of the start-up thread: fetch the catalogue, read its header and look
// for a newer release, check the marked items, unlock the controls.
void RunStartup(CApplication& app);

// Reads the catalogue header: keeps its message for the readme button and
// hands the version to the update check. True only when a newer release was
// started; the program is then asked to end.
bool ApplyCatalogueHeader(CWindowOperations& window, CApplication& app, const StopRequest& stop);

// Downloads the catalogue from the first mirror whose text holds an items
// block into app.catalogueText, builds the tree from it in `window`, applies
// its header and clears the status line. After every mirror failed, the user
// is asked whether to try again. False when the user gave up, or when `stop`
// ended it.
bool LoadCatalogue(CWindowOperations& window, const CatalogueMirrors& mirrors, CApplication& app,
                   const StopRequest& stop);
