// Puts damaged archives through the layer the way the install run does, and
// reports what each did: the result codes, and any file that appeared beside
// the target folder. A crash or an archive that takes too long is reported
// on its line, and the program ends; the caller starts it again behind it.
//
// Usage: zip_mutation_run list.txt report.txt first seconds
//   list.txt:   one line per archive: its path, a tab, a sandbox folder
//   report.txt: appended, one line per event, flushed at once
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <string>
#include <vector>
#include <windows.h>

#include "support/file_tree.h"
#include "zip/zip.h"

namespace {

FILE* report = nullptr;
volatile LONG current = -1;

void Say(const char* format, ...)
{
    va_list arguments;
    va_start(arguments, format);
    std::vfprintf(report, format, arguments);
    va_end(arguments);
    std::fflush(report);
}

LONG WINAPI OnCrash(EXCEPTION_POINTERS* exception)
{
    Say("crash %ld %08lx\n", current, exception->ExceptionRecord->ExceptionCode);
    TerminateProcess(GetCurrentProcess(), 3);
    return EXCEPTION_EXECUTE_HANDLER;
}

struct Watch {
    HANDLE started;
    DWORD seconds;
};

// Ends the process when one archive takes longer than the limit.
DWORD WINAPI Watchdog(void* argument)
{
    Watch* watch = static_cast<Watch*>(argument);
    for (;;) {
        if (WaitForSingleObject(watch->started, watch->seconds * 1000) == WAIT_TIMEOUT) {
            Say("hang %ld\n", current);
            TerminateProcess(GetCurrentProcess(), 4);
        }
    }
}

bool IsResultCode(ZipResult result)
{
    for (ZipResult known : {zipOk, zipCannotOpenFile, zipWriteFailed, zipCorruptArchive, zipReadFailed,
                            zipPasswordRequired, zipBadArgument, zipUnsafeName, zipWrongHandleKind, zipInflateFailed})
        if (result == known)
            return true;
    return false;
}

void RemoveTree(const std::string& folder)
{
    std::vector<std::string> paths;
    ListTree(folder, &paths);
    for (auto path = paths.rbegin(); path != paths.rend(); ++path) {
        SetFileAttributesA(path->c_str(), FILE_ATTRIBUTE_NORMAL);
        if (!DeleteFileA(path->c_str()))
            RemoveDirectoryA(path->c_str());
    }
}

// The install run's calls: open, count, every record, then each record and
// its extraction below the target.
void Run(const std::string& archive, const std::string& sandbox)
{
    std::string target = sandbox + "\\target";
    CreateDirectoryA(sandbox.c_str(), nullptr);
    CreateDirectoryA(target.c_str(), nullptr);
    SetCurrentDirectoryA(sandbox.c_str());
    std::map<ZipResult, int> results;
    ZipHandle* handle = ZipOpenFile(archive.c_str(), nullptr);
    ZipEntryInfo info;
    ++results[ZipGetEntry(handle, -1, &info)];
    int32_t count = info.index;
    for (int32_t i = 0; i < count; ++i)
        ++results[ZipGetEntry(handle, i, &info)];
    int refused = 0;  // entries whose extraction was refused for their name
    for (int32_t i = 0; i < count; ++i) {
        ++results[ZipGetEntry(handle, i, &info)];
        ZipResult extracted = ZipExtractToFile(handle, i, (target + "/" + info.name).c_str());
        ++results[extracted];
        if (extracted == zipUnsafeName)
            ++refused;
    }
    if (handle)
        ++results[ZipClose(handle)];

    std::string codes;
    int unknown = 0;
    for (const auto& result : results) {
        char piece[40];
        std::snprintf(piece, sizeof piece, "%s%lx=%d", codes.empty() ? "" : ",",
                      static_cast<unsigned long>(result.first), result.second);
        codes += piece;
        if (!IsResultCode(result.first))
            unknown += result.second;
    }
    std::vector<std::string> paths;
    uint64_t bytes = 0;
    ListTree(sandbox, &paths, &bytes);
    int inside = 0, outside = 0;
    for (const std::string& path : paths) {
        if (path == target || path.compare(0, target.size() + 1, target + "\\") == 0) {
            ++inside;
        } else {
            ++outside;
            Say("outside %ld %s\n", current, path.c_str());
        }
    }
    SetCurrentDirectoryA("\\");
    RemoveTree(sandbox);
    RemoveDirectoryA(sandbox.c_str());
    Say("done %ld open=%d entries=%ld refused=%d codes=%s unknown=%d inside=%d outside=%d bytes=%llu\n", current,
        handle ? 1 : 0, static_cast<long>(count), refused, codes.c_str(), unknown, inside, outside,
        static_cast<unsigned long long>(bytes));
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 5) {
        std::fprintf(stderr, "usage: zip_mutation_run list.txt report.txt first seconds\n");
        return 2;
    }
    report = std::fopen(argv[2], "a");
    if (!report)
        return 2;
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
    SetUnhandledExceptionFilter(OnCrash);
    long first = std::atol(argv[3]);
    Watch watch = {CreateEventA(nullptr, FALSE, FALSE, nullptr), static_cast<DWORD>(std::atol(argv[4]))};
    CloseHandle(CreateThread(nullptr, 0, Watchdog, &watch, 0, nullptr));

    std::ifstream list(argv[1]);
    std::string line;
    for (long index = 0; std::getline(list, line); ++index) {
        if (index < first)
            continue;
        size_t tab = line.find('\t');
        if (tab == std::string::npos)
            continue;
        current = index;
        SetEvent(watch.started);
        Say("start %ld\n", index);
        Run(line.substr(0, tab), line.substr(tab + 1));
    }
    Say("end\n");
    return 0;
}
