#include <atomic>
#include <cstring>
#include <new>
#include <string>

#include "core/file_system.h"
#include "core/side_file.h"
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

// `target` as the file system sees it: a relative one below the folder that
// was current when the archive was opened.
std::string FullTarget(const ZipReader* reader, const std::string& target)
{
    return IsAbsolute(target.c_str()) ? target : std::string(reader->baseDirectory) + target;
}

ZipResult MakeFolderEntry(const ZipReader* reader, const char* target)
{
    return MakeFolderWithParents(FullTarget(reader, target)) ? zipOk : zipCannotOpenFile;
}

// In place where nothing is there yet, beside the file that is there
// otherwise. Under Wine each folder test costs as much as a small file, so
// the folders are made only when the file cannot be created without them.
bool CreateFor(CSideFile& side, const std::string& path, DWORD attributes)
{
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (side.CreateInPlace(path, attributes))
            return true;
        DWORD error = GetLastError();
        if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS)
            return side.Create(path, zipSideSuffix, attributes);
        size_t nameStart = NameStart(path);
        if (attempt > 0 || error != ERROR_PATH_NOT_FOUND || nameStart == 0)
            return false;
        MakeFolderWithParents(path.substr(0, nameStart - 1));
    }
    return false;
}

ZipResult CopyEntry(ZipReader* reader, HANDLE file, const std::atomic<bool>* stop)
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
        if (stop && stop->load()) {
            result = zipStopped;
            break;
        }
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

// The entry is written beside its target, which it replaces only once it is
// whole and its checksum matches: an entry that cannot be read leaves the
// old file exactly as it was (and no new one where there was none).
ZipResult ExtractFileEntry(ZipReader* reader, const ZipEntryInfo& entry, const char* target,
                           const std::atomic<bool>* stop)
{
    std::string path = FullTarget(reader, target);
    // A path cut to fit would name another file.
    if (path.size() >= MAX_PATH)
        return zipCannotOpenFile;
    CSideFile side;
    if (!CreateFor(side, path, entry.attributes))
        return zipCannotOpenFile;
    ZipResult result = CopyEntry(reader, side.Handle(), stop);
    if (result != zipOk)
        return result;
    SetFileTime(side.Handle(), TimeOrNone(entry.creationTime), TimeOrNone(entry.accessTime),
                TimeOrNone(entry.modificationTime));
    if (!side.Place(true))
        return zipCannotOpenFile;
    // Made writable, so that a failure could remove it.
    if (entry.attributes & FILE_ATTRIBUTE_READONLY)
        SetFileAttributesA(path.c_str(), entry.attributes);
    return zipOk;
}

}  // namespace

ZipResult ZipExtractToFile(ZipHandle* handle, int32_t index, const char* targetPath, const std::atomic<bool>* stop)
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
    // Java and .NET tools mark no folder attribute; the name says it.
    size_t nameLength = std::strlen(entry.name);
    if ((entry.attributes & FILE_ATTRIBUTE_DIRECTORY) || nameLength == 0 ||
        IsPathSeparator(entry.name[nameLength - 1]))
        return MakeFolderEntry(reader, targetPath);
    return ExtractFileEntry(reader, entry, targetPath, stop);
}
