#pragma once
#include <string>

// Compares the catalogue's version with our own; true only when a newer
// release was downloaded and started.
bool CheckForUpdate(int major, int minor, int patch, const std::string& updateUrl,
                    const std::string& updateSizeLine);
