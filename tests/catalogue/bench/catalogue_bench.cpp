// Times the start-up's tree building: a worker parses a catalogue of 2000
// items in 100 groups into a real tree view while the main thread runs the
// program's own message loop, then checks the marked items and unlocks the
// controls. Prints the times in milliseconds.
#include <cstdio>
#include <string>
#include <windows.h>
#include <commctrl.h>

#include "core/application.h"
#include "app/message_loop.h"
#include "catalogue/catalogue.h"
#include "core/window_operations.h"
#include "ui/item_tree.h"
#include "ui/win32_window_operations.h"

namespace {

constexpr int kGroups = 100;
constexpr int kItemsPerGroup = 20;

std::string GenerateCatalogue()
{
    std::string sections, items;
    for (int group = 0; group < kGroups; ++group) {
        items += "#Group " + std::to_string(group) + ";\n";
        for (int item = 0; item < kItemsPerGroup; ++item) {
            std::string name = "Item " + std::to_string(group) + "." + std::to_string(item);
            sections += "[" + name + "]\n{The description of " + name + ".}\n-baseq3\n1000\n" +
                        "http://127.0.0.1:47001/files/" + name + ".zip\n\n";
            items += "[" + name + "]" + (item % 10 == 0 ? "+" : "") + "\n";
        }
        items += "!\n";
    }
    return "v2.0.4\nhttp://127.0.0.1:47001/Tavrin.exe\n1000\n<message>\nBench.\n</message>\n" +
           sections + "<items>\n" + items;
}

double Milliseconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) /
           static_cast<double>(frequency.QuadPart);
}

double MillisecondsSinceProcessStart()
{
    FILETIME created, exited, kernel, user, now;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    GetSystemTimeAsFileTime(&now);
    ULARGE_INTEGER from = {{created.dwLowDateTime, created.dwHighDateTime}};
    ULARGE_INTEGER to = {{now.dwLowDateTime, now.dwHighDateTime}};
    return static_cast<double>(to.QuadPart - from.QuadPart) / 10000.0;
}

int CountNodes(HTREEITEM first)
{
    int count = 0;
    for (HTREEITEM node = first; node; node = theApp.ui->NextSibling(node))
        count += 1 + CountNodes(theApp.ui->FirstChild(node));
    return count;
}

DWORD WINAPI BuildTree(void*)
{
    theApp.catalogueText = GenerateCatalogue();
    theApp.catalogue->sourceText = &theApp.catalogueText;
    LARGE_INTEGER start, parsed, ready;
    QueryPerformanceCounter(&start);
    bool ok = ParseItems(*theApp.catalogue, *theApp.ui);
    QueryPerformanceCounter(&parsed);
    std::vector<HTREEITEM>& marked = theApp.catalogue->preChecked;
    size_t markedCount = marked.size();
    while (!marked.empty()) {
        theApp.ui->SetCheckState(marked.back(), checkChecked);
        marked.pop_back();
    }
    theApp.ui->EnableControls();
    QueryPerformanceCounter(&ready);
    double sinceStart = MillisecondsSinceProcessStart();

    std::printf("parsed: %s, nodes in the tree: %i, marked: %u\n", ok ? "yes" : "no",
                CountNodes(theApp.ui->FirstTopNode()), static_cast<unsigned>(markedCount));
    std::printf("ParseItems (inserting every node): %.1f ms\n", Milliseconds(start, parsed));
    std::printf("checking the marked nodes and unlocking: %.1f ms\n", Milliseconds(parsed, ready));
    std::printf("process start to tree ready: %.1f ms\n", sinceStart);
    std::fflush(stdout);
    theApp.RequestQuit(0);
    return 0;
}

}  // namespace

int main()
{
    theApp.mainThreadId = GetCurrentThreadId();
    theApp.instance = GetModuleHandleA(nullptr);
    INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_TREEVIEW_CLASSES};
    InitCommonControlsEx(&classes);
    theApp.mainWindow = CreateWindowExA(0, "STATIC", "Tavrin bench", WS_OVERLAPPEDWINDOW, 15, 15,
                                        632, 438, nullptr, nullptr, theApp.instance, nullptr);
    theApp.itemTree = CreateWindowExA(
        WS_EX_CLIENTEDGE, WC_TREEVIEWA, "Tree View",
        WS_CHILD | WS_VISIBLE | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_CHECKBOXES,
        354, 2, 275, 300, theApp.mainWindow, nullptr, theApp.instance, nullptr);
    AcceptWorkerMessages(theApp.itemTree);
    ShowWindow(theApp.mainWindow, SW_SHOW);
    theApp.ui->DisableControls();

    CloseHandle(CreateThread(nullptr, 0, BuildTree, nullptr, 0, nullptr));
    return RunMessageLoop();
}
