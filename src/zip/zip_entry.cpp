#include <cstring>
#include <iterator>
#include <vector>

#include "zip/zip_attributes.h"
#include "zip/zip_names.h"
#include "zip/zip_reader.h"
#include "zip/zip_times.h"

static_assert(zipAttributeReadOnly == FILE_ATTRIBUTE_READONLY && zipAttributeHidden == FILE_ATTRIBUTE_HIDDEN &&
                  zipAttributeSystem == FILE_ATTRIBUTE_SYSTEM && zipAttributeDirectory == FILE_ATTRIBUTE_DIRECTORY &&
                  zipAttributeArchive == FILE_ATTRIBUTE_ARCHIVE,
              "the attribute bits are Windows' own");

namespace {

// The local header must agree with the directory; its extra field holds the
// extended timestamp, and the entry's data follows it.
ZipResult ReadLocalExtraField(unzFile archive, std::vector<unsigned char>* extra, uint64_t* dataStart)
{
    int method = 0;
    if (unzOpenCurrentFile2(archive, &method, nullptr, 1) != UNZ_OK)
        return zipCorruptArchive;
    *dataStart = unzGetCurrentFileZStreamPos64(archive);
    int size = unzGetLocalExtrafield(archive, nullptr, 0);
    extra->resize(size > 0 ? size : 0);
    int got = size > 0 ? unzGetLocalExtrafield(archive, extra->data(), static_cast<unsigned>(size)) : 0;
    unzCloseCurrentFile(archive);
    return got == size ? zipOk : zipReadFailed;
}

// An entry whose data lies in the data of another entry that was looked up
// before is refused: so one stretch of deflate data can be written only
// once, however many directory entries point into it.
bool ClaimDataSpan(ZipReader* reader, int32_t index, uint64_t start, uint64_t size)
{
    if (size == 0)
        return true;
    uint64_t end = size > UINT64_MAX - start ? UINT64_MAX : start + size;
    auto& spans = reader->dataSpans;
    auto next = spans.lower_bound(start);
    if (next != spans.end() && next->first < end && next->second.index != index)
        return false;
    if (next != spans.begin()) {
        auto before = std::prev(next);
        if (before->second.end > start && before->second.index != index)
            return false;
    }
    if (next == spans.end() || next->first != start)
        spans.emplace(start, ZipReader::DataSpan{end, index});
    return true;
}

}  // namespace

ZipResult CheckHandle(const ZipHandle* handle)
{
    if (!handle)
        return zipBadArgument;
    if (handle->kind != zipArchiveKind)
        return zipWrongHandleKind;
    return zipOk;
}

bool PositionOn(ZipReader* reader, int32_t index)
{
    unz64_file_pos position;
    uint64_t current = 0;
    if (unzGetFilePos64(reader->archive, &position) != UNZ_OK || position.num_of_file > static_cast<uint64_t>(index)) {
        if (unzGoToFirstFile(reader->archive) != UNZ_OK)
            return false;
    } else {
        current = position.num_of_file;
    }
    for (; current < static_cast<uint64_t>(index); ++current) {
        if (unzGoToNextFile(reader->archive) != UNZ_OK)
            return false;
    }
    return true;
}

ZipResult LookUpEntry(ZipReader* reader, int32_t index, ZipEntryInfo* info)
{
    if (index == reader->cachedIndex) {
        *info = reader->cachedEntry;
        return zipOk;
    }
    if (!PositionOn(reader, index))
        return zipCorruptArchive;
    unz_file_info64 file;
    char storedName[zipNameSize];
    if (unzGetCurrentFileInfo64(reader->archive, &file, storedName, sizeof storedName, nullptr, 0, nullptr, 0) != UNZ_OK)
        return zipCorruptArchive;
    // minizip leaves a name that fills the buffer unterminated; we refuse it
    // rather than write under a shortened name.
    if (file.size_filename >= sizeof storedName)
        return zipUnsafeName;
    storedName[file.size_filename] = '\0';
    if (file.compression_method != 0 && file.compression_method != Z_DEFLATED)
        return zipCorruptArchive;
    std::vector<unsigned char> extra;
    uint64_t dataStart = 0;
    ZipResult local = ReadLocalExtraField(reader->archive, &extra, &dataStart);
    if (local != zipOk)
        return local;
    if (!ClaimDataSpan(reader, index, dataStart, file.compressed_size))
        return zipCorruptArchive;

    ZipEntryInfo entry = {};
    entry.index = index;
    std::strcpy(entry.name, CleanEntryName(storedName));
    TrimNameParts(entry.name);
    entry.attributes = WindowsAttributes(file.version, file.external_fa);
    entry.compressedSize = static_cast<int32_t>(file.compressed_size);
    entry.uncompressedSize = static_cast<int32_t>(file.uncompressed_size);
    DosStampToFileTime(file.dosDate, &entry.modificationTime);
    entry.accessTime = entry.creationTime = entry.modificationTime;
    ApplyExtendedTimestamp(extra.data(), extra.size(), &entry);

    reader->cachedEntry = entry;
    reader->cachedIndex = index;
    reader->cachedEncrypted = (file.flag & 1) != 0;
    // With a data descriptor the CRC is not known when the header is written,
    // so the check byte is the high byte of the DOS time instead.
    reader->cachedCheckByte = static_cast<unsigned char>((file.flag & 8) ? (file.dosDate >> 8) : (file.crc >> 24));
    *info = entry;
    return zipOk;
}

ZipResult ZipGetEntry(ZipHandle* handle, int32_t index, ZipEntryInfo* info)
{
    if (!info)
        return zipBadArgument;
    info->index = 0;
    info->name[0] = '\0';
    info->uncompressedSize = 0;
    ZipResult problem = CheckHandle(handle);
    if (problem != zipOk)
        return problem;
    ZipReader* reader = handle->reader;
    if (index < -1 || index >= reader->entryCount)
        return zipBadArgument;
    if (index == -1) {
        *info = ZipEntryInfo{};
        info->index = reader->entryCount;
        return zipOk;
    }
    return LookUpEntry(reader, index, info);
}
