#include "zip/zip_times.h"

#include "zip/zip.h"
#include "zip/zip_stamps.h"

namespace {

FILETIME TicksToFileTime(uint64_t ticks)
{
    FILETIME time;
    time.dwLowDateTime = static_cast<DWORD>(ticks);
    time.dwHighDateTime = static_cast<DWORD>(ticks >> 32);
    return time;
}

}  // namespace

bool DosStampToFileTime(uint32_t stamp, FILETIME* time)
{
    DosDateTime split = SplitDosStamp(stamp);
    SYSTEMTIME local = {};
    local.wYear = static_cast<WORD>(split.year);
    local.wMonth = static_cast<WORD>(split.month);
    local.wDay = static_cast<WORD>(split.day);
    local.wHour = static_cast<WORD>(split.hour);
    local.wMinute = static_cast<WORD>(split.minute);
    local.wSecond = static_cast<WORD>(split.second);
    FILETIME localTime;
    if (SystemTimeToFileTime(&local, &localTime) && LocalFileTimeToFileTime(&localTime, time))
        return true;
    *time = FILETIME{};
    return false;
}

void ApplyExtendedTimestamp(const unsigned char* extra, size_t size, ZipEntryInfo* info)
{
    ExtendedTimestamp times = ReadExtendedTimestamp(extra, size);
    if (times.hasModification)
        info->modificationTime = TicksToFileTime(times.modification);
    if (times.hasAccess)
        info->accessTime = TicksToFileTime(times.access);
    if (times.hasCreation)
        info->creationTime = TicksToFileTime(times.creation);
}
