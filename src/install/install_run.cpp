#include "install/install_run.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "catalogue/catalogue.h"
#include "catalogue/record_lines.h"
#include "core/file_system.h"
#include "core/log.h"
#include "core/side_file.h"
#include "core/program_folder.h"
#include "core/window_operations.h"
#include "install/catalogue_message.h"
#include "install/checked_items.h"
#include "install/look_ahead.h"
#include "install/pak0_copy.h"
#include "install/unpack_archive.h"
#include "settings/settings.h"
#include "transfer/file_download.h"

CInstallRun::CInstallRun(CWindowOperations& window, const CCatalogue& catalogue, CSettings& settings,
                         const std::string& catalogueMessage, HWND messageOwner, const StopRequest& stop)
    : window(window), catalogue(catalogue), settings(settings), catalogueMessage(catalogueMessage),
      messageOwner(messageOwner), stop(stop), progress(window)
{
}

CInstallRun::~CInstallRun() = default;

namespace {

void StartRun(CInstallRun& run)
{
    theLog.WriteLine("-= Installation =-");
    run.window.SetStatus("Initializing");
    run.window.SetItemProgress(0);
    run.window.SetOverallProgress(0);
    // What an earlier run left there goes.
    run.window.SetTaskbarProgress(TaskbarProgress::normal, 0);
    run.progress.onTaskbar = true;
    run.someItemFailed = false;
    run.window.DisableControls();
    EnterProgramFolder();
    run.progress.lastUnzipPercent = 0;
    run.progress.doneBytes = 0;
    run.progress.totalBytes = 0;
}

}  // namespace

DownloadReport DownloadReportOf(CInstallRun& run)
{
    CProgress& progress = run.progress;
    CWindowOperations& window = run.window;
    const std::string& name = run.currentItemName;
    ProgressMark firstByte = progress.MarkProgress();
    DownloadReport report;
    report.startingAnew = [&progress, &window, &name, firstByte] {
        progress.ReturnToMark(firstByte);
        window.SetStatus("Connecting ... (" + name + ")");
    };
    report.received = [&progress, &window, &name](uint32_t bytes) {
        progress.AddReceived(bytes);
        window.SetStatus("Downloading " + name);
    };
    return report;
}

namespace {

// The file at its turn, as the one-at-a-time run fetches it: what is being
// fetched ahead counts only where that run comes to the same: the file is
// not there already, and a side file can be made beside it now. Otherwise
// it is fetched now, as that run would.
DownloadOutcome DownloadAtTurn(CInstallRun& run, const std::string& urlLine, const std::string& localPath,
                               std::shared_ptr<CFetchAhead> ahead)
{
    const DownloadReport report = DownloadReportOf(run);
    if (AlreadyDownloaded(localPath, run.progress.itemSize)) {
        if (ahead)
            ahead->Cancel();
        return DownloadOutcome::present;
    }
    // A fetch that is over has its side file moved beside the file now; one
    // under way moves it when it ends, once a side file is seen to be possible.
    bool beside = false;
    if (ahead) {
        bool usable;
        if (ahead->Done()) {
            usable = !ahead->CannotWrite() &&
                     (ahead->side.Path().empty() || (beside = ahead->side.MoveBeside(localPath, kArrivingSuffix)));
        } else {
            CSideFile probe;
            usable = probe.Create(localPath, kArrivingSuffix);
        }
        if (!usable) {
            ahead->Cancel();
            ahead.reset();
        }
    }
    if (!ahead)
        return FetchAndPlace(urlLine, localPath, report, run.stop);
    FetchResult result = ahead->Replay(report, run.stop);
    if (!result.whole)
        return DownloadOutcome::failed;
    if (!beside && !ahead->side.MoveBeside(localPath, kArrivingSuffix)) {
        theLog.WriteFormatted("Can't replace file %s", localPath.c_str());
        return DownloadOutcome::failed;
    }
    return PlaceDownload(ahead->side, localPath) ? DownloadOutcome::transferred : DownloadOutcome::failed;
}

// The local name of a record's file (after its first URL's last "/") and
// where the run puts it; the reason when the path is refused.
const char* RecordTarget(const CInstallRun& run, const std::string& recordFolder, const std::string& urlLine,
                         std::string& fileName, std::string& localPath)
{
    fileName = FileNameOf(SplitUrls(urlLine).front());
    return RecordFilePath(run.installPath, recordFolder, fileName, localPath);
}

// Downloads one file of an item and unpacks it when it is an archive.
// False when the file was not obtained.
bool InstallFile(CInstallRun& run, const std::string& itemName, const std::string& recordFolder,
                 const std::string& urlLine, int32_t size)
{
    std::shared_ptr<CFetchAhead> ahead = run.lookAhead ? run.lookAhead->Take(run.fileIndex) : nullptr;
    ++run.fileIndex;
    CProgress& progress = run.progress;
    progress.itemSize = static_cast<uint32_t>(size);
    progress.itemBytes = 0;
    theLog.WriteBlankLines(1);
    theLog.WriteFormatted("Item name: %s", itemName.c_str());
    theLog.WriteFormatted("Item size: %i", size);

    // The catalogue names both; neither may lead out of the installation folder.
    std::string localPath;
    const char* refused = RecordTarget(run, recordFolder, urlLine, run.currentItemName, localPath);
    progress.itemIsArchive = IsArchiveName(run.currentItemName);
    if (const char* reason = refused) {
        std::string named = recordFolder.empty() ? "" : recordFolder + "\\";
        theLog.WriteFormatted("Refused path: %s (it holds %s)", (named + run.currentItemName).c_str(), reason);
        return false;
    }
    // Only the last level is made: its parents must be there.
    std::string folder = localPath.substr(0, localPath.size() - run.currentItemName.size());
    if (!folder.empty())
        MakeFolder(folder);

    DownloadOutcome downloaded = run.lookAhead
                                     ? DownloadAtTurn(run, urlLine, localPath, std::move(ahead))
                                     : DownloadFile(urlLine, localPath, progress.itemSize, DownloadReportOf(run), run.stop);
    // Already there: it counts as if it had just come.
    if (downloaded == DownloadOutcome::present)
        progress.AddReceived(progress.itemSize);
    if (downloaded != DownloadOutcome::transferred)
        return downloaded == DownloadOutcome::present;
    theLog.WriteFormatted("Status: %i (TotalBytesGained: %i)", static_cast<int>(run.window.OverallProgress()),
                          static_cast<int>(progress.doneBytes));
    if (!progress.itemIsArchive)
        return true;
    UnpackOutcome unpacked = UnpackArchive(localPath, progress, run.window, run.stop);
    theLog.WriteFormatted("Unzipped, (TotalBytesGained: %i )", static_cast<int>(progress.doneBytes));
    progress.lastUnzipPercent = 0;
    return unpacked == UnpackOutcome::unpacked;
}

// Every file of the chosen items in the run's order, with where it goes.
std::vector<PlannedFile> PlanFiles(const CInstallRun& run, const std::vector<std::string>& names)
{
    std::vector<PlannedFile> files;
    for (const std::string& name : names) {
        for (const FileRecord& record : run.catalogue.ItemFiles(name)) {
            PlannedFile file;
            file.urlLine = record.urlLine;
            file.declaredSize = static_cast<uint32_t>(record.size);
            std::string fileName;
            if (RecordTarget(run, record.folder, record.urlLine, fileName, file.localPath))
                file.localPath.clear();
            files.push_back(file);
        }
    }
    return files;
}

void InstallItem(CInstallRun& run, const std::string& name)
{
    run.currentItemName.clear();
    run.progress.ResetItemProgress();
    run.window.SetInfoTexts(name, run.catalogue.ItemDescription(name));
    std::vector<FileRecord> files = run.catalogue.ItemFiles(name);
    for (size_t i = 0; i < files.size() && !run.stop; ++i) {
        if (!InstallFile(run, name, files[i].folder, files[i].urlLine, files[i].size))
            run.someItemFailed = true;
    }
}

void FinishRun(CInstallRun& run)
{
    CWindowOperations& window = run.window;
    theLog.WriteBlankLines(1);
    if (run.someItemFailed)
        theLog.WriteLine("At least one item not downloaded.");
    theLog.WriteLine("End");

    unsigned position = 100;
    if (run.someItemFailed) {
        position = std::min(window.OverallProgress(), 99u);
    } else {
        window.SetItemProgress(100);
        window.SetOverallProgress(100);
    }
    char finalText[64];
    std::snprintf(finalText, sizeof finalText, "%s (%u%%)", "Installation finished", position);
    window.SetStatus(finalText);
    // A failed run stays marked until the next one starts.
    if (run.someItemFailed)
        window.SetTaskbarProgress(TaskbarProgress::error, position);
    else
        window.SetTaskbarProgress(TaskbarProgress::none, 0);

    // Cleared first: the box waits for the user, and the settings record it
    // as seen. The controls stay locked while it is open: the run is not over.
    if (run.settings.showMessage) {
        run.settings.showMessage = false;
        ShowCatalogueMessage(window, run.messageOwner, run.catalogueMessage);
    }
}

}  // namespace

void RunInstall(CInstallRun& run)
{
    CWindowOperations& window = run.window;
    StartRun(run);

    InstallChoice choice = CollectCheckedItems(window, run.catalogue);
    run.progress.totalBytes = choice.totalBytes;

    if (!run.pak0Path.empty()) {
        CopyPak0(run.pak0Path, run.installPath, window, run.stop);
    } else {
        theLog.WriteLine("pak0.pk3 file not selected");
        if (choice.names.empty()) {
            window.ShowMessage(nullptr, "You haven't selected anything to instal !", "Quake 3 Tavrin 2",
                               MB_OK | MB_ICONWARNING);
            window.SetStatus("Choose items to install");
            window.SetTaskbarProgress(TaskbarProgress::none, 0);
            return;
        }
    }

    MakeFolderWithParents(run.installPath);
    theLog.WriteBlankLines(1);
    theLog.WriteFormatted("Install path: %s", run.installPath.c_str());
    theLog.WriteFormatted("Total bytes: %i", static_cast<int>(run.progress.totalBytes));
    if (run.transfers > 1)
        // The run's own file is one of the transfers.
        run.lookAhead = std::make_unique<CLookAhead>(PlanFiles(run, choice.names), run.installPath,
                                                     run.transfers - 1, run.stop);

    for (const std::string& name : choice.names) {
        if (run.stop)
            break;
        InstallItem(run, name);
    }
    // Nothing is fetched ahead any more, and nothing fetched is left behind.
    run.lookAhead.reset();
    if (run.stop) {
        // The window is gone; what was not finished is fetched again by the next run.
        theLog.WriteLine("Installation stopped.");
        return;
    }
    run.progress.ResetItemProgress();
    FinishRun(run);
}
