#pragma once
#include <string>
#include <windows.h>

// "STATIC_HYPER": a child window that shows its target underlined in blue,
// shows a hand cursor, and asks the shell to open the target on a click.

// Registers the window class and finds the hand cursor; one process-wide
// object, built before the application object.
class CHyperlinkClass {
public:
    CHyperlinkClass();
    ~CHyperlinkClass();
    CHyperlinkClass(const CHyperlinkClass&) = delete;
    CHyperlinkClass& operator=(const CHyperlinkClass&) = delete;

    // Only when the help program had to be loaded for its cursor.
    HMODULE helpModule = nullptr;
    // How a click reaches the system; tests put their own here.
    HINSTANCE(WINAPI* openTarget)(HWND, LPCSTR, LPCSTR, LPCSTR, LPCSTR, INT);
    BOOL(WINAPI* beep)(UINT);
};

extern CHyperlinkClass theHyperlinkClass;
// Shared by every link window; null when the system has none.
extern HCURSOR handCursor;

class CHyperlink {
public:
    CHyperlink() = default;
    virtual ~CHyperlink();
    CHyperlink(const CHyperlink&) = delete;
    CHyperlink& operator=(const CHyperlink&) = delete;

    // The rectangle is in the parent's client pixels; a null text keeps url.
    bool Create(int left, int top, int right, int bottom, const char* text, HWND parent);

    std::string url;
    // Cleared when the window goes, so a stale handle is never destroyed.
    HWND window = nullptr;
};
