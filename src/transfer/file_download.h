#pragma once
#include <cstdint>
#include <functional>
#include <string>

#include "core/workers.h"
#include "transfer/file_write.h"

enum class DownloadOutcome {
    present,      // already on disk with its declared size; nothing was fetched
    transferred,  // one of the URLs delivered it whole
    failed,       // every URL failed, or the stop request ended the attempt
};

// What a file download tells its caller as it goes, for the caller to show.
struct DownloadReport {
    // An attempt starts the file from its first byte: what earlier attempts
    // brought is no longer part of it.
    std::function<void()> startingAnew;
    ReceivedCallback received;
};

// Downloads the file of one catalogue record to `localPath`, unless it is
// there with `declaredSize` already, trying the URLs of `urlLine` (separated
// by single spaces) in order, each with a fresh handle. An attempt that
// breaks off after bringing data is resumed from where it broke off, on the
// same handle. An error answer of the server is a failed attempt: its page
// is never stored. The file comes under a name of its own beside
// `localPath` and replaces what is there only once it is whole.
DownloadOutcome DownloadFile(const std::string& urlLine, const std::string& localPath, uint32_t declaredSize,
                             const DownloadReport& report, const StopRequest& stop);
