#pragma once
// Entry times as Windows keeps them: the DOS stamp of the directory entry, in
// local time, and the extended timestamp of the local extra field, in UTC.
#include <cstddef>
#include <cstdint>
#include <windows.h>

struct ZipEntryInfo;

// The stamp is local time (date in the high 16 bits); the result is UTC.
// False, with a zero time, when the stamp is no valid date.
bool DosStampToFileTime(uint32_t stamp, FILETIME* time);
// Replaces the times that the first "UT" record of the field holds.
void ApplyExtendedTimestamp(const unsigned char* extra, size_t size, ZipEntryInfo* info);
