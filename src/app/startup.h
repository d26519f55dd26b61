#pragma once
#include "core/workers.h"

struct CatalogueMirrors;

// Body of the start-up thread: fetch the catalogue, read its header and look
// for a newer release, check the marked items, unlock the controls.
void RunStartup();

// Reads the catalogue header: keeps its message for the readme button and
// hands the version to the update check. True only when a newer release was
// started.
bool ApplyCatalogueHeader();

// The catalogue from the first mirror that delivers one, with its header
// applied and the status line cleared. False when the user gave up.
bool LoadCatalogue(const CatalogueMirrors& mirrors, const StopRequest& stop);
