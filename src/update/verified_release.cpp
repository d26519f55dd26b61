#include "update/verified_release.h"

#include <windows.h>

bool CVerifiedRelease::Open(const char* path)
{
    Close();
    char full[MAX_PATH] = "";
    DWORD length = GetFullPathNameA(path, sizeof full, full, nullptr);
    if (length == 0 || length >= sizeof full)
        return false;
    // Read sharing only: a writer, a delete or a rename is refused while it is held.
    file = OwnHandle(CreateFileA(full, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                 FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file)
        return false;
    fullPath = full;
    return true;
}

void CVerifiedRelease::Close()
{
    file.reset();
    fullPath.clear();
}
