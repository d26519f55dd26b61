#pragma once
#include <memory>
#include <windows.h>

struct FileHandleCloser {
    void operator()(HANDLE handle) const { CloseHandle(handle); }
};

// A file handle closed with its owner; null stands for a failed open.
using CFileHandle = std::unique_ptr<void, FileHandleCloser>;

// What CreateFileA returned, with its failure value turned into null.
inline CFileHandle OwnHandle(HANDLE handle)
{
    return CFileHandle(handle == INVALID_HANDLE_VALUE ? nullptr : handle);
}
