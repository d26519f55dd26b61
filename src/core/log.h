#pragma once
#include <cstdio>

// Writes "log.txt": one line per call, flushed at once, CR LF line ends.
class CLog {
public:
    // Starts a fresh log.txt; when it cannot be made, a message box says so.
    bool Open();
    // Open without the message box, for code that runs without a window.
    bool OpenFile();
    void WriteLine(const char* text);
    void WriteFormatted(const char* format, ...)
        __attribute__((format(printf, 2, 3)));
    void WriteBlankLines(int count);
    void Close();
    bool IsOpen() const { return open; }

private:
    bool open = false;
    FILE* stream = nullptr;
};

extern CLog theLog;
