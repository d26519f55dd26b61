#include "core/log.h"

#include <cstdarg>

CLog theLog;

bool CLog::OpenFile()
{
    // Text mode turns every "\n" into CR LF.
    stream = std::fopen("log.txt", "w+t");
    open = stream != nullptr;
    return open;
}

void CLog::WriteLine(const char* text)
{
    if (!open)
        return;
    std::fputs(text, stream);
    std::fputc('\n', stream);
    std::fflush(stream);
}

void CLog::WriteFormatted(const char* format, ...)
{
    if (!open)
        return;
    char buffer[256];
    va_list args;
    va_start(args, format);
    std::vsnprintf(buffer, sizeof buffer, format, args);  // longer lines are cut at 255
    va_end(args);
    WriteLine(buffer);
}

void CLog::WriteBlankLines(int count)
{
    if (!open)
        return;
    for (int i = 0; i <= count; ++i)
        std::fputc('\n', stream);
}

void CLog::Close()
{
    if (stream)
        std::fclose(stream);
    stream = nullptr;
    open = false;
}
