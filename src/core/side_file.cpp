#include "core/side_file.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

namespace {

// Enough for a few instances and a few leftovers of killed runs.
constexpr int kSideNames = 10;

std::string SideName(const std::string& target, const char* suffix, int number)
{
    return number == 0 ? target + suffix : target + "." + std::to_string(number) + suffix;
}

}  // namespace

CSideFile::~CSideFile()
{
    Discard();
}

bool CSideFile::Create(const std::string& targetPath, const char* suffix, unsigned long attributes)
{
    Discard();
    DWORD error = ERROR_FILE_EXISTS;
    for (int number = 0; number < kSideNames; ++number) {
        std::string name = SideName(targetPath, suffix, number);
        handle = OwnHandle(CreateFileA(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                       attributes & ~FILE_ATTRIBUTE_READONLY, nullptr));
        if (handle) {
            target = targetPath;
            path = name;
            return true;
        }
        error = GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS && error != ERROR_SHARING_VIOLATION &&
            error != ERROR_ACCESS_DENIED)
            break;
    }
    SetLastError(error);
    return false;
}

bool CSideFile::CreateInPlace(const std::string& targetPath, unsigned long attributes)
{
    Discard();
    handle = OwnHandle(CreateFileA(targetPath.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                   attributes & ~FILE_ATTRIBUTE_READONLY, nullptr));
    if (!handle)
        return false;
    target = targetPath;
    path = targetPath;
    return true;
}

FILE* CSideFile::Stream(bool text)
{
    if (!stream && handle) {
        int descriptor = _open_osfhandle(reinterpret_cast<intptr_t>(handle.get()), text ? _O_TEXT : _O_BINARY);
        if (descriptor == -1)
            return nullptr;
        // From here the descriptor, and then the stream, closes the handle.
        handle.release();
        stream = _fdopen(descriptor, text ? "w+t" : "w+b");
        if (!stream)
            _close(descriptor);
    }
    return stream;
}

bool CSideFile::Empty()
{
    if (stream)
        return std::fflush(stream) == 0 && std::fseek(stream, 0, SEEK_SET) == 0 && _chsize(_fileno(stream), 0) == 0;
    if (!handle)
        return false;
    LARGE_INTEGER start = {};
    return SetFilePointerEx(handle.get(), start, nullptr, FILE_BEGIN) && SetEndOfFile(handle.get());
}

bool CSideFile::Close()
{
    bool written = true;
    if (stream) {
        written = std::fclose(stream) == 0;
        stream = nullptr;
    }
    handle.reset();
    return written;
}

bool CSideFile::Place(bool replace, bool writeThrough)
{
    if (path.empty())
        return false;
    bool placed = Close();
    if (placed && path == target) {
        path.clear();
        return true;
    }
    DWORD flags = writeThrough ? MOVEFILE_WRITE_THROUGH : 0;
    if (placed && replace) {
        placed = !IsReadOnlyFile(target);
        flags |= MOVEFILE_REPLACE_EXISTING;
    }
    if (placed && MoveFileExA(path.c_str(), target.c_str(), flags)) {
        path.clear();
        return true;
    }
    Discard();
    return false;
}

void CSideFile::Discard()
{
    if (path.empty())
        return;
    Close();
    DeleteFileA(path.c_str());
    path.clear();
}

bool CSideFile::MoveBeside(const std::string& newTarget, const char* suffix)
{
    if (path.empty() || !Close())
        return false;
    std::string moved = MoveAside(path, suffix, newTarget);
    if (moved.empty())
        return false;
    target = newTarget;
    path = moved;
    return true;
}

std::string MoveAside(const std::string& path, const char* suffix, const std::string& besides)
{
    for (int number = 0; number < kSideNames; ++number) {
        std::string name = SideName(besides.empty() ? path : besides, suffix, number);
        if (MoveFileExA(path.c_str(), name.c_str(), 0))
            return name;
        DWORD error = GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS && error != ERROR_ACCESS_DENIED)
            return "";
    }
    return "";
}
