#pragma once
// Entry times: the DOS stamp of the directory entry and the Info-ZIP
// extended timestamp ("UT") of the local extra field.
#include <cstddef>
#include <cstdint>
#include <windows.h>

struct ZipEntryInfo;

// The stamp is local time (date in the high 16 bits); the result is UTC.
// False, with a zero time, when the stamp is no valid date.
bool DosStampToFileTime(uint32_t stamp, FILETIME* time);
FILETIME UnixSecondsToFileTime(int32_t seconds);
// Replaces the times that the first "UT" record of the field holds.
void ApplyExtendedTimestamp(const unsigned char* extra, size_t size, ZipEntryInfo* info);
