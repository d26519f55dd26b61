#include "support/test_folder.h"

#include <cstdio>
#include <sstream>
#include <windows.h>
#include <shellapi.h>

CTestFolder::CTestFolder()
{
    char buffer[MAX_PATH];
    GetCurrentDirectoryA(sizeof buffer, buffer);
    previous = buffer;
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    // Wine hands out the same process ids run after run; a folder left by an
    // earlier run is passed over rather than shared.
    static unsigned counter = 0;
    char name[MAX_PATH];
    do {
        std::snprintf(name, sizeof name, "%stavrin-test-%lu-%u", temp, GetCurrentProcessId(), ++counter);
    } while (!CreateDirectoryA(name, nullptr) && GetLastError() == ERROR_ALREADY_EXISTS);
    path = name;
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


std::string WindowsPathOf(const char* unixPath)
{
    typedef WCHAR*(CDECL * ToDosName)(const char*);
    auto toDosName = reinterpret_cast<ToDosName>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_dos_file_name"));
    if (!toDosName)
        return "";
    WCHAR* wide = toDosName(unixPath);
    if (!wide)
        return "";
    char narrow[MAX_PATH] = "";
    WideCharToMultiByte(CP_ACP, 0, wide, -1, narrow, sizeof narrow, nullptr, nullptr);
    HeapFree(GetProcessHeap(), 0, wide);
    return narrow;
}

std::vector<std::string> FileLines(const std::string& path)
{
    std::vector<std::string> lines;
    std::istringstream text(ReadWholeFile(path));
    for (std::string line; std::getline(text, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
    }
    return lines;
}


std::string SomeBytes(size_t count, unsigned seed)
{
    std::string bytes(count, '\0');
    for (char& byte : bytes) {
        seed = seed * 1103515245 + 12345;
        byte = static_cast<char>(seed >> 16);
    }
    return bytes;
}

std::string BesideThisProgram(const std::string& name)
{
    char module[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, module, sizeof module);
    std::string path = module;
    return path.substr(0, path.find_last_of("\\/") + 1) + name;
}
