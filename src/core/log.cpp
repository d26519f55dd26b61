#include "core/log.h"

#include <cstdarg>
#include <filesystem>

CLog theLog;

bool CLog::Open()
{
    std::lock_guard<std::mutex> hold(guard);
    // The whole path, so that Reopen finds this file whatever the current
    // folder is by then.
    std::error_code error;
    path = std::filesystem::absolute("log.txt", error).string();
    if (error)
        path = "log.txt";
    // Text mode turns every "\n" into CR LF.
    stream = std::fopen(path.c_str(), "w+t");
    open = stream != nullptr;
    return open;
}

void CLog::WriteLine(const char* text)
{
    std::lock_guard<std::mutex> hold(guard);
    if (!open)
        return;
    std::fputs(text, stream);
    std::fputc('\n', stream);
    std::fflush(stream);
}

void CLog::WriteFormatted(const char* format, ...)
{
    char buffer[256];
    va_list args;
    va_start(args, format);
    std::vsnprintf(buffer, sizeof buffer, format, args);  // longer lines are cut at 255
    va_end(args);
    WriteLine(buffer);
}

void CLog::WriteBlankLines(int count)
{
    std::lock_guard<std::mutex> hold(guard);
    if (!open)
        return;
    for (int i = 0; i <= count; ++i)
        std::fputc('\n', stream);
}

bool CLog::Reopen()
{
    std::lock_guard<std::mutex> hold(guard);
    if (!open && !path.empty())
        stream = std::fopen(path.c_str(), "at");
    open = stream != nullptr;
    return open;
}

void CLog::Close()
{
    std::lock_guard<std::mutex> hold(guard);
    if (stream)
        std::fclose(stream);
    stream = nullptr;
    open = false;
}

bool CLog::IsOpen() const
{
    std::lock_guard<std::mutex> hold(guard);
    return open;
}
