#pragma once
// Entry times as plain numbers: the fields of a DOS stamp and the Info-ZIP
// extended timestamp ("UT") of a local extra field. zip_times.h turns them
// into FILETIMEs.
#include <cstddef>
#include <cstdint>

struct DosDateTime {
    unsigned year, month, day, hour, minute, second;
};

// Date in the high 16 bits, time in the low 16; not checked for validity.
DosDateTime SplitDosStamp(uint32_t stamp);
// 100-nanosecond ticks since 1601-01-01 UTC, as a FILETIME counts them.
uint64_t UnixSecondsToTicks(int32_t seconds);

struct ExtendedTimestamp {
    bool hasModification, hasAccess, hasCreation;
    uint64_t modification, access, creation;  // ticks, where present
};

// The times of the first "UT" record of the field; a record cut short is read
// as far as it goes. Bytes of any kind are safe to give.
ExtendedTimestamp ReadExtendedTimestamp(const unsigned char* extra, size_t size);
