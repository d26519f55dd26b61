// The shortcut commands against real files, a real registry value and the
// shell's own link object.
#include <gtest/gtest.h>

#include <windows.h>
#include <shlobj.h>
#include <wrl/client.h>

#include <string>
#include <vector>

#include "core/log.h"
#include "install/shortcuts.h"
#include "support/memory_window_operations.h"
#include "support/test_folder.h"

using Microsoft::WRL::ComPtr;

namespace {

const char kShellFolders[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
// The shell writes "Shell Folders" anew from here whenever it looks a folder
// up, from any process of the prefix (Wine's desktop among them, which on a
// fresh prefix starts while the first tests run). Pointing both at the
// test's folder keeps such a rewrite from moving the Desktop away.
const char kUserShellFolders[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";

// One registry value, changed for one test and put back afterwards.
class CSavedValue {
public:
    CSavedValue(const char* keyName, const char* valueName) : name(valueName)
    {
        RegCreateKeyExA(HKEY_CURRENT_USER, keyName, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                        nullptr);
        DWORD size = 0;
        existed = RegQueryValueExA(key, name, nullptr, &type, nullptr, &size) == ERROR_SUCCESS;
        if (existed) {
            saved.resize(size);
            RegQueryValueExA(key, name, nullptr, &type, saved.data(), &size);
        }
    }
    ~CSavedValue()
    {
        if (existed)
            RegSetValueExA(key, name, 0, type, saved.data(), static_cast<DWORD>(saved.size()));
        else
            RegDeleteValueA(key, name);
        RegCloseKey(key);
    }
    void Set(const std::string& text, DWORD valueType)
    {
        RegSetValueExA(key, name, 0, valueType, reinterpret_cast<const BYTE*>(text.c_str()),
                       static_cast<DWORD>(text.size() + 1));
    }
    void Remove() { RegDeleteValueA(key, name); }

private:
    const char* name;
    HKEY key = nullptr;
    bool existed = false;
    DWORD type = REG_SZ;
    std::vector<BYTE> saved;
};

// Points the Desktop folder elsewhere for one test and puts it back.
class CDesktopValue {
public:
    void Set(const std::string& path)
    {
        userShellFolder.Set(path, REG_EXPAND_SZ);
        shellFolder.Set(path, REG_SZ);
    }
    // Only the value the program reads goes; the shell's own source stays.
    void Remove() { shellFolder.Remove(); }

private:
    CSavedValue userShellFolder{kUserShellFolders, "Desktop"};
    CSavedValue shellFolder{kShellFolders, "Desktop"};
};

struct Link {
    std::string target, workingFolder, icon;
    int iconIndex = -1;
};

Link ReadLink(const std::string& path)
{
    Link result;
    ComPtr<IShellLinkA> link;
    ComPtr<IPersistFile> file;
    std::wstring widePath(path.begin(), path.end());
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&link))) ||
        FAILED(link.As(&file)) || FAILED(file->Load(widePath.c_str(), STGM_READ)))
        return result;
    char text[MAX_PATH] = "";
    link->GetPath(text, MAX_PATH, nullptr, SLGP_RAWPATH);
    result.target = text;
    link->GetWorkingDirectory(text, MAX_PATH);
    result.workingFolder = text;
    link->GetIconLocation(text, MAX_PATH, &result.iconIndex);
    result.icon = text;
    return result;
}

std::vector<std::string> FilesIn(const std::string& folder)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            names.push_back(found.cFileName);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return names;
}

class ShortcutsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CoInitialize(nullptr);
        theLog.Open();
        installFolder = folder.File("Quake3");
        desktopFolder = folder.File("Desktop");
        CreateDirectoryA(installFolder.c_str(), nullptr);
        CreateDirectoryA(desktopFolder.c_str(), nullptr);
        desktop.Set(desktopFolder);
        SetInstallFolder(installFolder);
    }
    void TearDown() override { theLog.Close(); }

    // What the installation folder box holds.
    void SetInstallFolder(const std::string& path) { folderText = path; }
    // The shell puts its own Desktop value back whenever it writes a link,
    // so each command is pointed at the test's folder anew.
    void Run(void (*command)(const std::string&))
    {
        desktop.Set(desktopFolder);
        command(folderText);
    }
    // Makes a program file (and its folders) below the installation folder.
    void Install(const std::string& relative)
    {
        std::string path = installFolder + "\\" + relative;
        for (size_t slash = path.find('\\', installFolder.size() + 1); slash != std::string::npos;
             slash = path.find('\\', slash + 1))
            CreateDirectoryA(path.substr(0, slash).c_str(), nullptr);
        WriteWholeFile(path, "program");
    }
    std::string Log() const
    {
        std::fflush(nullptr);
        return ReadWholeFile(folder.File("log.txt"));
    }

    CTestFolder folder;
    CDesktopValue desktop;
    std::string installFolder, desktopFolder, folderText;
};

struct CommandCase {
    const char* name;
    void (*command)(const std::string&);
    const char* program;  // below the installation folder
    const char* linkFile;
    const char* workingFolder;
    const char* icon;
    const char* firstLine;
};

const CommandCase kCommands[] = {
    {"Cpma", CreateCpmaShortcut, "_Cpma.bat", "Quake III Arena.lnk", "", "\\quake3.exe",
     "Creating shortcut to Cpma"},
    {"Defrag", CreateDefragShortcut, "_Defrag.bat", "_Defrag.lnk", "", "\\defrag\\defrag.ico",
     "Creating shortcut to Defrag"},
    {"SuperHud", CreateSuperHudShortcut, "superhudeditor-0.3.0\\superhudeditor.exe",
     "SuperHUD Editor.lnk", "\\superhudeditor-0.3.0", "\\superhudeditor-0.3.0\\superhudeditor.exe",
     "Creating shortcut to SHE"},
    {"GameScanner", CreateGameScannerShortcut, "Game Scanner\\GameScanner.exe", "_GameSanner.lnk",
     "\\Game Scanner", "\\Game Scanner\\GameScanner.exe", "Creating shortcut to GS"},
};

TEST_F(ShortcutsTest, EachCommandLinksItsOwnProgram)
{
    for (const CommandCase& row : kCommands) {
        SCOPED_TRACE(row.name);
        Install(row.program);
        Run(row.command);
        // The icon's own file need not exist (Cpma's quake3.exe is not installed here).
        Link link = ReadLink(desktopFolder + "\\" + row.linkFile);
        EXPECT_EQ(installFolder + "\\" + row.program, link.target);
        EXPECT_EQ(installFolder + row.workingFolder, link.workingFolder);
        EXPECT_EQ(installFolder + row.icon, link.icon);
        EXPECT_EQ(0, link.iconIndex);
        EXPECT_NE(std::string::npos, Log().find(std::string(row.firstLine) + "\r\n"));
    }
    EXPECT_EQ(4u, FilesIn(desktopFolder).size());
    EXPECT_EQ(std::string::npos, Log().find("not found")) << Log();
}

TEST_F(ShortcutsTest, AllShortcutsWithOnlyGameScannerMakesOneLink)
{
    Install("Game Scanner\\GameScanner.exe");
    Run(CreateAllShortcuts);

    EXPECT_EQ(std::vector<std::string>{"_GameSanner.lnk"}, FilesIn(desktopFolder));
    Link link = ReadLink(desktopFolder + "\\_GameSanner.lnk");
    EXPECT_EQ(installFolder + "\\Game Scanner\\GameScanner.exe", link.target);
    EXPECT_EQ(installFolder + "\\Game Scanner", link.workingFolder);
    EXPECT_EQ(link.target, link.icon);
    EXPECT_EQ(0, link.iconIndex);
}

TEST_F(ShortcutsTest, AllShortcutsWithNothingInstalledLogsFourMissingPrograms)
{
    CreateAllShortcuts(folderText);

    EXPECT_EQ("\r\n\r\n\r\nCreating shortcut to Cpma\r\n_Cpma.bat file not found.\r\n"
              "\r\n\r\n\r\nCreating shortcut to Defrag\r\n_Defrag.bat file not found.\r\n"
              "\r\n\r\n\r\nCreating shortcut to SHE\r\nsuperhudeditor.exe file not found.\r\n"
              "\r\n\r\n\r\nCreating shortcut to GS\r\nGameSanner.exe file not found.\r\n",
              Log());
    EXPECT_TRUE(FilesIn(desktopFolder).empty());
}

TEST_F(ShortcutsTest, RunningAgainReplacesTheLink)
{
    Install("Game Scanner\\GameScanner.exe");
    Run(CreateGameScannerShortcut);
    installFolder = folder.File("Other Quake3");
    CreateDirectoryA(installFolder.c_str(), nullptr);
    Install("Game Scanner\\GameScanner.exe");
    SetInstallFolder(installFolder);

    Run(CreateGameScannerShortcut);

    EXPECT_EQ(std::vector<std::string>{"_GameSanner.lnk"}, FilesIn(desktopFolder));
    EXPECT_EQ(installFolder + "\\Game Scanner\\GameScanner.exe",
              ReadLink(desktopFolder + "\\_GameSanner.lnk").target);
}

TEST_F(ShortcutsTest, TrailingBackslashIsKeptAsTyped)
{
    Install("_Cpma.bat");
    SetInstallFolder(installFolder + "\\");
    Run(CreateCpmaShortcut);

    EXPECT_EQ(std::string::npos, Log().find("not found"));
    EXPECT_FALSE(ReadLink(desktopFolder + "\\Quake III Arena.lnk").target.empty());
}

TEST_F(ShortcutsTest, UnreadableDesktopValueIsLogged)
{
    struct Case {
        const char* name;
        bool remove;
        std::string value;
        const char* expectedLog;
    };
    const Case cases[] = {
        {"missing", true, "",
         "RegQueryValueEx failed (2)\r\nRegistry value does not exists\r\n"},
        {"too long", false, "C:\\" + std::string(300, 'd'),
         "RegQueryValueEx failed (234)\r\nBuffer is to small\r\n"},
    };
    Install("Game Scanner\\GameScanner.exe");
    for (const Case& row : cases) {
        SCOPED_TRACE(row.name);
        theLog.Close();
        theLog.Open();
        if (row.remove)
            desktop.Remove();
        else
            desktop.Set(row.value);

        CreateGameScannerShortcut(folderText);

        EXPECT_EQ(std::string("\r\n\r\n\r\nCreating shortcut to GS\r\n") + row.expectedLog +
                      "CreateShortcut(...) returns false.\r\n",
                  Log());
    }
    EXPECT_TRUE(FilesIn(desktopFolder).empty());
}

// The link cannot be written: the log says so instead of passing over it.
TEST_F(ShortcutsTest, LinkThatCannotBeSavedIsReported)
{
    Install("Game Scanner\\GameScanner.exe");
    desktop.Set(folder.File("No such folder"));

    CreateGameScannerShortcut(folderText);

    EXPECT_EQ("\r\n\r\n\r\nCreating shortcut to GS\r\nCreateShortcut(...) returns false.\r\n", Log());
}

}  // namespace
