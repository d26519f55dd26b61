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
    // Each line the download logs ("Connecting to: ...", its errors, its
    // end); the log itself when empty.
    std::function<void(const std::string&)> line;
    void Line(const std::string& text) const;
};

class CSideFile;

// Logs "Is file ? (size)"; true, with "File already downloaded.", when the
// file is at `localPath` with `declaredSize`.
bool AlreadyDownloaded(const std::string& localPath, uint32_t declaredSize);

struct FetchResult {
    bool whole = false;        // one of the URLs delivered it
    bool cannotWrite = false;  // an attempt failed on this side: the file could not be made or written
};
// Fetches the file of a record through the URLs of `urlLine` (separated by
// single spaces), in order, each with a fresh handle, into `side`, which
// is made beside `sideOf` when the first data arrive. An attempt that
// breaks off after bringing data is resumed from where it broke off, on the
// same handle. An error answer of the server is a failed attempt: its page
// is never stored.
FetchResult FetchFile(const std::string& urlLine, const std::string& sideOf, CSideFile& side,
                      const DownloadReport& report, const StopRequest& stop);
// Moves the whole file in `side` over `localPath`; logs when it cannot.
bool PlaceDownload(CSideFile& side, const std::string& localPath);
// FetchFile into a side file of `localPath`, then PlaceDownload.
DownloadOutcome FetchAndPlace(const std::string& urlLine, const std::string& localPath, const DownloadReport& report,
                              const StopRequest& stop);

// Downloads the file of one catalogue record to `localPath`, unless it is
// there with `declaredSize` already (FetchAndPlace). The
// file comes under a name of its own beside `localPath` and replaces what
// is there only once it is whole.
DownloadOutcome DownloadFile(const std::string& urlLine, const std::string& localPath, uint32_t declaredSize,
                             const DownloadReport& report, const StopRequest& stop);
