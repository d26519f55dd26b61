#include "core/log.h"

#include <cstdarg>
#include <windows.h>

#include "core/application.h"
#include "core/window_operations.h"

CLog theLog;

bool CLog::Open()
{
    // The whole path, so that Reopen finds this file whatever the current
    // folder is by then.
    if (!_fullpath(path, "log.txt", sizeof path))
        std::snprintf(path, sizeof path, "log.txt");
    // Text mode turns every "\n" into CR LF.
    stream = std::fopen(path, "w+t");
    open = stream != nullptr;
    if (!open)
        theApp.ui->ShowMessage(nullptr, "Nie uda\xb3o si\xea utworzy\xe6 pliku", "Log", MB_OK);
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

bool CLog::Reopen()
{
    if (!open && path[0])
        stream = std::fopen(path, "at");
    open = stream != nullptr;
    return open;
}

void CLog::Close()
{
    if (stream)
        std::fclose(stream);
    stream = nullptr;
    open = false;
}
