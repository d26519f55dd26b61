#pragma once
// What one open archive keeps between calls; only the layer's own files see it.
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <unzip.h>

#include "zip/zip.h"

struct ZipSource;

const size_t zipCopyBufferSize = 16384;

struct ZipReader {
    unzFile archive = nullptr;
    ZipEntryInfo cachedEntry = {};
    int32_t cachedIndex = -1;
    std::optional<std::string> password;
    std::unique_ptr<char[]> copyBuffer;
    char baseDirectory[zipNameSize] = {};  // always ends in a separator
    ZipSource* source = nullptr;           // owned by the archive
    int32_t entryCount = 0;
    // Of the cached entry, for the password check of its extraction.
    bool cachedEncrypted = false;
    unsigned char cachedCheckByte = 0;
    // Where the data of each entry looked up so far lies: start, end and the
    // entry's index. Entries of a sound archive never share bytes.
    struct DataSpan {
        uint64_t end;
        int32_t index;
    };
    std::map<uint64_t, DataSpan> dataSpans;
};

// zipOk for an archive handle, else the code for the faulty one.
ZipResult CheckHandle(const ZipHandle* handle);
// Moves the archive's current entry forward to the index, restarting from
// the first entry for a smaller one. False when the directory cannot be
// stepped through that far.
bool PositionOn(ZipReader* reader, int32_t index);
// The record of an entry in range, from the cache or the archive.
ZipResult LookUpEntry(ZipReader* reader, int32_t index, ZipEntryInfo* info);
