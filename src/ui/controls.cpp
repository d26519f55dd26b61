#include "ui/controls.h"

#include <windows.h>
#include <commctrl.h>

#include "core/application.h"
#include "core/window_operations.h"
#include "settings/settings.h"
#include "ui/win32_window_operations.h"

namespace {

// The children of one application object's main window.
struct CChildMaker {
    const CApplication& app;

    HWND Child(const char* windowClass, const char* text, DWORD style, int x, int y, int width, int height,
               int id, DWORD extendedStyle = 0) const
    {
        return CreateWindowExA(extendedStyle, windowClass, text, WS_CHILD | WS_VISIBLE | style, x, y, width,
                               height, app.mainWindow, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                               app.instance, nullptr);
    }
    HWND Button(const char* text, DWORD style, int x, int y, int width, int height, int id) const
    {
        return Child("button", text, BS_PUSHBUTTON | style, x, y, width, height, id);
    }
    HWND IconButton(int x, int y, int width, int height, int id) const
    {
        return Button("", BS_ICON, x, y, width, height, id);
    }
};

HFONT CreateControlFont(int height, const char* face)
{
    return CreateFontA(-height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, EASTEUROPE_CHARSET,
                       OUT_TT_PRECIS, CLIP_DEFAULT_PRECIS, PROOF_QUALITY,
                       DEFAULT_PITCH | FF_DONTCARE, face);
}

void SetFont(HWND control, HFONT font)
{
    SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

void SetButtonIcon(HWND button, int iconId)
{
    HICON icon = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(iconId));
    SendMessageA(button, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(icon));
}

}  // namespace

void CreateAllControls(CApplication& app)
{
    const CChildMaker make{app};
    INITCOMMONCONTROLSEX classes = {sizeof classes, 255};
    InitCommonControlsEx(&classes);

    app.backgroundBrush = CreateSolidBrush(kWindowColour);

    app.itemTree = make.Child(WC_TREEVIEWA, "Tree View",
                               TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_CHECKBOXES,
                               354, 2, 275, 300, 100, WS_EX_CLIENTEDGE);

    app.labelFont = CreateControlFont(12, "Microsoft Sans Serif");
    app.editFont = CreateControlFont(11, "Tahoma");

    app.overallProgressBar = make.Child(PROGRESS_CLASSA, nullptr, 0, 2, 260, 350, 20, 101);
    app.itemProgressBar = make.Child(PROGRESS_CLASSA, nullptr, 0, 2, 230, 350, 20, 102);

    app.infoTitleLabel = make.Child("static", "", SS_LEFT, 2, 290, 350, 15, 0);
    app.infoTextLabel = make.Child("static", "", SS_LEFT, 2, 307, 350, 400, 0);

    SendMessageA(app.overallProgressBar, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
    SendMessageA(app.itemProgressBar, PBM_SETRANGE, 0, MAKELPARAM(0, 100));

    app.pak0Button = make.Button("1.Point to pak0.pk3 file on your disk drive or CD       ", 0,
                                  2, 85, 350, 23, 105);
    app.folderButton = make.Button(
        "2.Select new installation folder                                  ", 0, 2, 133, 350, 23,
        106);
    app.installButton = make.Button("3. Install", 0, 2, 179, 80, 23, 103);
    app.punkBusterButton = make.Button("4. Update Punk Buster", 0, 84, 179, 184, 23, 106);
    app.readmeButton = make.Button("5. Readme", BS_ICON, 270, 179, 80, 23, 106);
    app.selectAllButton = make.Button("Select all", 0, 354, 305, 90, 23, 106);
    app.selectNoneButton = make.Button("Select none", 0, 449, 305, 90, 23, 106);
    app.aboutButton = make.Button("About", 0, 544, 305, 80, 23, 104);
    app.cpmaButton = make.IconButton(354, 360, 33, 33, 106);
    app.defragButton = make.IconButton(392, 360, 32, 32, 106);
    app.superHudButton = make.IconButton(506, 360, 32, 32, 106);
    app.gameScannerButton = make.IconButton(544, 360, 32, 32, 106);

    app.pak0Edit = make.Child("edit", nullptr, ES_AUTOHSCROLL, 2, 110, 350, 18, 107, WS_EX_CLIENTEDGE);
    app.folderEdit = make.Child("edit", nullptr, ES_AUTOHSCROLL, 2, 156, 350, 18, 108, WS_EX_CLIENTEDGE);

    app.statusLabel = make.Child("static", "", SS_LEFT, 2, 206, 300, 18, 10);
    app.bannerImage = make.Child("static", "", SS_BITMAP, 2, 2, 350, 75, 10);
    HBITMAP banner = LoadBitmapA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(302));
    SendMessageA(app.bannerImage, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(banner));

    app.shortcutsButton = make.Button("6. Create shortcuts on your desktop", 0, 354, 333, 270, 23, 0);

    SendMessageA(app.pak0Edit, EM_LIMITTEXT, 260, 0);
    SendMessageA(app.folderEdit, EM_LIMITTEXT, 260, 0);

    SetFont(app.statusLabel, app.labelFont);
    SetFont(app.infoTitleLabel, app.labelFont);
    SetFont(app.infoTextLabel, app.labelFont);
    SetFont(app.pak0Edit, app.editFont);
    SetFont(app.folderEdit, app.editFont);

    SetButtonIcon(app.cpmaButton, 303);
    SetButtonIcon(app.defragButton, 304);
    SetButtonIcon(app.superHudButton, 305);
    SetButtonIcon(app.gameScannerButton, 306);

    AcceptWorkerMessages(app.itemTree);

    app.settings->Load();
    app.ui->SetEditText(app.pak0Edit, app.settings->pak0Path);
    app.ui->SetEditText(app.folderEdit, app.settings->installFolder);
}
