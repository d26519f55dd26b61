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

std::string ReadWholeFile(const std::string& path)
{
    std::string content;
    if (FILE* file = std::fopen(path.c_str(), "rb")) {
        char buffer[65536];
        size_t got;
        while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0)
            content.append(buffer, got);
        std::fclose(file);
    }
    return content;
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

void WriteWholeFile(const std::string& path, const std::string& content)
{
    if (FILE* file = std::fopen(path.c_str(), "wb")) {
        std::fwrite(content.data(), 1, content.size(), file);
        std::fclose(file);
    }
}
