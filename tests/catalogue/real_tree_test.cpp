#include <windows.h>
#include <commctrl.h>

#include "app/message_loop.h"
#include "support/catalogue_fixture.h"
#include "ui/item_tree.h"
#include "support/whole_file.h"
#include "ui/win32_window_operations.h"

namespace {

// The same outline as CMemoryWindowOperations::Outline, read through any
// window operations.
std::string OutlineOf(CWindowOperations& ui, HTREEITEM first, int depth = 0)
{
    std::string out;
    for (HTREEITEM node = first; node; node = ui.NextSibling(node)) {
        out += std::string(depth * 2, ' ') + (ui.CheckState(node) == checkChecked ? "[x] " : "[ ] ") +
               ui.NodeText(node) + "\n";
        out += OutlineOf(ui, ui.FirstChild(node), depth + 1);
    }
    return out;
}

void CheckMarked()
{
    for (HTREEITEM node : theApp.catalogue->preChecked)
        theApp.ui->SetCheckState(node, checkChecked);
}

// ParseItems into a real tree view, from the window's own thread and from a
// worker while the program's message loop runs.
class RealTreeTest : public CatalogueTest {
protected:
    void SetUp() override
    {
        CatalogueTest::SetUp();
        expected = ParsedInMemory();
        theApp.mainThreadId = GetCurrentThreadId();
        INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_TREEVIEW_CLASSES};
        InitCommonControlsEx(&classes);
        theApp.mainWindow = CreateWindowExA(0, "STATIC", "Tavrin test", WS_OVERLAPPEDWINDOW, 0, 0,
                                            632, 438, nullptr, nullptr, nullptr, nullptr);
        theApp.itemTree = CreateWindowExA(0, WC_TREEVIEWA, "", WS_CHILD | WS_VISIBLE | TVS_CHECKBOXES,
                                          354, 2, 275, 300, theApp.mainWindow, nullptr, nullptr,
                                          nullptr);
        AcceptWorkerMessages(theApp.itemTree);
        ShowWindow(theApp.mainWindow, SW_SHOW);
        theApp.catalogue->preChecked.clear();
    }
    void TearDown() override
    {
        DestroyWindow(theApp.mainWindow);
        CatalogueTest::TearDown();
    }

    std::string ParsedInMemory()
    {
        Load(ReadWholeFile(TAVRIN_TEST_DATA "/sample_catalogue.txt") + "#Deep+;\n#er;\n[leaf]+\n!!!!\n[x]");
        EXPECT_TRUE(ParseItems(Catalogue(), window));
        return OutlineWithMarks();
    }

    std::string expected;
    CWin32WindowOperations real{theApp, theApp.stopRequested};
};

TEST_F(RealTreeTest, OnTheWindowThread)
{
    theApp.ui = &real;
    ASSERT_TRUE(ParseItems(Catalogue(), real));
    CheckMarked();
    EXPECT_EQ(OutlineOf(real, real.FirstTopNode()), expected);
    theApp.ui = &window;
}

TEST_F(RealTreeTest, FromAWorkerWhileTheLoopRuns)
{
    theApp.ui = &real;
    HANDLE worker = CreateThread(
        nullptr, 0,
        [](void*) -> DWORD {
            bool parsed = ParseItems(*theApp.catalogue, *theApp.ui);
            CheckMarked();
            theApp.RequestQuit(parsed ? 7 : 1);
            return 0;
        },
        nullptr, 0, nullptr);
    EXPECT_EQ(RunMessageLoop(), 7);
    WaitForSingleObject(worker, INFINITE);
    CloseHandle(worker);
    EXPECT_EQ(OutlineOf(real, real.FirstTopNode()), expected);
    // The tree still answers its own messages after taking the batch.
    HTREEITEM added = real.InsertNode(nullptr, "After");
    EXPECT_EQ(real.NodeText(added), "After");
    theApp.ui = &window;
}

}  // namespace
