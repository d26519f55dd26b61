// Extracts a whole archive below a folder the way the install run does, and
// prints the time it took.
#include <cstdio>
#include <string>
#include <windows.h>

#include "zip/zip.h"

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: zip_bench archive.zip folder\n");
        return 2;
    }
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    ZipHandle* handle = ZipOpenFile(argv[1], nullptr);
    bool opened = handle != nullptr;
    ZipEntryInfo info;
    ZipGetEntry(handle, -1, &info);
    int32_t count = info.index;
    int failures = 0;
    for (int32_t i = 0; i < count; ++i) {
        ZipGetEntry(handle, i, &info);
        std::string target = std::string(argv[2]) + "/" + info.name;
        if (ZipExtractToFile(handle, i, target.c_str()) != zipOk)
            ++failures;
    }
    ZipClose(handle);
    QueryPerformanceCounter(&end);
    std::printf("%d entries, %d failed, %.3f s\n", count, failures,
                static_cast<double>(end.QuadPart - start.QuadPart) / frequency.QuadPart);
    return opened && failures == 0 ? 0 : 1;
}
