#include "zip/zip_folders.h"

#include <string>
#include <windows.h>

namespace {

void CreateIfMissing(const std::string& path)
{
    if (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES)
        CreateDirectoryA(path.c_str(), nullptr);
}

}  // namespace

bool IsPathSeparator(char c)
{
    return c == '\\' || c == '/';
}

const char* AfterLastSeparator(const char* path)
{
    const char* leaf = path;
    for (const char* c = path; *c; ++c) {
        if (IsPathSeparator(*c))
            leaf = c + 1;
    }
    return leaf;
}

bool MakeDirectoryChain(const char* base, const char* relativePath)
{
    std::string prefix = base ? base : "";
    if (base) {
        std::string folder = prefix;
        if (!folder.empty() && IsPathSeparator(folder.back()))
            folder.pop_back();
        if (folder.size() >= MAX_PATH)
            return false;
        CreateIfMissing(folder);
    }
    if (relativePath[0] == '\0')
        return true;
    size_t leaf = static_cast<size_t>(AfterLastSeparator(relativePath) - relativePath);
    if (leaf > 1 && !MakeDirectoryChain(base, std::string(relativePath, leaf - 1).c_str()))
        return false;
    // A path cut to fit would make a folder of another name.
    std::string path = prefix + relativePath;
    if (path.size() >= MAX_PATH)
        return false;
    CreateIfMissing(path);
    return true;
}
