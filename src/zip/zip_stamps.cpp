#include "zip/zip_stamps.h"

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

DosDateTime SplitDosStamp(uint32_t stamp)
{
    uint32_t date = stamp >> 16;
    DosDateTime split;
    split.year = ((date >> 9) & 0x7F) + 1980;
    split.month = (date >> 5) & 0x0F;
    split.day = date & 0x1F;
    split.hour = (stamp >> 11) & 0x1F;
    split.minute = (stamp >> 5) & 0x3F;
    split.second = (stamp & 0x1F) * 2;
    return split;
}

uint64_t UnixSecondsToTicks(int32_t seconds)
{
    return static_cast<uint64_t>(static_cast<int64_t>(seconds) * 10000000LL + 116444736000000000LL);
}

ExtendedTimestamp ReadExtendedTimestamp(const unsigned char* extra, size_t size)
{
    ExtendedTimestamp times = {};
    size_t start = 0;
    while (start + 4 < size) {
        uint32_t tag = LittleEndian16(extra + start);
        size_t dataSize = LittleEndian16(extra + start + 2);
        if (tag != 0x5455) {  // "UT"
            start += 4 + dataSize;
            continue;
        }
        const unsigned char* data = extra + start + 4;
        size_t available = size - start - 4;
        if (dataSize < available)
            available = dataSize;
        if (available < 1)
            return times;
        unsigned flags = data[0];
        size_t at = 1;
        bool* present[] = {&times.hasModification, &times.hasAccess, &times.hasCreation};
        uint64_t* values[] = {&times.modification, &times.access, &times.creation};
        for (int bit = 0; bit < 3; ++bit) {
            if (!(flags & (1u << bit)))
                continue;
            if (at + 4 > available)
                return times;
            *values[bit] = UnixSecondsToTicks(LittleEndian32(data + at));
            *present[bit] = true;
            at += 4;
        }
        return times;
    }
    return times;
}
