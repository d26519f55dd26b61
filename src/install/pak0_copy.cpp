#include "install/pak0_copy.h"

#include <windows.h>

#include "core/application.h"
#include "core/log.h"
#include "core/window_operations.h"
#include "install/make_folders.h"

void CopyPak0(const std::string& pak0Path, const std::string& installFolder)
{
    theApp.ui->SetStatus("Copying pak0.pk3");
    std::string folder = installFolder.empty() ? "" : installFolder + "\\baseq3\\";
    MakeFolderWithParents(folder);
    std::string target = folder + "pak0.pk3";
    if (!CopyFileA(pak0Path.c_str(), target.c_str(), TRUE))
        theLog.WriteLine("Can't copy pak0.pk3");
}
