#pragma once
#include <cstdint>
#include <optional>
#include <string>

#include "core/workers.h"

enum class DownloadOutcome {
    present,      // already on disk with its declared size; nothing was fetched
    transferred,  // one of the URLs delivered it whole
    failed,       // every URL failed, or the stop request ended the attempt
};

// The size of the file at `path`; nothing when it cannot be opened.
std::optional<uint64_t> FileSizeOf(const std::string& path);

// Downloads the current file of the run (theApp.itemSize, itemBytes and
// currentItemName set by the caller) to `localPath`, trying the URLs of
// `urlLine` (separated by single spaces) in order, each with a fresh handle.
// An attempt that breaks off after bringing data is resumed from where it
// broke off, on the same handle; every byte of the file is counted once.
// An error answer of the server is a failed attempt: its page is never stored.
DownloadOutcome DownloadFile(const std::string& urlLine, const std::string& localPath,
                             const StopRequest& stop);
