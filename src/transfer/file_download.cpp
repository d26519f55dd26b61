#include "transfer/file_download.h"

#include <vector>
#include <windows.h>

#include "core/application.h"
#include "core/file_handle.h"
#include "core/file_names.h"
#include "core/log.h"
#include "core/progress.h"
#include "core/window_operations.h"
#include "transfer/easy_handle.h"
#include "transfer/file_write.h"
#include "transfer/transfer_recipe.h"

namespace {

// A server that sends less than a byte a second for this long has failed.
constexpr long kStallSeconds = 5;
// libcurl's code for a file that cannot be written.
constexpr int kCannotWrite = 23;

// Two spaces in a row give an empty URL, whose attempt fails.
std::vector<std::string> SplitUrls(const std::string& line)
{
    std::vector<std::string> urls;
    size_t start = 0;
    for (;;) {
        size_t space = line.find(' ', start);
        urls.push_back(line.substr(start, space - start));
        if (space == std::string::npos)
            return urls;
        start = space + 1;
    }
}

}  // namespace

std::optional<uint64_t> FileSizeOf(const std::string& path)
{
    CFileHandle file = OwnHandle(
        CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return std::nullopt;
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file.get(), &size))
        return std::nullopt;
    return static_cast<uint64_t>(size.QuadPart);
}

DownloadOutcome DownloadFile(const std::string& urlLine, const std::string& localPath, const StopRequest& stop)
{
    CApplication& app = theApp;
    app.itemIsArchive = IsArchiveName(app.currentItemName);

    // Only a file that is there with its declared size counts: a missing
    // file declared with size 0 is fetched like any other.
    std::optional<uint64_t> onDisk = FileSizeOf(localPath);
    theLog.WriteFormatted("Is file ? (%i)", static_cast<int>(onDisk.value_or(0)));
    if (onDisk && *onDisk == app.itemSize) {
        theLog.WriteLine("File already downloaded.");
        AddReceived(app.itemSize);
        return DownloadOutcome::present;
    }

    DownloadTarget target = {localPath.c_str(), nullptr};
    TransferRequest request;
    request.write = WriteToFile;
    request.target = &target;
    request.stallSeconds = kStallSeconds;
    request.stop = &stop;
    request.failOnHttpError = true;
    for (const std::string& url : SplitUrls(urlLine)) {
        app.transfer.reset(new CEasyHandle);
        request.url = url;
        ApplyTransferRecipe(*app.transfer, request);
        app.ui->SetStatus("Connecting ... (" + app.currentItemName + ")");
        theLog.WriteFormatted("Connecting to: %s", url.c_str());
        int code = PerformTransfer(*app.transfer);
        // An empty body never reaches the write callback; its file is made all the same.
        if (code == 0 && !OpenTarget(target))
            code = kCannotWrite;
        if (!CloseTarget(target) && code == 0)
            code = kCannotWrite;
        if (code == 0) {
            theLog.WriteFormatted("Downloading complete ! (%i)", static_cast<int>(app.itemBytes));
            return DownloadOutcome::transferred;
        }
        theLog.WriteFormatted("Connecting error: %i (%i)", code, static_cast<int>(app.itemBytes));
        // The window is closing: no further URL, the run is over.
        if (stop)
            break;
    }
    return DownloadOutcome::failed;
}
