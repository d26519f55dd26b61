#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>

#include "app/install_command.h"
#include "app/window_procedure.h"
#include "core/application.h"
#include "core/log.h"
#include "core/program_folder.h"
#include "support/app_fixture.h"
#include "support/log_lines.h"
#include "support/memory_window_operations.h"
#include "support/test_folder.h"

namespace {

// A real window driven by the program's own window procedure.
class MainWindowProcedureTest : public CApplicationTest {
protected:
    void SetUp() override
    {
        CApplicationTest::SetUp();
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = DefWindowProcA;
        windowClass.lpszClassName = "TavrinDispatchTest";
        RegisterClassA(&windowClass);
        window = CreateWindowA("TavrinDispatchTest", "", WS_OVERLAPPED, 0, 0, 10, 10, nullptr,
                               nullptr, nullptr, nullptr);
    }
    void TearDown() override
    {
        DestroyWindow(window);
        CApplicationTest::TearDown();
    }

    bool TimerPending()
    {
        MSG message;
        bool found = PeekMessageA(&message, window, WM_TIMER, WM_TIMER, PM_REMOVE);
        KillTimer(window, 1);
        return found;
    }

    CMemoryWindowOperations ui;
    CMainWindow owner{theApp};
    HWND window = nullptr;
};

}  // namespace

TEST_F(MainWindowProcedureTest, OnlyTheFirstShowLocksTheControlsAndStartsTheTimer)
{
    EXPECT_EQ(owner.Handle(window, WM_SHOWWINDOW, TRUE, 0), 1);
    EXPECT_FALSE(ui.controlsEnabled);
    EXPECT_TRUE(theApp.firstShowDone);
    Sleep(20);
    EXPECT_TRUE(TimerPending());

    ui.controlsEnabled = true;
    EXPECT_EQ(owner.Handle(window, WM_SHOWWINDOW, TRUE, 0), 1);
    EXPECT_TRUE(ui.controlsEnabled);
    Sleep(20);
    EXPECT_FALSE(TimerPending());
}

TEST_F(MainWindowProcedureTest, CommandsFromUnknownSendersDoNothing)
{
    HWND edit = CreateWindowA("edit", "", WS_CHILD, 0, 0, 5, 5, window, nullptr, nullptr, nullptr);
    EXPECT_EQ(owner.Handle(window, WM_COMMAND, 0, reinterpret_cast<LPARAM>(edit)), 1);
    EXPECT_EQ(owner.Handle(window, WM_COMMAND, 0, 0), 1);
    EXPECT_TRUE(ui.shownMessages.empty());
    EXPECT_TRUE(ui.statusHistory.empty());
}

TEST_F(MainWindowProcedureTest, AQuitPostedToTheWindowGetsNoDefaultProcessing)
{
    EXPECT_EQ(owner.Handle(window, WM_QUIT, 7, 0), 0);
}

namespace {

// A user slow to answer: every box waits until the test lets it go.
class CSlowUser : public CMemoryWindowOperations {
public:
    int ShowMessage(HWND owner, const char* text, const char* caption, UINT type) override
    {
        SetEvent(shown);
        WaitForSingleObject(answer, 10000);
        return CMemoryWindowOperations::ShowMessage(owner, text, caption, type);
    }
    HANDLE shown = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE answer = CreateEventA(nullptr, TRUE, FALSE, nullptr);
};

}  // namespace

// Clicks on Install while a run lasts, queued or made while its box is open,
// start nothing; the controls stay locked until the window thread takes the
// run's end, and then the next click starts a run.
TEST_F(MainWindowProcedureTest, OneInstallRunAtATime)
{
    CTestFolder folder;
    theLog.Open();
    CSlowUser user;
    theApp.mainWindow = window;
    theApp.installButton =
        CreateWindowA("button", "3. Install", WS_CHILD, 0, 0, 5, 5, window, nullptr, nullptr, nullptr);
    auto click = [this] {
        owner.Handle(window, WM_COMMAND, 0, reinterpret_cast<LPARAM>(theApp.installButton));
    };
    auto runsBegun = [] {
        std::vector<std::string> lines = LogLines();
        theLog.Reopen();
        return std::count(lines.begin(), lines.end(), "-= Installation =-");
    };

    // With nothing checked and no pak0.pk3 the run asks the user, and waits.
    click();
    click();
    ASSERT_EQ(WaitForSingleObject(user.shown, 10000), WAIT_OBJECT_0);
    EXPECT_FALSE(user.controlsEnabled);
    click();
    SetEvent(user.answer);
    ASSERT_TRUE(theApp.workers.WaitAll(10000));
    SetCurrentDirectoryA(folder.Path().c_str());

    EXPECT_EQ(runsBegun(), 1);
    EXPECT_EQ(user.shownMessages.size(), 1u);
    EXPECT_FALSE(user.controlsEnabled) << "unlocked before the window thread took the run's end";
    click();
    EXPECT_EQ(runsBegun(), 1);

    MSG ended;
    ASSERT_TRUE(PeekMessageA(&ended, window, kInstallRunEnded, kInstallRunEnded, PM_REMOVE));
    owner.Handle(window, ended.message, ended.wParam, ended.lParam);
    EXPECT_TRUE(user.controlsEnabled);

    click();
    ASSERT_TRUE(theApp.workers.WaitAll(10000));
    SetCurrentDirectoryA(folder.Path().c_str());
    EXPECT_EQ(runsBegun(), 2);
    ASSERT_TRUE(PeekMessageA(&ended, window, kInstallRunEnded, kInstallRunEnded, PM_REMOVE));
    owner.Handle(window, ended.message, ended.wParam, ended.lParam);
    theLog.Close();
}

TEST(EnterProgramFolder, MakesTheExecutablesFolderCurrentWithoutTrailingBackslash)
{
    char exe[MAX_PATH];
    GetModuleFileNameA(nullptr, exe, sizeof exe);
    std::string expected(exe);
    expected.erase(expected.rfind('\\'));

    char before[MAX_PATH];
    GetCurrentDirectoryA(sizeof before, before);
    SetCurrentDirectoryA("C:\\");
    EnterProgramFolder();
    char now[MAX_PATH];
    GetCurrentDirectoryA(sizeof now, now);
    SetCurrentDirectoryA(before);
    EXPECT_STREQ(now, expected.c_str());
}
