#pragma once
#include <string>

#include "core/file_system.h"

// A downloaded release held open from its first check to its start. Others
// may read it, but none can write, delete or rename it meanwhile, so the
// program started is the one whose bytes were checked.
class CVerifiedRelease {
public:
    // Holds the file at `path`, relative to the current folder now. False
    // when it cannot be opened so (gone, or open for writing elsewhere).
    bool Open(const char* path);
    // Lets the file go; the new instance renames it once this one has ended.
    void Close();

    CFileHandle file;
    // What is started: the name is not looked up again in whatever the
    // current folder is by then.
    std::string fullPath;
};
