#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <process.h>

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
    ui->SetCheckState(group, 2);
    EXPECT_EQ(ui->CheckState(group), 2);
    EXPECT_EQ(ui->CheckState(item), 1);

    ui->SelectNode(item);
    EXPECT_EQ(ui->SelectedNode(), item);

    ui->DeleteAllNodes();
    EXPECT_EQ(ui->FirstTopNode(), nullptr);
    HTREEITEM fresh = ui->InsertNode(nullptr, "Fresh");
    EXPECT_EQ(ui->FirstTopNode(), fresh);
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
            ui->SetCheckState(node, 2);
            theApp.RequestQuit(5);
        },
        0, nullptr);
    EXPECT_EQ(RunMessageLoop(), 5);
    EXPECT_EQ(TextOf(theApp.statusLabel), "block 199");
    EXPECT_EQ(ui->NodeText(ui->FirstTopNode()), "From worker");
    EXPECT_EQ(ui->CheckState(ui->FirstTopNode()), 2);
}
