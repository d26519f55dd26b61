#include "zip/zip_times.h"

#include "zip/zip.h"

namespace {

uint32_t LittleEndian16(const unsigned char* at)
{
    return at[0] | (at[1] << 8);
}

int32_t LittleEndian32(const unsigned char* at)
{
    return static_cast<int32_t>(at[0] | (at[1] << 8) | (at[2] << 16) | (static_cast<uint32_t>(at[3]) << 24));
}

}  // namespace

bool DosStampToFileTime(uint32_t stamp, FILETIME* time)
{
    uint32_t date = stamp >> 16;
    SYSTEMTIME local = {};
    local.wYear = static_cast<WORD>(((date >> 9) & 0x7F) + 1980);
    local.wMonth = static_cast<WORD>((date >> 5) & 0x0F);
    local.wDay = static_cast<WORD>(date & 0x1F);
    local.wHour = static_cast<WORD>((stamp >> 11) & 0x1F);
    local.wMinute = static_cast<WORD>((stamp >> 5) & 0x3F);
    local.wSecond = static_cast<WORD>((stamp & 0x1F) * 2);
    FILETIME localTime;
    if (SystemTimeToFileTime(&local, &localTime) && LocalFileTimeToFileTime(&localTime, time))
        return true;
    *time = FILETIME{};
    return false;
}

FILETIME UnixSecondsToFileTime(int32_t seconds)
{
    uint64_t ticks = static_cast<uint64_t>(static_cast<int64_t>(seconds) * 10000000LL + 116444736000000000LL);
    FILETIME time;
    time.dwLowDateTime = static_cast<DWORD>(ticks);
    time.dwHighDateTime = static_cast<DWORD>(ticks >> 32);
    return time;
}

void ApplyExtendedTimestamp(const unsigned char* extra, size_t size, ZipEntryInfo* info)
{
    size_t start = 0;
    while (start + 4 < size) {
        uint32_t tag = LittleEndian16(extra + start);
        size_t dataSize = LittleEndian16(extra + start + 2);
        if (tag != 0x5455) {  // "UT"
            start += 4 + dataSize;
            continue;
        }
        // A record cut short by the end of the field is read as far as it goes.
        const unsigned char* data = extra + start + 4;
        size_t available = size - start - 4;
        if (dataSize < available)
            available = dataSize;
        if (available < 1)
            return;
        unsigned flags = data[0];
        size_t at = 1;
        FILETIME* targets[] = {&info->modificationTime, &info->accessTime, &info->creationTime};
        for (int bit = 0; bit < 3; ++bit) {
            if (!(flags & (1u << bit)))
                continue;
            if (at + 4 > available)
                return;
            *targets[bit] = UnixSecondsToFileTime(LittleEndian32(data + at));
            at += 4;
        }
        return;
    }
}
