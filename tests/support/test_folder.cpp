#include "support/test_folder.h"

#include <cstdio>
#include <windows.h>
#include <shellapi.h>

CTestFolder::CTestFolder()
{
    char buffer[MAX_PATH];
    GetCurrentDirectoryA(sizeof buffer, buffer);
    previous = buffer;
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    static unsigned counter = 0;
    char name[MAX_PATH];
    std::snprintf(name, sizeof name, "%stavrin-test-%lu-%u", temp, GetCurrentProcessId(), ++counter);
    path = name;
    CreateDirectoryA(path.c_str(), nullptr);
    SetCurrentDirectoryA(path.c_str());
}

CTestFolder::~CTestFolder()
{
    SetCurrentDirectoryA(previous.c_str());
    std::string from = path + std::string(1, '\0');  // double-terminated list
    SHFILEOPSTRUCTA operation = {};
    operation.wFunc = FO_DELETE;
    operation.pFrom = from.c_str();
    operation.fFlags = FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_SILENT;
    SHFileOperationA(&operation);
}
