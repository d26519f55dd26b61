#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <process.h>
#include <psapi.h>

#include "core/application.h"
#include "app/message_loop.h"
#include "support/app_fixture.h"
#include "support/test_folder.h"
#include "ui/controls.h"
#include "core/window_operations.h"

namespace {

// The real main window's controls, made by the program's own code, in a
// window of the test's.
class RealWindowTest : public CApplicationTest {
protected:
    void SetUp() override
    {
        CApplicationTest::SetUp();
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = DefWindowProcA;
        windowClass.lpszClassName = "TavrinOperationsTest";
        RegisterClassA(&windowClass);
        theApp.instance = GetModuleHandleA(nullptr);
        theApp.mainWindow = CreateWindowA("TavrinOperationsTest", "Tavrin test", WS_OVERLAPPEDWINDOW,
                                          0, 0, 632, 438, nullptr, nullptr, nullptr, nullptr);
        CreateAllControls(theApp);
        ui = theApp.ui;
    }
    void TearDown() override
    {
        DestroyWindow(theApp.mainWindow);
        CApplicationTest::TearDown();
    }

    std::string TextOf(HWND control)
    {
        char text[512] = "";
        GetWindowTextA(control, text, sizeof text);
        return text;
    }

    std::vector<HWND> Interactive()
    {
        CApplication& a = theApp;
        return {a.itemTree, a.installButton, a.aboutButton, a.folderButton, a.pak0Button,
                a.selectAllButton, a.selectNoneButton, a.punkBusterButton, a.pak0Edit,
                a.folderEdit, a.cpmaButton, a.defragButton, a.superHudButton,
                a.gameScannerButton, a.readmeButton, a.shortcutsButton};
    }

    CTestFolder folder;
    CWindowOperations* ui = nullptr;
};

}  // namespace

TEST_F(RealWindowTest, LockingTouchesTheSixteenInteractiveControlsOnly)
{
    ui->DisableControls();
    for (HWND control : Interactive())
        EXPECT_FALSE(IsWindowEnabled(control));
    for (HWND passive : {theApp.statusLabel, theApp.overallProgressBar, theApp.itemProgressBar,
                         theApp.infoTitleLabel, theApp.infoTextLabel, theApp.bannerImage})
        EXPECT_TRUE(IsWindowEnabled(passive));
    ui->EnableControls();
    for (HWND control : Interactive())
        EXPECT_TRUE(IsWindowEnabled(control));
}

TEST_F(RealWindowTest, TextsProgressAndEditBoxes)
{
    ui->SetStatus("Downloading");
    ui->SetInfoTexts("Map pack", "Twenty maps");
    ui->SetTitle("Tavrin-");
    EXPECT_EQ(TextOf(theApp.statusLabel), "Downloading");
    EXPECT_EQ(TextOf(theApp.infoTitleLabel), "Map pack");
    EXPECT_EQ(TextOf(theApp.infoTextLabel), "Twenty maps");
    EXPECT_EQ(TextOf(theApp.mainWindow), "Tavrin-");

    ui->SetOverallProgress(120);
    EXPECT_EQ(ui->OverallProgress(), 100u);
    ui->SetOverallProgress(37);
    EXPECT_EQ(ui->OverallProgress(), 37u);
    ui->SetItemProgress(64);
    EXPECT_EQ(SendMessageA(theApp.itemProgressBar, PBM_GETPOS, 0, 0), 64);

    ui->SetEditText(theApp.folderEdit, std::string(260, 'f'));
    EXPECT_EQ(ui->GetEditText(theApp.folderEdit), std::string(259, 'f'));
    EXPECT_EQ(ui->GetEditText(nullptr), "");
}

TEST_F(RealWindowTest, TreeNodesTextsAndCheckStates)
{
    HTREEITEM group = ui->InsertNode(nullptr, "Maps");
    HTREEITEM item = ui->InsertNode(group, std::string(60, 'n'));
    HTREEITEM second = ui->InsertNode(nullptr, "Config");
    EXPECT_EQ(ui->FirstTopNode(), group);
    EXPECT_EQ(ui->FirstChild(group), item);
    EXPECT_EQ(ui->NextSibling(group), second);
    EXPECT_EQ(ui->NextSibling(second), nullptr);
    EXPECT_EQ(ui->NodeText(item), std::string(49, 'n'));

    EXPECT_EQ(ui->CheckState(group), 1);
    ui->SetCheckState(group, checkChecked);
    EXPECT_EQ(ui->CheckState(group), 2);
    EXPECT_EQ(ui->CheckState(item), 1);

    ui->SelectNode(item);
    EXPECT_EQ(ui->SelectedNode(), item);

    ui->DeleteAllNodes();
    EXPECT_EQ(ui->FirstTopNode(), nullptr);
    HTREEITEM fresh = ui->InsertNode(nullptr, "Fresh");
    EXPECT_EQ(ui->FirstTopNode(), fresh);
}

// What the in-memory tree copies from the control: a group opens within a
// closed parent, a selection opens its parents, and closing a parent over
// the selection moves it up, all while the painting is held.
TEST_F(RealWindowTest, NodesOpenAndCloseAsTheMemoryTreeHasThem)
{
    HTREEITEM group = ui->InsertNode(nullptr, "Maps");
    HTREEITEM inner = ui->InsertNode(group, "Duel");
    HTREEITEM item = ui->InsertNode(inner, "q3dm17");
    auto open = [](HTREEITEM node) {
        return (SendMessageA(theApp.itemTree, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(node),
                             TVIS_EXPANDED) & TVIS_EXPANDED) != 0;
    };
    ui->HoldTreePainting();
    ui->ExpandNode(inner);
    EXPECT_TRUE(open(inner));
    EXPECT_FALSE(open(group));
    ui->SelectNode(item);
    EXPECT_TRUE(open(group));
    ui->CollapseNode(group);
    EXPECT_FALSE(open(group));
    EXPECT_TRUE(open(inner));
    EXPECT_EQ(ui->SelectedNode(), group);
    ui->ResumeTreePainting();
}

// A worker's changes go into the snapshot and never wait for the window:
// the window shows them on its timer while the worker runs, the last one
// of each control once more when it ends, and what repeats costs nothing.
TEST_F(RealWindowTest, AWorkersChangesReachTheControlsOnTheTimerAndTheLastAtItsEnd)
{
    theApp.mainThreadId = GetCurrentThreadId();
    ui->BeginShowingWorker();
    static HANDLE halfway = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    static HANDLE goOn = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE worker = reinterpret_cast<HANDLE>(_beginthreadex(
        nullptr, 0,
        [](void*) -> unsigned {
            CWindowOperations* ui = theApp.ui;
            for (int i = 0; i <= 50; ++i) {
                ui->SetStatus("entry " + std::to_string(i));
                ui->SetItemProgress(10 + i);
                ui->SetOverallProgress(20 + i);
            }
            ui->SetInfoTexts("Map pack", "Twenty maps");
            SetEvent(halfway);
            WaitForSingleObject(goOn, 10000);
            ui->SetStatus("finished");
            ui->SetItemProgress(100);
            ui->SetOverallProgress(99);
            theApp.RequestQuit(0);
            return 0;
        },
        nullptr, 0, nullptr));
    // The timer shows the worker's last values while it still runs.
    ASSERT_EQ(WaitForSingleObject(halfway, 10000), WAIT_OBJECT_0);
    EXPECT_EQ(ui->OverallProgress(), 70u);
    for (DWORD start = GetTickCount(); GetTickCount() - start < 200;) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&message);
        Sleep(5);
    }
    EXPECT_EQ(TextOf(theApp.statusLabel), "entry 50");
    EXPECT_EQ(SendMessageA(theApp.itemProgressBar, PBM_GETPOS, 0, 0), 60);
    EXPECT_EQ(SendMessageA(theApp.overallProgressBar, PBM_GETPOS, 0, 0), 70);
    EXPECT_EQ(TextOf(theApp.infoTitleLabel), "Map pack");
    EXPECT_EQ(TextOf(theApp.infoTextLabel), "Twenty maps");

    SetEvent(goOn);
    RunMessageLoop();
    WaitForSingleObject(worker, INFINITE);
    CloseHandle(worker);
    // Its end shows what the worker left, whether or not a tick came after it.
    ui->EndShowingWorker();
    EXPECT_EQ(TextOf(theApp.statusLabel), "finished");
    EXPECT_EQ(SendMessageA(theApp.itemProgressBar, PBM_GETPOS, 0, 0), 100);
    EXPECT_EQ(SendMessageA(theApp.overallProgressBar, PBM_GETPOS, 0, 0), 99);
}

// The window goes first, as when it is closed during a run: a worker that
// goes on writing waits for nothing, costs no memory, and the last show
// touches no control.
TEST_F(RealWindowTest, AWorkerOutlivingTheWindowWaitsForNothingAndLeaksNothing)
{
    theApp.mainThreadId = GetCurrentThreadId();
    ui->BeginShowingWorker();
    DestroyWindow(theApp.mainWindow);
    auto privateBytes = [] {
        PROCESS_MEMORY_COUNTERS_EX counters = {};
        counters.cb = sizeof counters;
        GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                             sizeof counters);
        return counters.PrivateUsage;
    };
    SIZE_T before = privateBytes();
    HANDLE worker = reinterpret_cast<HANDLE>(_beginthreadex(
        nullptr, 0,
        [](void*) -> unsigned {
            for (int i = 0; i < 200000; ++i) {
                theApp.ui->SetStatus("Downloading block " + std::to_string(i) + " of a file with a long name");
                theApp.ui->SetOverallProgress(static_cast<unsigned>(i % 100));
            }
            return 0;
        },
        nullptr, 0, nullptr));
    EXPECT_EQ(WaitForSingleObject(worker, 20000), WAIT_OBJECT_0);
    CloseHandle(worker);
    EXPECT_LT(privateBytes(), before + 1024 * 1024);
    ui->EndShowingWorker();
    EXPECT_EQ(ui->OverallProgress(), 99u);
    theApp.mainWindow = nullptr;
}

// The install run reads the whole tree from its worker in one trip.
TEST_F(RealWindowTest, AWorkerReadsTheWholeTreeAsTheNodeOperationsGiveIt)
{
    HTREEITEM maps = ui->InsertNode(nullptr, "Maps");
    HTREEITEM duel = ui->InsertNode(maps, "Duel");
    ui->InsertNode(duel, std::string(60, 'd'));
    HTREEITEM team = ui->InsertNode(maps, "Team");
    HTREEITEM config = ui->InsertNode(nullptr, "Config");
    // More nodes than one trip to the window thread takes.
    for (int i = 0; i < 450; ++i)
        ui->InsertNode(team, "Map " + std::to_string(i));
    ui->SetCheckState(duel, checkChecked);
    ui->SetCheckState(config, checkChecked);
    theApp.mainThreadId = GetCurrentThreadId();
    static std::vector<TreeNodeState> read;
    _beginthread(
        [](void*) {
            read = theApp.ui->ReadAllNodes();
            theApp.RequestQuit(0);
        },
        0, nullptr);
    RunMessageLoop();

    std::vector<std::string> outline;
    for (const TreeNodeState& node : read)
        outline.push_back(std::to_string(node.depth) + " " + std::to_string(node.checkState) + " " + node.text);
    std::vector<std::string> expected = {"0 1 Maps", "1 2 Duel", "2 1 " + std::string(49, 'd'), "1 1 Team"};
    for (int i = 0; i < 450; ++i)
        expected.push_back("2 1 Map " + std::to_string(i));
    expected.push_back("0 2 Config");
    EXPECT_EQ(outline, expected);
}

TEST_F(RealWindowTest, AWorkerReachesTheControlsWhileTheLoopRunsAndEndsIt)
{
    theApp.mainThreadId = GetCurrentThreadId();
    ui->BeginShowingWorker();
    _beginthread(
        [](void*) {
            CWindowOperations* ui = theApp.ui;
            for (int i = 0; i < 200; ++i)
                ui->SetStatus("block " + std::to_string(i));
            HTREEITEM node = ui->InsertNode(nullptr, "From worker");
            ui->SetCheckState(node, checkChecked);
            theApp.RequestQuit(5);
        },
        0, nullptr);
    EXPECT_EQ(RunMessageLoop(), 5);
    ui->EndShowingWorker();
    EXPECT_EQ(TextOf(theApp.statusLabel), "block 199");
    EXPECT_EQ(ui->NodeText(ui->FirstTopNode()), "From worker");
    EXPECT_EQ(ui->CheckState(ui->FirstTopNode()), 2);
}
