#pragma once
#include <string>

// Makes the folder and every missing folder above it; a relative path is
// taken from the current folder. Whether it worked shows when a file is put there.
void MakeFolderWithParents(const std::string& path);
