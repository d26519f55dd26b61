#pragma once
// Shared by the zip layer tests: the generated archives, and what Win32 says
// about an extracted file.
#include <cstdint>
#include <string>
#include <windows.h>

#include "zip/zip.h"

std::string Fixture(const std::string& name);
std::string Original(const std::string& key);
bool Exists(const std::string& path);

struct FileFacts {
    uint32_t attributes;
    uint64_t creationTime;
    uint64_t accessTime;
    uint64_t modificationTime;
    uint64_t size;
};
// Read before the content, so that reading does not move the access time.
FileFacts FactsOf(const std::string& path);

uint64_t Ticks(const FILETIME& time);
uint64_t UtcTicks(int year, int month, int day, int hour, int minute, int second);
const uint64_t unix2010 = 1262304000;  // 2010-01-01 00:00:00 UTC
uint64_t UnixTicks(uint64_t seconds);

// Opens a fixture and closes it at the end of the scope.
class CArchive {
public:
    explicit CArchive(const std::string& fixture, const char* password = nullptr);
    ~CArchive();
    ZipHandle* Handle() const { return handle; }
    ZipEntryInfo Entry(int32_t index, ZipResult* result = nullptr);
    // The index of the entry whose cleaned name is given; -1 if none.
    int32_t Find(const std::string& name);

private:
    ZipHandle* handle;
};
