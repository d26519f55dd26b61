#include "ui/about_dialog.h"

#include "core/version.h"

namespace {

const int kVersionLine = 202;
const int kCreditNames[] = {205, 206, 208, 210};
const int kMarkers[] = {401, 402, 403, 404};

struct LinkPlace {
    RECT rectangle;  // client pixels of the dialog, not dialog units
    const char* target;
};

const LinkPlace kLinkPlaces[4] = {
    {{125, 63, 250, 90}, "http://tavrin.test/"},
    {{200, 148, 320, 165}, "team@tavrin.test"},
    {{172, 84, 290, 110}, "idea@tavrin.test"},
    {{172, 108, 290, 126}, "gfx@tavrin.test"},
};

void OnInitDialog(HWND dialog, HINSTANCE instance)
{
    HFONT creditFont = CreateFontA(13, 7, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, ANSI_CHARSET,
                                   OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                   DEFAULT_PITCH | FF_DONTCARE, "ms sans serif");
    SetDlgItemTextA(dialog, kVersionLine, ("v " + VersionText()).c_str());

    for (int name : kCreditNames)
        SendDlgItemMessageA(dialog, name, WM_SETFONT, reinterpret_cast<WPARAM>(creditFont), TRUE);

    HBITMAP marker = LoadBitmapA(instance, MAKEINTRESOURCEA(300));
    for (int picture : kMarkers)
        SendDlgItemMessageA(dialog, picture, STM_SETIMAGE, IMAGE_BITMAP,
                            reinterpret_cast<LPARAM>(marker));

    for (int i = 0; i < 4; ++i) {
        const RECT& place = kLinkPlaces[i].rectangle;
        aboutLinks[i].Create(place.left, place.top, place.right, place.bottom,
                             kLinkPlaces[i].target, dialog);
    }
}

// The controls keep no copy of the font or the picture, and each opening
// makes new ones, so they go with the dialog.
void OnDestroy(HWND dialog)
{
    DeleteObject(
        reinterpret_cast<HGDIOBJ>(SendDlgItemMessageA(dialog, kCreditNames[0], WM_GETFONT, 0, 0)));
    DeleteObject(reinterpret_cast<HGDIOBJ>(
        SendDlgItemMessageA(dialog, kMarkers[0], STM_GETIMAGE, IMAGE_BITMAP, 0)));
}

INT_PTR CALLBACK AboutDialogProcedure(HWND dialog, UINT message, WPARAM, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        OnInitDialog(dialog, reinterpret_cast<HINSTANCE>(lParam));
        return TRUE;  // the system focuses the default button
    case WM_COMMAND:  // Ok, Enter, Escape and the close box alike
        EndDialog(dialog, 0);
        return TRUE;
    case WM_DESTROY:
        OnDestroy(dialog);
        return FALSE;
    }
    return FALSE;
}

}  // namespace

// After the application object, as the program's other process-wide objects.
CHyperlink aboutLinks[4] __attribute__((init_priority(103)));

void ShowAboutDialog(HINSTANCE instance, HWND owner)
{
    DialogBoxParamA(instance, MAKEINTRESOURCEA(200), owner, AboutDialogProcedure,
                    reinterpret_cast<LPARAM>(instance));
}
