#include "transfer/file_download.h"

#include <cstdio>
#include <windows.h>

#include "catalogue/record_lines.h"
#include "core/file_system.h"
#include "core/log.h"
#include "core/side_file.h"
#include "transfer/easy_handle.h"
#include "transfer/file_write.h"
#include "transfer/resume_transfer.h"
#include "transfer/transfer_recipe.h"

namespace {

// libcurl's code for a file that cannot be written.
constexpr int kCannotWrite = 23;

// libcurl's codes of a transfer that broke off: closed with bytes missing
// (18), too slow (28), or cut by the network (56: a reset, or a TLS
// connection closed without its closing message).
bool BrokeOff(int code)
{
    return code == 18 || code == 28 || code == 56;
}

std::string Formatted(const char* format, int first, int second = 0)
{
    char line[64];
    std::snprintf(line, sizeof line, format, first, second);
    return line;
}

// Ends an attempt: an empty body never reaches the write callback, so its
// file is made here. libcurl's code, or 23 when the file could not be made
// or what was still buffered not written.
int FinishAttempt(int code, DownloadTarget& target)
{
    if (code == 0 && (!OpenTarget(target) || std::fflush(target.file) != 0))
        code = kCannotWrite;
    return code;
}

// The file from one URL. A fresh attempt starts from the first byte, on a
// handle of its own; while an attempt breaks off having brought new data,
// the same handle asks for the rest. A server that cannot give the rest of
// the same file gets one more fresh attempt, without resuming. True when the
// file came whole.
bool DownloadFrom(const TransferRequest& request, DownloadTarget& target, const DownloadReport& report,
                  const StopRequest& stop, bool& cannotWrite)
{
    for (bool mayResume = true;;) {
        // What an earlier attempt wrote is thrown away, and uncounted.
        if (target.file && !target.side->Empty()) {
            report.Line(Formatted("Connecting error: %i (%i)", kCannotWrite, static_cast<int>(target.bytes)));
            cannotWrite = true;
            return false;
        }
        target.bytes = 0;
        if (report.startingAnew)
            report.startingAnew();
        CEasyHandle transfer;
        ApplyTransferRecipe(transfer, request);
        // Cut where the log cuts a formatted line.
        report.Line(("Connecting to: " + request.url).substr(0, 255));
        int code = PerformTransfer(transfer);
        std::optional<uint64_t> length = AnswerLength(transfer);

        bool startAnew = false;
        uint64_t resumedAt = 0;
        while (mayResume && length && BrokeOff(code) && !stop && target.file && target.bytes > resumedAt) {
            resumedAt = target.bytes;
            report.Line(Formatted("Connecting error: %i (%i)", code, static_cast<int>(target.bytes)));
            ResumeResult resumed = ResumeTransfer(transfer, resumedAt, *length);
            code = resumed.code;
            if (code == kRangeRefused || resumed.fileChanged) {
                report.Line(resumed.fileChanged ? "File changed." : "Range error");
                startAnew = true;
                break;
            }
        }
        if (startAnew) {
            mayResume = false;
            continue;
        }

        code = FinishAttempt(code, target);
        if (code == 0) {
            report.Line(Formatted("Downloading complete ! (%i)", static_cast<int>(target.bytes)));
            return true;
        }
        report.Line(Formatted("Connecting error: %i (%i)", code, static_cast<int>(target.bytes)));
        if (code == kCannotWrite)
            cannotWrite = true;
        return false;
    }
}

}  // namespace

void DownloadReport::Line(const std::string& text) const
{
    if (line)
        line(text);
    else
        theLog.WriteLine(text.c_str());
}

bool AlreadyDownloaded(const std::string& localPath, uint32_t declaredSize)
{
    // Only a file that is there with its declared size counts: a missing
    // file declared with size 0 is fetched like any other.
    std::optional<uint64_t> onDisk = FileSizeOf(localPath);
    theLog.WriteFormatted("Is file ? (%i)", static_cast<int>(onDisk.value_or(0)));
    if (onDisk && *onDisk == declaredSize) {
        theLog.WriteLine("File already downloaded.");
        return true;
    }
    return false;
}

FetchResult FetchFile(const std::string& urlLine, const std::string& sideOf, CSideFile& side,
                      const DownloadReport& report, const StopRequest& stop)
{
    DownloadTarget target;
    target.path = sideOf.c_str();
    target.side = &side;
    target.received = report.received;
    // The request's own limits are those of a file: 5 s of silence, and an
    // error answer fails.
    TransferRequest request;
    request.write = WriteToFile;
    request.target = &target;
    request.stop = &stop;
    FetchResult result;
    for (const std::string& url : SplitUrls(urlLine)) {
        request.url = url;
        if (DownloadFrom(request, target, report, stop, result.cannotWrite)) {
            result.whole = true;
            return result;
        }
        // The window is closing: no further URL, the run is over.
        if (stop)
            break;
    }
    return result;
}

bool PlaceDownload(CSideFile& side, const std::string& localPath)
{
    if (side.Place(true))
        return true;
    theLog.WriteFormatted("Can't replace file %s", localPath.c_str());
    return false;
}

DownloadOutcome FetchAndPlace(const std::string& urlLine, const std::string& localPath, const DownloadReport& report,
                              const StopRequest& stop)
{
    // The file arrives under a name of its own and takes the place of one
    // already there only once it is whole: a download that fails, or a
    // window closed half way, leaves the player's old file as it was.
    CSideFile side;
    if (!FetchFile(urlLine, localPath, side, report, stop).whole)
        return DownloadOutcome::failed;
    return PlaceDownload(side, localPath) ? DownloadOutcome::transferred : DownloadOutcome::failed;
}

DownloadOutcome DownloadFile(const std::string& urlLine, const std::string& localPath, uint32_t declaredSize,
                             const DownloadReport& report, const StopRequest& stop)
{
    if (AlreadyDownloaded(localPath, declaredSize))
        return DownloadOutcome::present;
    return FetchAndPlace(urlLine, localPath, report, stop);
}
