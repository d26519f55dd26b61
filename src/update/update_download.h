#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/workers.h"
#include "transfer/file_write.h"

// What arrived is not the release, numbered as libcurl numbers its kin:
// not the declared size (libcurl's "partial file"), or no Windows program
// (libcurl's "write error": nothing fit to keep).
constexpr int kUpdateWrongSize = 18;
constexpr int kUpdateNotAProgram = 23;
// The release's signature is missing, or is not the release key's over the
// file that arrived. Far beyond libcurl's codes, which stay below 100.
constexpr int kUpdateNotSigned = 1000;

// A signature is far shorter; a longer answer is no signature.
constexpr size_t kMaxSignatureBytes = 1024;

// Downloads the new release from `url` into `path`, telling `received` of
// each block, and checks that it is a Windows program of `size` bytes (any
// size when 0) and, with a `releaseKey` (PEM; empty for none), that the
// signature at `url` followed by ".sig" is that key's over it. Returns 0,
// or libcurl's code or one of the three above; on a failure nothing is
// left at `path`.
int DownloadUpdate(const std::string& url, const char* path, uint32_t size, const std::string& releaseKey,
                   const ReceivedCallback& received, const StopRequest& stop);
