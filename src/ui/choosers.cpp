#include "ui/choosers.h"

#include <memory>
#include <windows.h>
#include <commdlg.h>
#include <shlobj.h>

#include "core/com_initialization.h"
#include "core/program_folder.h"
#include "core/window_operations.h"

void ChoosePak0File(CWindowOperations& ui, HWND owner, HWND edit)
{
    char path[MAX_PATH] = "";
    OPENFILENAMEA dialog = {};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = "pak0.pk3\0pak0.pk3\0";
    dialog.lpstrFile = path;
    dialog.nMaxFile = sizeof path;
    dialog.lpstrDefExt = "pk3";
    dialog.Flags = OFN_FILEMUSTEXIST;
    if (GetOpenFileNameA(&dialog))
        ui.SetEditText(edit, path);
    // The dialog may have moved the current directory.
    EnterProgramFolder();
}

void ChooseInstallFolder(CWindowOperations& ui, HWND edit)
{
    InitializeComOnThisThread();
    char path[MAX_PATH] = "";
    BROWSEINFOA browse = {};
    browse.pszDisplayName = path;
    browse.lpszTitle = "Choose directory";
    browse.ulFlags = BIF_NEWDIALOGSTYLE;
    std::unique_ptr<ITEMIDLIST, decltype(&CoTaskMemFree)> chosen(SHBrowseForFolderA(&browse), CoTaskMemFree);
    if (!chosen)
        return;
    // A virtual folder has no path: the box keeps what it had.
    if (SHGetPathFromIDListA(chosen.get(), path))
        ui.SetEditText(edit, path);
}
