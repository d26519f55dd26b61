#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <process.h>

#include "core/application.h"
#include "app/message_loop.h"
#include "support/app_fixture.h"
#include "support/test_folder.h"
#include "ui/controls.h"
#include "ui/paced_control.h"
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
        CreateAllControls();
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

// More changes than anyone can follow: the status line and the bars skip
// those that come too soon after the last one shown, but never the last.
TEST_F(RealWindowTest, ChangesTooFastToSeeAreHeldAndTheLastIsShown)
{
    ui->SetStatus("first");
    ui->SetItemProgress(10);
    ui->SetOverallProgress(20);
    for (int i = 0; i < 50; ++i) {
        ui->SetStatus("entry " + std::to_string(i));
        ui->SetItemProgress(11 + i);
        ui->SetOverallProgress(21 + i);
    }
    // Reading the lower bar gives what it was last given.
    EXPECT_EQ(ui->OverallProgress(), 70u);

    ui->ShowHeldChanges();
    EXPECT_EQ(TextOf(theApp.statusLabel), "entry 49");
    EXPECT_EQ(SendMessageA(theApp.itemProgressBar, PBM_GETPOS, 0, 0), 60);
    EXPECT_EQ(SendMessageA(theApp.overallProgressBar, PBM_GETPOS, 0, 0), 70);

    // A change after a pause is shown at once; one that only repeats is not held.
    Sleep(50);
    ui->SetStatus("after a pause");
    ui->SetStatus("after a pause");
    EXPECT_EQ(TextOf(theApp.statusLabel), "after a pause");
    // Enabling the controls at the end of a run shows what was held.
    ui->SetStatus("finished");
    ui->EnableControls();
    EXPECT_EQ(TextOf(theApp.statusLabel), "finished");
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

TEST(PacedControl, HoldsWhatComesWithin16MsOfTheLastShownChange)
{
    using Clock = CPacedControl<int>::Clock;
    const Clock::time_point start;
    auto at = [&](int ms) { return start + std::chrono::milliseconds(ms); };
    CPacedControl<int> control;
    int value = 0;

    EXPECT_TRUE(control.Admit(1, at(0)));
    control.Shown(1, at(0));
    EXPECT_FALSE(control.Admit(1, at(1)));  // no change
    EXPECT_FALSE(control.Admit(2, at(5)));  // held
    EXPECT_FALSE(control.Admit(3, at(10)));
    ASSERT_TRUE(control.Latest(value));
    EXPECT_EQ(value, 3);
    EXPECT_TRUE(control.Admit(4, at(16)));  // late enough: shown, the held one dropped
    control.Shown(4, at(16));
    EXPECT_FALSE(control.TakeHeld(value));

    EXPECT_FALSE(control.Admit(5, at(20)));
    EXPECT_FALSE(control.Admit(4, at(21)));  // back to what is shown: nothing held
    EXPECT_FALSE(control.TakeHeld(value));
    EXPECT_FALSE(control.Admit(6, at(22)));
    ASSERT_TRUE(control.TakeHeld(value));
    EXPECT_EQ(value, 6);
    EXPECT_FALSE(control.TakeHeld(value));
}

TEST_F(RealWindowTest, AWorkerReachesTheControlsWhileTheLoopRunsAndEndsIt)
{
    theApp.mainThreadId = GetCurrentThreadId();
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
    EXPECT_EQ(TextOf(theApp.statusLabel), "block 199");
    EXPECT_EQ(ui->NodeText(ui->FirstTopNode()), "From worker");
    EXPECT_EQ(ui->CheckState(ui->FirstTopNode()), 2);
}
