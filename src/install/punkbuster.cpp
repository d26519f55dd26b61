#include "install/punkbuster.h"

#include <windows.h>
#include <shellapi.h>

#include "core/application.h"
#include "core/log.h"
#include "core/window_operations.h"

void UpdatePunkBuster()
{
    theLog.WriteLine("Start Punk Buster updating process");
    std::string folder = theApp.ui->GetEditText(theApp.folderEdit);
    std::string updater = folder + "\\pb\\pbsetup.exe";
    INT_PTR result = reinterpret_cast<INT_PTR>(
        ShellExecuteA(theApp.mainWindow, "open", updater.c_str(), "", folder.c_str(), SW_SHOW));
    if (result > 32)
        theLog.WriteLine("Ok.");
    else if (result == ERROR_FILE_NOT_FOUND)
        theLog.WriteFormatted("File not found (%s).", updater.c_str());
    else if (result == ERROR_PATH_NOT_FOUND)
        theLog.WriteFormatted("Path nod found (%s).", folder.c_str());
    else
        theLog.WriteFormatted("Shell execute problem: %i", static_cast<int>(result));
}
