#include "support/file_tree.h"

#include <windows.h>

void ListTree(const std::string& folder, std::vector<std::string>* paths, uint64_t* bytes)
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        std::string name = found.cFileName;
        if (name == "." || name == "..")
            continue;
        paths->push_back(folder + "\\" + name);
        if (bytes)
            *bytes += static_cast<uint64_t>(found.nFileSizeHigh) << 32 | found.nFileSizeLow;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            ListTree(folder + "\\" + name, paths, bytes);
    } while (FindNextFileA(search, &found));
    FindClose(search);
}
