#include "install/shortcuts.h"

#include <memory>
#include <windows.h>
#include <shlobj.h>
#include <wrl/client.h>

#include "core/com_initialization.h"
#include "core/file_system.h"
#include "core/log.h"

using Microsoft::WRL::ComPtr;

namespace {

struct ShortcutRow {
    const char* target;  // below the installation folder
    const char* icon;    // below the installation folder; null: the target's own
    const char* linkName;
    const char* firstLine;
    const char* missingLine;
};

const ShortcutRow kCpma = {"\\_Cpma.bat", "\\quake3.exe", "\\Quake III Arena.lnk",
                           "Creating shortcut to Cpma", "_Cpma.bat file not found."};
const ShortcutRow kDefrag = {"\\_Defrag.bat", "\\defrag\\defrag.ico", "\\_Defrag.lnk",
                             "Creating shortcut to Defrag", "_Defrag.bat file not found."};
const ShortcutRow kSuperHud = {"\\superhudeditor-0.3.0\\superhudeditor.exe", nullptr,
                               "\\SuperHUD Editor.lnk", "Creating shortcut to SHE",
                               "superhudeditor.exe file not found."};
const ShortcutRow kGameScanner = {"\\Game Scanner\\GameScanner.exe", nullptr, "\\_GameSanner.lnk",
                                  "Creating shortcut to GS", "GameSanner.exe file not found."};

void RunShortcutCommand(const ShortcutRow& row, const std::string& folder)
{
    std::string target = folder + row.target;
    std::string icon = row.icon ? folder + row.icon : target;
    theLog.WriteBlankLines(2);
    theLog.WriteLine(row.firstLine);
    if (GetFileAttributesA(target.c_str()) == INVALID_FILE_ATTRIBUTES) {
        theLog.WriteLine(row.missingLine);
        return;
    }
    if (!CreateShortcut(target, row.linkName, icon))
        theLog.WriteLine("CreateShortcut(...) returns false.");
}

bool ReadDesktopFolder(std::string& desktop)
{
    HKEY opened;
    if (RegOpenKeyExA(HKEY_CURRENT_USER,
                      "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders\\", 0,
                      KEY_ALL_ACCESS, &opened) != ERROR_SUCCESS) {
        theLog.WriteLine("RegOpenKeyEx failed.");
        return false;
    }
    // One byte more than the query is told of: a stored value need not end
    // in a terminator.
    char path[MAX_PATH + 1] = "";
    std::unique_ptr<HKEY__, decltype(&RegCloseKey)> key(opened, RegCloseKey);
    DWORD size = MAX_PATH;
    LONG error = RegQueryValueExA(key.get(), "Desktop", nullptr, nullptr, reinterpret_cast<BYTE*>(path),
                                  &size);
    if (error != ERROR_SUCCESS) {
        theLog.WriteFormatted("RegQueryValueEx failed (%i)", static_cast<int>(error));
        if (error == ERROR_MORE_DATA)
            theLog.WriteLine("Buffer is to small");
        else if (error == ERROR_FILE_NOT_FOUND)
            theLog.WriteLine("Registry value does not exists");
        return false;
    }
    path[size] = '\0';
    desktop = path;
    return true;
}

std::wstring Wide(const std::string& text)
{
    int length = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
    std::wstring wide(length > 0 ? length : 1, L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, &wide[0], length);
    return wide;
}

}  // namespace

void CreateCpmaShortcut(const std::string& folder)
{
    RunShortcutCommand(kCpma, folder);
}

void CreateDefragShortcut(const std::string& folder)
{
    RunShortcutCommand(kDefrag, folder);
}

void CreateSuperHudShortcut(const std::string& folder)
{
    RunShortcutCommand(kSuperHud, folder);
}

void CreateGameScannerShortcut(const std::string& folder)
{
    RunShortcutCommand(kGameScanner, folder);
}

void CreateAllShortcuts(const std::string& folder)
{
    for (const ShortcutRow* row : {&kCpma, &kDefrag, &kSuperHud, &kGameScanner})
        RunShortcutCommand(*row, folder);
}

bool CreateShortcut(const std::string& target, const std::string& linkName, const std::string& icon)
{
    std::string desktop;
    if (!ReadDesktopFolder(desktop))
        return false;
    std::string linkPath = desktop + linkName;

    InitializeComOnThisThread();
    ComPtr<IShellLinkA> link;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                IID_PPV_ARGS(&link))))
        return false;
    link->SetPath(target.c_str());
    link->SetWorkingDirectory(FolderOf(target).c_str());
    link->SetDescription("");
    link->SetIconLocation(icon.c_str(), 0);

    ComPtr<IPersistFile> file;
    if (FAILED(link.As(&file)))
        return false;
    return SUCCEEDED(file->Save(Wide(linkPath).c_str(), TRUE));
}
