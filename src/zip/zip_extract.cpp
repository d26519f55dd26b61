#include <cstring>
#include <new>
#include <string>

#include "zip/zip_folders.h"
#include "zip/zip_names.h"
#include "zip/zip_password.h"
#include "zip/zip_reader.h"

namespace {

bool IsAbsolute(const char* path)
{
    return IsPathSeparator(path[0]) || (path[0] != '\0' && path[1] == ':');
}

const FILETIME* TimeOrNone(const FILETIME& time)
{
    return time.dwLowDateTime == 0 && time.dwHighDateTime == 0 ? nullptr : &time;
}

ZipResult MakeFolderEntry(const ZipReader* reader, const char* target)
{
    const char* base = IsAbsolute(target) ? nullptr : reader->baseDirectory;
    // Checked whole first, so that no parent is made for a folder that cannot be.
    if ((base ? std::strlen(base) : 0) + std::strlen(target) >= MAX_PATH)
        return zipCannotOpenFile;
    return MakeDirectoryChain(base, target) ? zipOk : zipCannotOpenFile;
}

// Under Wine each folder test costs as much as a small file, so the folders
// are made only when the file cannot be created without them.
HANDLE CreateTarget(const std::string& path, DWORD attributes)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, attributes, nullptr);
    if (file != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS)
        return file;
    // Windows refuses to replace a read-only file; Wine run as root would not.
    DWORD existing = GetFileAttributesA(path.c_str());
    if (existing != INVALID_FILE_ATTRIBUTES && (existing & FILE_ATTRIBUTE_READONLY)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return INVALID_HANDLE_VALUE;
    }
    return CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, attributes, nullptr);
}

ZipResult CopyEntry(ZipReader* reader, HANDLE file)
{
    const char* password = nullptr;
    if (reader->cachedEncrypted && reader->password)
        password = reader->password->c_str();
    int opened = unzOpenCurrentFilePassword(reader->archive, password);
    if (!reader->copyBuffer)
        reader->copyBuffer.reset(new (std::nothrow) char[zipCopyBufferSize]);
    char* buffer = reader->copyBuffer.get();
    ZipResult result = zipOk;
    if (opened != UNZ_OK || !buffer)
        result = zipInflateFailed;
    else if (reader->cachedEncrypted && !PasswordMatches(reader))
        result = zipPasswordRequired;
    while (result == zipOk) {
        int got = unzReadCurrentFile(reader->archive, buffer, zipCopyBufferSize);
        if (got < 0) {
            result = zipInflateFailed;
            break;
        }
        DWORD written = 0;
        if (got > 0 && !WriteFile(file, buffer, static_cast<DWORD>(got), &written, nullptr)) {
            result = zipWriteFailed;
            break;
        }
        if (unzeof(reader->archive) == 1)
            break;
        if (got == 0)
            result = zipInflateFailed;
    }
    // Also after a failed open, which may leave the entry half open. Data that
    // does not match its checksum is no good copy either.
    if (unzCloseCurrentFile(reader->archive) == UNZ_CRCERROR && result == zipOk)
        result = zipInflateFailed;
    return result;
}

ZipResult ExtractFileEntry(ZipReader* reader, const ZipEntryInfo& entry, const char* target)
{
    const char* fileName = AfterLastSeparator(target);
    std::string folder(target, fileName);
    bool absolute = IsAbsolute(folder.c_str());
    std::string path = (absolute ? std::string() : std::string(reader->baseDirectory)) + folder + fileName;
    // A path cut to fit would name another file.
    if (path.size() >= MAX_PATH)
        return zipCannotOpenFile;
    HANDLE file = CreateTarget(path, entry.attributes);
    if (file == INVALID_HANDLE_VALUE && GetLastError() == ERROR_PATH_NOT_FOUND) {
        MakeDirectoryChain(absolute ? nullptr : reader->baseDirectory, folder.c_str());
        file = CreateTarget(path, entry.attributes);
    }
    if (file == INVALID_HANDLE_VALUE)
        return zipCannotOpenFile;
    ZipResult result = CopyEntry(reader, file);
    if (result == zipOk)
        SetFileTime(file, TimeOrNone(entry.creationTime), TimeOrNone(entry.accessTime),
                    TimeOrNone(entry.modificationTime));
    CloseHandle(file);
    return result;
}

}  // namespace

ZipResult ZipExtractToFile(ZipHandle* handle, int32_t index, const char* targetPath)
{
    ZipResult problem = CheckHandle(handle);
    if (problem != zipOk)
        return problem;
    ZipReader* reader = handle->reader;
    if (index < 0 || index >= reader->entryCount || !targetPath)
        return zipBadArgument;
    if (!PositionOn(reader, index))
        return zipCorruptArchive;
    ZipEntryInfo entry;
    ZipResult looked = LookUpEntry(reader, index, &entry);
    if (looked != zipOk)
        return looked;
    if (!IsSafeEntryName(entry.name))
        return zipUnsafeName;
    if (entry.attributes & FILE_ATTRIBUTE_DIRECTORY)
        return MakeFolderEntry(reader, targetPath);
    return ExtractFileEntry(reader, entry, targetPath);
}
