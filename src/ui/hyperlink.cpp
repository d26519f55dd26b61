#include "ui/hyperlink.h"

#include <shellapi.h>

namespace {

const char kClassName[] = "STATIC_HYPER";

CHyperlink* LinkOf(HWND window)
{
    return reinterpret_cast<CHyperlink*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

// No background of its own: the text lies on whatever the parent painted.
void PaintLink(HDC dc, HWND window, const CHyperlink& link)
{
    RECT area;
    GetClientRect(window, &area);
    HFONT font = CreateFontA(15, 7, 0, 0, FW_NORMAL, FALSE, TRUE, FALSE, ANSI_CHARSET,
                             OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                             DEFAULT_PITCH | FF_DONTCARE, "MS Sans serif");
    HGDIOBJ previousFont = SelectObject(dc, font);
    SetTextColor(dc, RGB(0, 0, 200));
    SetBkMode(dc, TRANSPARENT);
    DrawTextA(dc, link.url.c_str(), -1, &area, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    // A font still selected into a device context cannot be deleted.
    SelectObject(dc, previousFont);
    DeleteObject(font);
}

void OnPaint(HWND window)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    if (const CHyperlink* link = LinkOf(window))
        PaintLink(dc, window, *link);
    EndPaint(window, &paint);
}

void OnLeftButtonDown(HWND window)
{
    const CHyperlink* link = LinkOf(window);
    if (!link)
        return;
    INT_PTR result = reinterpret_cast<INT_PTR>(theHyperlinkClass.openTarget(
        nullptr, "open", link->url.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    if (result <= 32)
        theHyperlinkClass.beep(MB_OK);
}

// The dialog that holds the link destroys it long before the object goes;
// forgetting the handle here keeps the object from destroying a stranger
// that has been given the same handle value since.
void OnNcDestroy(HWND window)
{
    if (CHyperlink* link = LinkOf(window)) {
        if (link->window == window)
            link->window = nullptr;
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
    }
}

LRESULT CALLBACK HyperlinkProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT:
        OnPaint(window);
        return 1;
    case WM_PRINTCLIENT:
        if (const CHyperlink* link = LinkOf(window))
            PaintLink(reinterpret_cast<HDC>(wParam), window, *link);
        return 0;
    case WM_SETCURSOR:
        if (handCursor)
            SetCursor(handCursor);
        DefWindowProcA(window, message, wParam, lParam);
        return 1;
    case WM_MOUSEMOVE:
        return 1;
    case WM_LBUTTONDOWN:
        OnLeftButtonDown(window);
        return 1;
    case WM_NCDESTROY:
        OnNcDestroy(window);
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

HCURSOR handCursor = nullptr;

// Built before the application object and the links, so the class exists
// before any link is created and outlives them all.
CHyperlinkClass theHyperlinkClass __attribute__((init_priority(101)));

CHyperlinkClass::CHyperlinkClass() : openTarget(ShellExecuteA), beep(MessageBeep)
{
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = HyperlinkProcedure;
    windowClass.lpszClassName = kClassName;
    RegisterClassA(&windowClass);

    handCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32649));
    if (handCursor)
        return;
    // Old systems without a hand cursor: the help program carries one.
    char path[MAX_PATH] = "";
    GetWindowsDirectoryA(path, sizeof path);
    std::string helpProgram = std::string(path) + "\\winhlp32.exe";
    helpModule = LoadLibraryA(helpProgram.c_str());
    if (helpModule)
        handCursor = LoadCursorA(helpModule, MAKEINTRESOURCEA(106));
}

CHyperlinkClass::~CHyperlinkClass()
{
    if (helpModule)
        FreeLibrary(helpModule);
}

CHyperlink::~CHyperlink()
{
    if (window)
        DestroyWindow(window);
}

bool CHyperlink::Create(int left, int top, int right, int bottom, const char* text, HWND parent)
{
    if (text)
        url = text;
    window = CreateWindowExA(0, kClassName, url.c_str(), WS_VISIBLE | WS_CHILD, left, top,
                             right - left, bottom - top, parent, nullptr, nullptr, nullptr);
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    return window != nullptr;
}
