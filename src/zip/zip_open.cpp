#include <climits>
#include <new>

#include "core/file_system.h"
#include "zip/zip_reader.h"
#include "zip/zip_source.h"

namespace {

bool TakeBaseDirectory(char* base)
{
    DWORD length = GetCurrentDirectoryA(zipNameSize - 1, base);
    // Room is needed for the separator that may be appended.
    if (length == 0 || length >= zipNameSize - 1)
        return false;
    if (!IsPathSeparator(base[length - 1])) {
        base[length] = '/';
        base[length + 1] = '\0';
    }
    return true;
}

}  // namespace

ZipHandle* ZipOpenFile(const char* path, const char* password)
{
    if (!path)
        return nullptr;
    std::unique_ptr<ZipReader> reader(new (std::nothrow) ZipReader);
    if (!reader)
        return nullptr;
    if (password)
        reader->password = password;
    if (!TakeBaseDirectory(reader->baseDirectory))
        return nullptr;
    ZipSource* source = OpenZipSource(path);
    if (!source)
        return nullptr;
    zlib_filefunc64_def functions;
    FillZipSourceFunctions(&functions);
    reader->archive = unzOpen2_64(source, &functions);  // closes the source when it fails
    if (!reader->archive)
        return nullptr;
    reader->source = source;
    unz_global_info64 global;
    if (unzGetGlobalInfo64(reader->archive, &global) != UNZ_OK) {
        unzClose(reader->archive);
        return nullptr;
    }
    reader->entryCount = global.number_entry > INT_MAX ? INT_MAX : static_cast<int32_t>(global.number_entry);
    ZipHandle* handle = new (std::nothrow) ZipHandle{zipArchiveKind, reader.get()};
    if (!handle) {
        unzClose(reader->archive);
        return nullptr;
    }
    reader.release();
    return handle;
}

ZipResult ZipClose(ZipHandle* handle)
{
    ZipResult problem = CheckHandle(handle);
    if (problem != zipOk)
        return problem;
    unzClose(handle->reader->archive);
    delete handle->reader;
    delete handle;
    return zipOk;
}
