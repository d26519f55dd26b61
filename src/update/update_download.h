#pragma once
#include <cstdint>
#include <string>

#include "core/workers.h"
#include "transfer/file_write.h"

// What arrived is not the release, numbered as libcurl numbers its kin:
// not the declared size (libcurl's "partial file"), or no Windows program
// (libcurl's "write error": nothing fit to keep).
constexpr int kUpdateWrongSize = 18;
constexpr int kUpdateNotAProgram = 23;

// Downloads the new release from `url` into `path`, telling `received` of
// each block, and checks that it is a Windows program of `size` bytes (any
// size when 0). Returns 0, or libcurl's code or one of the two above; on a
// failure nothing is left at `path`.
int DownloadUpdate(const std::string& url, const char* path, uint32_t size, const ReceivedCallback& received,
                   const StopRequest& stop);
