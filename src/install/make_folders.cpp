#include "install/make_folders.h"

#include <windows.h>
#include <shlobj.h>

void MakeFolderWithParents(const std::string& path)
{
    if (path.empty())
        return;
    // The shell makes only full paths.
    char full[MAX_PATH];
    DWORD length = GetFullPathNameA(path.c_str(), sizeof full, full, nullptr);
    if (length == 0 || length >= sizeof full)
        return;
    SHCreateDirectoryExA(nullptr, full, nullptr);
}
