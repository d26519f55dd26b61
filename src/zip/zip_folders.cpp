#include "zip/zip_folders.h"

#include <cstdio>
#include <cstring>
#include <windows.h>

namespace {

bool IsSeparator(char c)
{
    return c == '\\' || c == '/';
}

void CreateIfMissing(const char* path)
{
    if (GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES)
        CreateDirectoryA(path, nullptr);
}

}  // namespace

bool MakeDirectoryChain(const char* base, const char* relativePath)
{
    if (base) {
        char folder[MAX_PATH];
        size_t length = std::strlen(base);
        if (length >= sizeof folder)
            return false;
        std::memcpy(folder, base, length + 1);
        if (length > 0 && IsSeparator(folder[length - 1]))
            folder[length - 1] = '\0';
        CreateIfMissing(folder);
    }
    if (relativePath[0] == '\0')
        return true;
    const char* last = nullptr;
    for (const char* c = relativePath; *c; ++c) {
        if (IsSeparator(*c))
            last = c;
    }
    if (last && last != relativePath) {
        char parent[MAX_PATH];
        size_t length = static_cast<size_t>(last - relativePath);
        if (length >= sizeof parent)
            return false;
        std::memcpy(parent, relativePath, length);
        parent[length] = '\0';
        if (!MakeDirectoryChain(base, parent))
            return false;
    }
    // A path cut to fit would make a folder of another name.
    char path[MAX_PATH];
    int length = std::snprintf(path, sizeof path, "%s%s", base ? base : "", relativePath);
    if (length < 0 || length >= static_cast<int>(sizeof path))
        return false;
    CreateIfMissing(path);
    return true;
}
