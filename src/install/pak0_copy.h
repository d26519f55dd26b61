#pragma once
#include <string>

// Copies the game's pak0.pk3 into the baseq3 folder of the installation
// folder (into the current folder when the installation folder is empty),
// never over an existing one.
void CopyPak0(const std::string& pak0Path, const std::string& installFolder);
