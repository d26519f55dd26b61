#pragma once
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>

// Writes "log.txt": one line per call, flushed at once, CR LF line ends.
// Every thread writes here, and the update closes and reopens the file on
// the start-up thread, so each operation holds the lock.
class CLog {
public:
    // Starts a fresh log.txt in the current folder; false when it cannot be made.
    bool Open();
    void WriteLine(const char* text);
    void WriteFormatted(const char* format, ...)
        __attribute__((format(printf, 2, 3)));
    void WriteBlankLines(int count);
    void Close();
    // Opens the file of the last Open again, for appending, without a box
    // when it cannot: a run that handed its log over and got it back.
    bool Reopen();
    bool IsOpen() const;

private:
    mutable std::mutex guard;
    bool open = false;
    FILE* stream = nullptr;
    std::string path;
};

extern CLog theLog;
