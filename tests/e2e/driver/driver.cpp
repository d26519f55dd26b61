// Drives a running Tavrin window from outside, as a person would: finds it by
// title, reads control texts, states and tree nodes, presses buttons, clicks
// check boxes and closes it. One command per run; output on stdout.
//
//   driver <title> wait-unlocked <seconds>   wait until every button is enabled
//   driver <title> controls                  class|text|x|y|w|h|id|enabled|style
//   driver <title> tree                      indented outline, "[x] " when checked
//   driver <title> tree-states               the same, each group marked " +" open or
//                                            " -" closed, the selected node " <"
//   driver <title> progress                  positions of the progress bars
//   driver <title> click <button text>       BM_CLICK, posted
//   driver <title> double-click <button text>
//                                            two BM_CLICKs posted back to back, both
//                                            queued before the window reads the first
//   driver <title> check <node text>         mouse click on the node's check box
//   driver <title> select <node text>        mouse click on the node's text
//   driver <title> text <control id> <n>     text of the n-th control with that id
//   driver <title> watch <prefix> <seconds>  ask the status line for its text every 10 ms
//                                            until it begins with the prefix
//   driver <title> click-and-watch <button text> <prefix> <seconds>
//                                            the same, from a click on the button
//   driver <title> double-click-and-watch <button text> <prefix> <seconds>
//                                            the same, from a double-click
//   driver <title> timed-click <button text> <node text> <state> <seconds>
//                                            BM_CLICK, posted; prints the seconds until
//                                            the window answers that the node's check
//                                            state is <state> (1 unchecked, 2 checked)
//   driver <title> timed-check <node text> <state> <seconds>
//                                            the same from a mouse click on the node's
//                                            check box, asking about its first child
//   driver <title> close                     WM_CLOSE, then wait until gone
//   driver <title> wait-window <seconds>     wait until a window has that title
//   driver <title> gone <seconds>            wait until no window has that title
//   driver <title> hold-window <seconds>     make a window with that title and print
//                                            what ended it: WM_QUIT, WM_DESTROY, timeout
//
// Exit code 0 on success, 1 when the window or control is not found in time.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

HWND FindTopWindow(const char* title, double seconds)
{
    DWORD end = GetTickCount() + static_cast<DWORD>(seconds * 1000);
    for (;;) {
        if (HWND window = FindWindowA(nullptr, title))
            return window;
        if (static_cast<LONG>(GetTickCount() - end) >= 0)
            return nullptr;
        Sleep(50);
    }
}

std::vector<HWND> Children(HWND parent)
{
    std::vector<HWND> children;
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        children.push_back(child);
    return children;
}

std::string ClassOf(HWND window)
{
    char name[64] = "";
    GetClassNameA(window, name, sizeof name);
    return name;
}

std::string TextOf(HWND window)
{
    char text[1024] = "";
    SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text),
                        SMTO_ABORTIFHUNG, 5000, nullptr);
    return text;
}

bool IsInteractive(HWND control)
{
    std::string name = ClassOf(control);
    return !_stricmp(name.c_str(), "Button") || !_stricmp(name.c_str(), "Edit") ||
           !_stricmp(name.c_str(), "SysTreeView32");
}

int WaitUnlocked(HWND window, double seconds)
{
    DWORD end = GetTickCount() + static_cast<DWORD>(seconds * 1000);
    for (;;) {
        // Visible means shown, and the first show locks the controls first.
        std::vector<HWND> children = Children(window);
        bool all = IsWindowVisible(window) && !children.empty();
        for (HWND child : children)
            if (IsInteractive(child) && !IsWindowEnabled(child))
                all = false;
        if (all)
            return 0;
        if (static_cast<LONG>(GetTickCount() - end) >= 0) {
            std::puts("still locked");
            return 1;
        }
        Sleep(50);
    }
}

int ListControls(HWND window)
{
    for (HWND child : Children(window)) {
        RECT box;
        GetWindowRect(child, &box);
        MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&box), 2);
        std::printf("%s|%s|%ld|%ld|%ld|%ld|%d|%d|0x%08lx\n", ClassOf(child).c_str(),
                    TextOf(child).c_str(), box.left, box.top, box.right - box.left,
                    box.bottom - box.top, GetDlgCtrlID(child), IsWindowEnabled(child) ? 1 : 0,
                    static_cast<unsigned long>(GetWindowLongA(child, GWL_STYLE)));
    }
    return 0;
}

HWND FindChild(HWND window, const char* windowClass)
{
    for (HWND child : Children(window))
        if (!_stricmp(ClassOf(child).c_str(), windowClass))
            return child;
    return nullptr;
}

// Tree items live in the other process: TVM_GETITEM needs its memory.
class CRemoteTree {
public:
    explicit CRemoteTree(HWND tree) : tree(tree)
    {
        DWORD processId = 0;
        GetWindowThreadProcessId(tree, &processId);
        process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE,
                              processId);
        remote = VirtualAllocEx(process, nullptr, 4096, MEM_COMMIT, PAGE_READWRITE);
    }
    ~CRemoteTree()
    {
        VirtualFreeEx(process, remote, 0, MEM_RELEASE);
        CloseHandle(process);
    }

    HTREEITEM Next(HTREEITEM node, WPARAM relation)
    {
        return reinterpret_cast<HTREEITEM>(
            SendMessageA(tree, TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(node)));
    }

    void Read(HTREEITEM node, std::string& text, int& checkState)
    {
        char* remoteText = static_cast<char*>(remote) + sizeof(TVITEMA);
        TVITEMA item = {};
        item.mask = TVIF_TEXT | TVIF_STATE;
        item.hItem = node;
        item.stateMask = TVIS_STATEIMAGEMASK;
        item.pszText = remoteText;
        item.cchTextMax = 1024;
        WriteProcessMemory(process, remote, &item, sizeof item, nullptr);
        SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(remote));
        char buffer[1025] = "";
        ReadProcessMemory(process, remoteText, buffer, 1024, nullptr);
        ReadProcessMemory(process, remote, &item, sizeof item, nullptr);
        text = buffer;
        checkState = static_cast<int>((item.state & TVIS_STATEIMAGEMASK) >> 12);
    }

    // The item's text rectangle, in the tree's client coordinates.
    bool TextRect(HTREEITEM node, RECT& rect)
    {
        *reinterpret_cast<HTREEITEM*>(&rect) = node;
        WriteProcessMemory(process, remote, &rect, sizeof rect, nullptr);
        if (!SendMessageA(tree, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(remote)))
            return false;
        ReadProcessMemory(process, remote, &rect, sizeof rect, nullptr);
        return true;
    }

    void Outline(HTREEITEM first, int depth)
    {
        for (HTREEITEM node = first; node; node = Next(node, TVGN_NEXT)) {
            std::string text;
            int state = 0;
            Read(node, text, state);
            std::printf("%s%s%s\n", std::string(depth * 2, ' ').c_str(),
                        state == 2 ? "[x] " : "[ ] ", text.c_str());
            Outline(Next(node, TVGN_CHILD), depth + 1);
        }
    }

    void StateOutline(HTREEITEM first, int depth, HTREEITEM selected)
    {
        for (HTREEITEM node = first; node; node = Next(node, TVGN_NEXT)) {
            std::string text;
            int state = 0;
            Read(node, text, state);
            HTREEITEM child = Next(node, TVGN_CHILD);
            bool open = SendMessageA(tree, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(node), TVIS_EXPANDED) &
                        TVIS_EXPANDED;
            std::printf("%s%s%s%s%s\n", std::string(depth * 2, ' ').c_str(), state == 2 ? "[x] " : "[ ] ",
                        text.c_str(), child ? (open ? " +" : " -") : "", node == selected ? " <" : "");
            StateOutline(child, depth + 1, selected);
        }
    }

    // Asks the window for the node's check state until it is `wanted`; the
    // window answers only between its messages, so the answer comes once the
    // message that changes it has been handled. Seconds since `start`, or -1.
    double WaitForState(HTREEITEM node, int wanted, LARGE_INTEGER start, double seconds)
    {
        LARGE_INTEGER frequency, now;
        QueryPerformanceFrequency(&frequency);
        for (;;) {
            DWORD_PTR state = 0;
            LRESULT ok = SendMessageTimeoutA(tree, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(node),
                                             TVIS_STATEIMAGEMASK, SMTO_NORMAL,
                                             static_cast<UINT>(seconds * 1000), &state);
            QueryPerformanceCounter(&now);
            double elapsed = static_cast<double>(now.QuadPart - start.QuadPart) / frequency.QuadPart;
            if (ok && static_cast<int>((state & TVIS_STATEIMAGEMASK) >> 12) == wanted)
                return elapsed;
            if (!ok || elapsed > seconds)
                return -1;
            Sleep(1);
        }
    }

    HTREEITEM Find(HTREEITEM first, const std::string& wanted)
    {
        for (HTREEITEM node = first; node; node = Next(node, TVGN_NEXT)) {
            std::string text;
            int state = 0;
            Read(node, text, state);
            if (text == wanted)
                return node;
            if (HTREEITEM below = Find(Next(node, TVGN_CHILD), wanted))
                return below;
        }
        return nullptr;
    }

private:
    HWND tree;
    HANDLE process = nullptr;
    void* remote = nullptr;
};

int PrintSeconds(double seconds)
{
    if (seconds < 0) {
        std::puts("no answer in time");
        return 1;
    }
    std::printf("%.3f\n", seconds);
    return 0;
}

void SendMouse(DWORD flags, POINT screen)
{
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dx = screen.x * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1);
    input.mi.dy = screen.y * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1);
    input.mi.dwFlags = flags | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &input, sizeof input);
}

// Real mouse input, as a hand gives it: the control reads the message
// position. Returns the point on the screen, the button let go there.
POINT PressAt(HWND target, POINT client)
{
    POINT screen = client;
    ClientToScreen(target, &screen);
    SendMouse(0, screen);
    Sleep(100);
    SendMouse(MOUSEEVENTF_LEFTDOWN, screen);
    Sleep(100);
    SendMouse(MOUSEEVENTF_LEFTUP, screen);
    return screen;
}

// The mouse leaves the point, so that the next click is not a double click.
void MoveAside(POINT screen)
{
    POINT aside = {screen.x + 2, screen.y};
    SendMouse(0, aside);
}

void ClickAt(HWND target, POINT client)
{
    POINT screen = PressAt(target, client);
    Sleep(100);
    MoveAside(screen);
    Sleep(300);
}

// Where a click on the node lands: its check box, just left of its text, or
// the text's middle. False when the node is not in view.
bool NodePoint(CRemoteTree& remote, HTREEITEM node, bool onCheckBox, POINT& at)
{
    RECT text;
    if (!node || !remote.TextRect(node, text))
        return false;
    at = {onCheckBox ? text.left - 8 : (text.left + text.right) / 2, (text.top + text.bottom) / 2};
    return true;
}

// Presses at `at` and waits until `watched` shows `state`; lets go of the
// point either way. Seconds from the press, or -1.
double PressAndWait(CRemoteTree& remote, HWND tree, POINT at, HTREEITEM watched, int state, double seconds)
{
    POINT screen = PressAt(tree, at);
    LARGE_INTEGER start;
    QueryPerformanceCounter(&start);
    double elapsed = remote.WaitForState(watched, state, start, seconds);
    MoveAside(screen);
    return elapsed;
}

int TimedCheck(HWND window, const char* wanted, int state, double seconds)
{
    HWND tree = FindChild(window, "SysTreeView32");
    if (!tree)
        return 1;
    CRemoteTree remote(tree);
    HTREEITEM node = remote.Find(remote.Next(nullptr, TVGN_ROOT), wanted);
    HTREEITEM child = node ? remote.Next(node, TVGN_CHILD) : nullptr;
    POINT at;
    if (!child || !NodePoint(remote, node, true, at)) {
        std::printf("no group %s in view\n", wanted);
        return 1;
    }
    return PrintSeconds(PressAndWait(remote, tree, at, child, state, seconds));
}

int ClickNode(HWND window, const char* wanted, bool onCheckBox)
{
    HWND tree = FindChild(window, "SysTreeView32");
    if (!tree)
        return 1;
    CRemoteTree remote(tree);
    HTREEITEM node = remote.Find(remote.Next(nullptr, TVGN_ROOT), wanted);
    POINT at;
    if (!NodePoint(remote, node, onCheckBox, at)) {
        std::printf("no node %s\n", wanted);
        return 1;
    }
    if (!onCheckBox) {
        ClickAt(tree, at);
        return 0;
    }
    // The click comes through the X server and the window's queue: under load
    // it may be handled well after the button is let go, so wait for the box
    // itself to turn (the subtree changes before it, in the same message).
    std::string text;
    int before = 0;
    remote.Read(node, text, before);
    double seconds = PressAndWait(remote, tree, at, node, before == 2 ? 1 : 2, 20);
    Sleep(300);  // the next click is not a double click
    if (seconds < 0) {
        std::printf("the box of %s did not turn\n", wanted);
        return 1;
    }
    return 0;
}

int ClickButton(HWND window, const char* text, int clicks = 1)
{
    for (HWND child : Children(window))
        if (!_stricmp(ClassOf(child).c_str(), "Button") && TextOf(child) == text) {
            // No wait between the posts: the second comes before the first can lock the controls.
            for (int i = 0; i < clicks; ++i)
                PostMessageA(child, BM_CLICK, 0, 0);
            return 0;
        }
    std::printf("no button %s\n", text);
    return 1;
}

int TimedClick(HWND window, const char* button, const char* wanted, int state, double seconds)
{
    HWND tree = FindChild(window, "SysTreeView32");
    if (!tree)
        return 1;
    CRemoteTree remote(tree);
    HTREEITEM node = remote.Find(remote.Next(nullptr, TVGN_ROOT), wanted);
    if (!node) {
        std::printf("no node %s\n", wanted);
        return 1;
    }
    LARGE_INTEGER start;
    QueryPerformanceCounter(&start);
    if (ClickButton(window, button) != 0)
        return 1;
    return PrintSeconds(remote.WaitForState(node, state, start, seconds));
}

int Progress(HWND window)
{
    for (HWND child : Children(window))
        if (!_stricmp(ClassOf(child).c_str(), "msctls_progress32"))
            std::printf("%d %ld\n", GetDlgCtrlID(child),
                        static_cast<long>(SendMessageA(child, PBM_GETPOS, 0, 0)));
    return 0;
}

int ControlText(HWND window, int id, int index)
{
    int seen = 0;
    for (HWND child : Children(window))
        if (GetDlgCtrlID(child) == id && seen++ == index) {
            std::printf("%s\n", TextOf(child).c_str());
            return 0;
        }
    return 1;
}

HWND StatusLine(HWND window)
{
    for (HWND child : Children(window))
        if (GetDlgCtrlID(child) == 10)
            return child;
    return nullptr;
}

// Watches the status line as a person would, and how fast the window answers:
// prints the seconds until the text began with `prefix`, the slowest answer
// in milliseconds and the last text.
int Watch(HWND window, const char* prefix, double seconds)
{
    HWND status = StatusLine(window);
    LARGE_INTEGER frequency, start, asked, answered;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    double slowest = 0;
    std::string text;
    bool reached = false;
    while (status) {
        char buffer[1024] = "";
        QueryPerformanceCounter(&asked);
        LRESULT ok = SendMessageTimeoutA(status, WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer),
                                         SMTO_NORMAL, 10000, nullptr);
        QueryPerformanceCounter(&answered);
        if (!ok)
            break;
        double answerMs = 1000.0 * (answered.QuadPart - asked.QuadPart) / frequency.QuadPart;
        slowest = answerMs > slowest ? answerMs : slowest;
        text = buffer;
        if (text.compare(0, std::strlen(prefix), prefix) == 0) {
            reached = true;
            break;
        }
        if ((answered.QuadPart - start.QuadPart) > seconds * frequency.QuadPart)
            break;
        Sleep(10);
    }
    std::printf("%.3f %.1f %s\n", static_cast<double>(answered.QuadPart - start.QuadPart) / frequency.QuadPart,
                slowest, text.c_str());
    return reached ? 0 : 1;
}

int WaitGone(const char* title, double seconds)
{
    DWORD end = GetTickCount() + static_cast<DWORD>(seconds * 1000);
    while (FindWindowA(nullptr, title)) {
        if (static_cast<LONG>(GetTickCount() - end) >= 0)
            return 1;
        Sleep(50);
    }
    return 0;
}

bool heldWindowDestroyed = false;

LRESULT CALLBACK HeldWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DESTROY) {
        heldWindowDestroyed = true;
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// Stands in for another program's window, e.g. an older release of Tavrin.
int HoldWindow(const char* title, double seconds)
{
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = HeldWindowProcedure;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "Tavrin driver held window";
    RegisterClassA(&windowClass);
    CreateWindowA(windowClass.lpszClassName, title, WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr,
                  nullptr, windowClass.hInstance, nullptr);
    SetTimer(nullptr, 0, static_cast<UINT>(seconds * 1000), nullptr);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (message.message == WM_TIMER && !message.hwnd) {
            std::puts("timeout");
            return 1;
        }
        DispatchMessageA(&message);
    }
    std::puts(heldWindowDestroyed ? "WM_DESTROY" : "WM_QUIT");
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fputs("usage: driver <title> <command> [arguments]\n", stderr);
        return 2;
    }
    const char* title = argv[1];
    std::string command = argv[2];
    const char* argument = argc > 3 ? argv[3] : "";
    double seconds = argc > 3 ? std::atof(argv[3]) : 10;

    if (command == "gone")
        return WaitGone(title, seconds);
    if (command == "hold-window")
        return HoldWindow(title, seconds);
    HWND window = FindTopWindow(title, command == "wait-window" || command == "wait-unlocked" ? seconds : 5);
    if (!window) {
        std::printf("no window %s\n", title);
        return 1;
    }
    if (command == "wait-window")
        return 0;
    if (command == "wait-unlocked")
        return WaitUnlocked(window, seconds);
    if (command == "controls")
        return ListControls(window);
    if (command == "tree") {
        HWND tree = FindChild(window, "SysTreeView32");
        if (!tree)
            return 1;
        CRemoteTree remote(tree);
        remote.Outline(remote.Next(nullptr, TVGN_ROOT), 0);
        return 0;
    }
    if (command == "tree-states") {
        HWND tree = FindChild(window, "SysTreeView32");
        if (!tree)
            return 1;
        CRemoteTree remote(tree);
        remote.StateOutline(remote.Next(nullptr, TVGN_ROOT), 0, remote.Next(nullptr, TVGN_CARET));
        return 0;
    }
    if (command == "timed-click" && argc > 6)
        return TimedClick(window, argv[3], argv[4], std::atoi(argv[5]), std::atof(argv[6]));
    if (command == "timed-check" && argc > 5)
        return TimedCheck(window, argv[3], std::atoi(argv[4]), std::atof(argv[5]));
    if (command == "progress")
        return Progress(window);
    if (command == "click")
        return ClickButton(window, argument);
    if (command == "double-click")
        return ClickButton(window, argument, 2);
    if (command == "check")
        return ClickNode(window, argument, true);
    if (command == "select")
        return ClickNode(window, argument, false);
    if (command == "text" && argc > 4)
        return ControlText(window, std::atoi(argv[3]), std::atoi(argv[4]));
    if (command == "watch" && argc > 4)
        return Watch(window, argv[3], std::atof(argv[4]));
    if (command == "click-and-watch" && argc > 5)
        return ClickButton(window, argv[3]) == 0 ? Watch(window, argv[4], std::atof(argv[5])) : 1;
    if (command == "double-click-and-watch" && argc > 5)
        return ClickButton(window, argv[3], 2) == 0 ? Watch(window, argv[4], std::atof(argv[5])) : 1;
    if (command == "close") {
        PostMessageA(window, WM_CLOSE, 0, 0);
        return WaitGone(title, 10);
    }
    std::fprintf(stderr, "unknown command %s\n", command.c_str());
    return 2;
}
