#pragma once
#include <cstddef>
#include <string>

#include "core/workers.h"

// Where a text transfer writes: the text, and the most it may hold. A
// server that never stops sending would otherwise take all memory.
struct TextTarget {
    std::string& text;
    size_t limit;
};

// libcurl write callback: appends the whole block to the TextTarget
// `target`; refuses it once the text would pass the limit, which ends the
// transfer with libcurl's code 23.
size_t WriteToText(char* data, size_t size, size_t count, void* target);

// Downloads the answer of `url` into `text`, which it empties first, with
// the limits of a file download. libcurl's code: 0 when it came whole; an
// error answer of the server (22) or one longer than `limit` bytes (23)
// fails.
int DownloadText(const std::string& url, size_t limit, std::string& text, const StopRequest& stop);
