#include "core/file_system.h"

#include <windows.h>
#include <shlobj.h>

void FileHandleCloser::operator()(void* handle) const
{
    CloseHandle(handle);
}

CFileHandle OwnHandle(void* handle)
{
    return CFileHandle(handle == INVALID_HANDLE_VALUE ? nullptr : handle);
}

CFileHandle OpenForReading(const std::string& path, ReadPattern pattern)
{
    DWORD flags = pattern == ReadPattern::straightThrough ? FILE_FLAG_SEQUENTIAL_SCAN : FILE_ATTRIBUTE_NORMAL;
    return OwnHandle(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, flags, nullptr));
}

std::optional<uint64_t> FileSizeOf(const std::string& path)
{
    // Read from the folder's entry: no open, which under Wine costs a trip
    // to the server, and none that another program's lock could refuse.
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return std::nullopt;
    return (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

bool IsReadOnlyFile(const std::string& path)
{
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
}

bool MakeFolder(const std::string& path)
{
    if (CreateDirectoryA(path.c_str(), nullptr))
        return true;
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool MakeFolderWithParents(const std::string& path)
{
    if (path.empty() || path.size() >= MAX_PATH)
        return false;
    // The shell makes only full paths.
    char full[MAX_PATH];
    DWORD length = GetFullPathNameA(path.c_str(), sizeof full, full, nullptr);
    if (length == 0 || length >= sizeof full)
        return false;
    int result = SHCreateDirectoryExA(nullptr, full, nullptr);
    if (result == ERROR_SUCCESS)
        return true;
    DWORD attributes = GetFileAttributesA(full);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}
