#include "install/install_run.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>
#include <windows.h>

#include "catalogue/catalogue.h"
#include "core/application.h"
#include "core/file_names.h"
#include "core/log.h"
#include "core/progress.h"
#include "core/window_operations.h"
#include "install/catalogue_message.h"
#include "install/checked_items.h"
#include "install/make_folders.h"
#include "install/pak0_copy.h"
#include "install/unpack_archive.h"
#include "settings/settings.h"
#include "transfer/file_download.h"

namespace {

void StartRun(CWindowOperations& window)
{
    CApplication& app = theApp;
    theLog.WriteLine("-= Installation =-");
    window.SetStatus("Initializing");
    window.SetItemProgress(0);
    window.SetOverallProgress(0);
    app.someItemFailed = false;
    window.DisableControls();
    app.EnterProgramFolder();
    app.lastUnzipPercent = 0;
    app.doneBytes = 0;
    app.totalBytes = 0;
}

// installPath, then the record's folder, each followed by a separator when
// not empty. Only the last level is made: its parents must be there.
std::string FileFolder(const std::string& installPath, const std::string& recordFolder)
{
    std::string folder;
    if (!installPath.empty())
        folder = installPath + "\\";
    if (!recordFolder.empty())
        folder += recordFolder + "\\";
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
}

// Downloads one file of an item and unpacks it when it is an archive.
// False when the file was not obtained.
bool InstallFile(const std::string& itemName, const std::string& recordFolder, const std::string& urlLine,
                 int32_t size, const StopRequest& stop)
{
    CApplication& app = theApp;
    app.itemSize = static_cast<uint32_t>(size);
    app.itemBytes = 0;
    theLog.WriteBlankLines(2);
    theLog.WriteFormatted("Item name: %s", itemName.c_str());
    theLog.WriteFormatted("Item size: %i", size);

    std::string firstUrl = urlLine.substr(0, urlLine.find(' '));
    std::string folder = FileFolder(app.installPath, recordFolder);
    app.currentItemName = FileNameOf(firstUrl);
    std::string localPath = folder + app.currentItemName;

    DownloadOutcome downloaded = DownloadFile(urlLine, localPath, stop);
    if (downloaded != DownloadOutcome::transferred)
        return downloaded == DownloadOutcome::present;
    theLog.WriteFormatted("Status: %i (TotalBytesGained: %i)", static_cast<int>(app.ui->OverallProgress()),
                          static_cast<int>(app.doneBytes));
    UnpackOutcome unpacked = UnpackArchive(localPath, stop);
    if (unpacked != UnpackOutcome::notArchive)
        theLog.WriteFormatted("Unzipped, (TotalBytesGained: %i )", static_cast<int>(app.doneBytes));
    app.lastUnzipPercent = 0;
    return unpacked == UnpackOutcome::notArchive || unpacked == UnpackOutcome::unpacked;
}

void InstallItem(const std::string& name, const StopRequest& stop)
{
    CApplication& app = theApp;
    app.currentItemName.clear();
    ResetItemProgress();
    app.ui->SetInfoTexts(name, app.catalogue->ItemDescription(name));
    std::vector<std::string> folders, urlLines;
    std::vector<int32_t> sizes;
    app.catalogue->ItemFiles(name, &folders, &urlLines, &sizes);
    for (size_t i = 0; i < urlLines.size() && !stop; ++i) {
        if (!InstallFile(name, folders[i], urlLines[i], sizes[i], stop))
            app.someItemFailed = true;
        app.ui->ShowHeldChanges();
    }
}

void FinishRun(CWindowOperations& window)
{
    CApplication& app = theApp;
    theLog.WriteBlankLines(2);
    if (app.someItemFailed)
        theLog.WriteLine("At least one item not downloaded.");
    theLog.WriteLine("End");

    unsigned position = 100;
    if (app.someItemFailed) {
        position = std::min(window.OverallProgress(), 99u);
    } else {
        window.SetItemProgress(100);
        window.SetOverallProgress(100);
    }
    char finalText[64];
    std::snprintf(finalText, sizeof finalText, "%s (%u%%)", "Installation finished", position);
    window.EnableControls();
    window.SetStatus(finalText);
    window.ShowHeldChanges();

    // Cleared first: the box waits for the user, and the settings record it as seen.
    if (app.settings->showMessage) {
        app.settings->showMessage = false;
        ShowCatalogueMessage();
    }
}

}  // namespace

void RunInstall()
{
    CApplication& app = theApp;
    CWindowOperations& window = *app.ui;
    const StopRequest& stop = app.stopRequested;
    StartRun(window);

    InstallChoice choice = CollectCheckedItems(window, *app.catalogue);
    app.totalBytes = choice.totalBytes;
    std::string pak0Path = window.GetEditText(app.pak0Edit);
    std::string installFolder = window.GetEditText(app.folderEdit);

    if (!pak0Path.empty()) {
        CopyPak0(pak0Path, installFolder, stop);
    } else {
        theLog.WriteLine("pak0.pk3 file not selected");
        if (choice.names.empty()) {
            window.ShowMessage(nullptr, "You haven't selected anything to instal !", "Quake 3 Tavrin 2",
                               MB_OK | MB_ICONWARNING);
            window.SetStatus("Choose items to install");
            window.EnableControls();
            window.ShowHeldChanges();
            return;
        }
    }

    MakeFolderWithParents(installFolder);
    app.installPath = installFolder;
    theLog.WriteBlankLines(2);
    theLog.WriteFormatted("Install path: %s", app.installPath.c_str());
    theLog.WriteFormatted("Total bytes: %i", static_cast<int>(app.totalBytes));

    for (const std::string& name : choice.names) {
        if (stop)
            break;
        InstallItem(name, stop);
    }
    if (stop) {
        // The window is gone; what was not finished is fetched again by the next run.
        theLog.WriteLine("Installation stopped.");
        return;
    }
    ResetItemProgress();
    FinishRun(window);
}
