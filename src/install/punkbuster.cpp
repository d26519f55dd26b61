#include "install/punkbuster.h"

#include <windows.h>
#include <shellapi.h>

#include "core/log.h"

void UpdatePunkBuster(const std::string& folder, HWND owner)
{
    theLog.WriteLine("Start Punk Buster updating process");
    std::string updater = folder + "\\pb\\pbsetup.exe";
    INT_PTR result = reinterpret_cast<INT_PTR>(
        ShellExecuteA(owner, "open", updater.c_str(), "", folder.c_str(), SW_SHOW));
    if (result > 32)
        theLog.WriteLine("Ok.");
    else if (result == ERROR_FILE_NOT_FOUND)
        theLog.WriteFormatted("File not found (%s).", updater.c_str());
    else if (result == ERROR_PATH_NOT_FOUND)
        theLog.WriteFormatted("Path nod found (%s).", folder.c_str());
    else
        theLog.WriteFormatted("Shell execute problem: %i", static_cast<int>(result));
}
