#pragma once
// The archive extraction layer: a handle over one zip archive, the record of
// each entry, and extraction of an entry to a path of the caller's choosing.
#include <atomic>
#include <cstdint>
#include <windows.h>

typedef uint32_t ZipResult;

const ZipResult zipOk = 0;
const ZipResult zipCannotOpenFile = 0x200;
const ZipResult zipWriteFailed = 0x400;
const ZipResult zipCorruptArchive = 0x700;
const ZipResult zipReadFailed = 0x800;
const ZipResult zipPasswordRequired = 0x1000;
const ZipResult zipBadArgument = 0x10000;
// The entry's name would lead out of the folder it is extracted to, would not
// name a plain file there (a device such as CON, a stream, a character that
// Windows forbids), or is too long to be held whole.
const ZipResult zipUnsafeName = 0x20000;
// The caller's stop request ended the extraction; the target is as it was.
const ZipResult zipStopped = 0x40000;
const ZipResult zipWrongHandleKind = 0x80000;
const ZipResult zipInflateFailed = 0x5000000;

const uint32_t zipArchiveKind = 1;
// Added to an entry's target while the entry is written.
constexpr char zipSideSuffix[] = ".unpacking";
const int zipNameSize = 260;

struct ZipEntryInfo {
    int32_t index;  // for index -1: the number of entries
    char name[zipNameSize];
    uint32_t attributes;
    FILETIME accessTime;
    FILETIME creationTime;
    FILETIME modificationTime;
    int32_t compressedSize;
    int32_t uncompressedSize;
};

struct ZipReader;

struct ZipHandle {
    uint32_t kind;
    ZipReader* reader;
};

// Null when the file cannot be opened or is no zip archive. Relative targets
// of later extractions are resolved against the current directory as it is
// at this call.
ZipHandle* ZipOpenFile(const char* path, const char* password);
ZipResult ZipGetEntry(ZipHandle* handle, int32_t index, ZipEntryInfo* info);
// A file entry is written beside an existing target (named with
// zipSideSuffix), or where none is yet, and is kept only when whole and its
// checksum matches; any failure, or `stop` set while it is copied, leaves
// an existing target as it was and a missing one missing.
ZipResult ZipExtractToFile(ZipHandle* handle, int32_t index, const char* targetPath,
                           const std::atomic<bool>* stop = nullptr);
ZipResult ZipClose(ZipHandle* handle);
