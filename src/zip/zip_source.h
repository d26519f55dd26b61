#pragma once
// The archive file as minizip reads it: our own file functions over a
// CreateFileA handle, with a small read-ahead for minizip's many tiny reads.
#include <cstddef>
#include <cstdint>
#include <windows.h>
#include <ioapi.h>

#include "core/file_system.h"

struct ZipSource {
    CFileHandle file;
    bool failed;  // a ReadFile failed; minizip asks through its error function
    uint64_t size;  // the archive is shared for reading only, so it cannot change
    uint64_t position;
    uint64_t aheadStart;
    size_t aheadLength;
    unsigned char ahead[4096];
};

// Null when the file cannot be opened for reading.
ZipSource* OpenZipSource(const char* path);
// Functions for unzOpen2_64, whose path argument is then the ZipSource; the
// source is freed by minizip's close, also when minizip fails to open it.
void FillZipSourceFunctions(zlib_filefunc64_def* functions);
// Reads at an absolute offset without disturbing minizip, which always seeks
// before it reads.
bool ReadZipSourceAt(ZipSource* source, uint64_t offset, void* buffer, size_t size);
