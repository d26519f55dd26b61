#include "support/zip_support.h"

#include "support/test_folder.h"

std::string Fixture(const std::string& name)
{
    return BesideThisProgram("fixtures\\" + name);
}

std::string Original(const std::string& key)
{
    return ReadWholeFile(Fixture("originals\\" + key));
}

bool Exists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

uint64_t Ticks(const FILETIME& time)
{
    return (static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

uint64_t UtcTicks(int year, int month, int day, int hour, int minute, int second)
{
    SYSTEMTIME utc = {};
    utc.wYear = static_cast<WORD>(year);
    utc.wMonth = static_cast<WORD>(month);
    utc.wDay = static_cast<WORD>(day);
    utc.wHour = static_cast<WORD>(hour);
    utc.wMinute = static_cast<WORD>(minute);
    utc.wSecond = static_cast<WORD>(second);
    FILETIME time = {};
    SystemTimeToFileTime(&utc, &time);
    return Ticks(time);
}

uint64_t UnixTicks(uint64_t seconds)
{
    return seconds * 10000000ULL + 116444736000000000ULL;
}

FileFacts FactsOf(const std::string& path)
{
    FileFacts facts = {};
    facts.attributes = GetFileAttributesA(path.c_str());
    HANDLE file = CreateFileA(path.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        FILETIME creation, access, modification;
        if (GetFileTime(file, &creation, &access, &modification)) {
            facts.creationTime = Ticks(creation);
            facts.accessTime = Ticks(access);
            facts.modificationTime = Ticks(modification);
        }
        LARGE_INTEGER size;
        if (GetFileSizeEx(file, &size))
            facts.size = static_cast<uint64_t>(size.QuadPart);
        CloseHandle(file);
    }
    return facts;
}

CArchive::CArchive(const std::string& fixture, const char* password)
    : handle(ZipOpenFile(Fixture(fixture).c_str(), password))
{
}

CArchive::~CArchive()
{
    if (handle)
        ZipClose(handle);
}

ZipEntryInfo CArchive::Entry(int32_t index, ZipResult* result)
{
    ZipEntryInfo info = {};
    ZipResult got = ZipGetEntry(handle, index, &info);
    if (result)
        *result = got;
    return info;
}

int32_t CArchive::Find(const std::string& name)
{
    ZipEntryInfo count = Entry(-1);
    for (int32_t i = 0; i < count.index; ++i) {
        if (Entry(i).name == name)
            return i;
    }
    return -1;
}
