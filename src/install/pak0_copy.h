#pragma once
#include <string>

#include "core/workers.h"

class CWindowOperations;

// Copies the game's pak0.pk3 into the baseq3 folder of the installation
// folder (into the current folder when the installation folder is empty),
// never over an existing one. The stop request ends the copy, and no part
// of it is left.
void CopyPak0(const std::string& pak0Path, const std::string& installFolder, CWindowOperations& window,
              const StopRequest& stop);
