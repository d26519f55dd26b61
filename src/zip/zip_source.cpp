#include "zip/zip_source.h"

#include <cstring>
#include <new>

namespace {

bool ReadFileAt(HANDLE file, uint64_t offset, void* buffer, DWORD size, DWORD* got)
{
    OVERLAPPED at = {};
    at.Offset = static_cast<DWORD>(offset);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    *got = 0;
    if (ReadFile(file, buffer, size, got, &at))
        return true;
    return GetLastError() == ERROR_HANDLE_EOF;  // reading at or past the end is no error
}

voidpf ZCALLBACK SourceOpen(voidpf, const void* source, int)
{
    return const_cast<void*>(source);
}

uLong ZCALLBACK SourceRead(voidpf, voidpf stream, void* buffer, uLong size)
{
    ZipSource* source = static_cast<ZipSource*>(stream);
    unsigned char* out = static_cast<unsigned char*>(buffer);
    uLong done = 0;
    while (done < size) {
        uint64_t position = source->position;
        // minizip reads a damaged directory a byte at a time, also far past
        // the end; each of those reads would otherwise cost a system call.
        if (position >= source->size)
            break;
        if (position >= source->aheadStart && position < source->aheadStart + source->aheadLength) {
            size_t offset = static_cast<size_t>(position - source->aheadStart);
            size_t piece = source->aheadLength - offset;
            if (piece > size - done)
                piece = size - done;
            std::memcpy(out + done, source->ahead + offset, piece);
            done += static_cast<uLong>(piece);
            source->position += piece;
            continue;
        }
        DWORD got = 0;
        if (size - done >= sizeof source->ahead) {
            // Large reads (entry data) go straight to the caller's buffer.
            if (!ReadFileAt(source->file.get(), position, out + done, size - done, &got)) {
                source->failed = true;
                break;
            }
            done += got;
            source->position += got;
            break;
        }
        if (!ReadFileAt(source->file.get(), position, source->ahead, sizeof source->ahead, &got)) {
            source->failed = true;
            break;
        }
        source->aheadStart = position;
        source->aheadLength = got;
        if (got == 0)
            break;
    }
    return done;
}

uLong ZCALLBACK SourceWrite(voidpf, voidpf, const void*, uLong)
{
    return 0;
}

ZPOS64_T ZCALLBACK SourceTell(voidpf, voidpf stream)
{
    return static_cast<ZipSource*>(stream)->position;
}

long ZCALLBACK SourceSeek(voidpf, voidpf stream, ZPOS64_T offset, int origin)
{
    ZipSource* source = static_cast<ZipSource*>(stream);
    uint64_t from = 0;
    if (origin == ZLIB_FILEFUNC_SEEK_CUR) {
        from = source->position;
    } else if (origin == ZLIB_FILEFUNC_SEEK_END) {
        from = source->size;
    } else if (origin != ZLIB_FILEFUNC_SEEK_SET) {
        return -1;
    }
    source->position = from + offset;
    return 0;
}

int ZCALLBACK SourceClose(voidpf, voidpf stream)
{
    delete static_cast<ZipSource*>(stream);
    return 0;
}

int ZCALLBACK SourceError(voidpf, voidpf stream)
{
    return static_cast<ZipSource*>(stream)->failed ? 1 : 0;
}

}  // namespace

ZipSource* OpenZipSource(const char* path)
{
    CFileHandle file = OpenForReading(path, ReadPattern::anyOrder);
    LARGE_INTEGER size;
    if (!file || !GetFileSizeEx(file.get(), &size))
        return nullptr;
    ZipSource* source = new (std::nothrow) ZipSource;
    if (!source)
        return nullptr;
    source->file = std::move(file);
    source->size = static_cast<uint64_t>(size.QuadPart);
    source->failed = false;
    source->position = 0;
    source->aheadStart = 0;
    source->aheadLength = 0;
    return source;
}

void FillZipSourceFunctions(zlib_filefunc64_def* functions)
{
    functions->zopen64_file = SourceOpen;
    functions->zread_file = SourceRead;
    functions->zwrite_file = SourceWrite;
    functions->ztell64_file = SourceTell;
    functions->zseek64_file = SourceSeek;
    functions->zclose_file = SourceClose;
    functions->zerror_file = SourceError;
    functions->opaque = nullptr;
}

bool ReadZipSourceAt(ZipSource* source, uint64_t offset, void* buffer, size_t size)
{
    source->position = offset;
    return SourceRead(nullptr, source, buffer, static_cast<uLong>(size)) == size;
}
