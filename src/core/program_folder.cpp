#include "core/program_folder.h"

#include <windows.h>

#include "core/file_system.h"
#include "core/log.h"

void EnterProgramFolder()
{
    char path[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, path, sizeof path);
    if (!SetCurrentDirectoryA(FolderOf(path).c_str()))
        theLog.WriteLine("SetCurrentDirectory failed.");
}
