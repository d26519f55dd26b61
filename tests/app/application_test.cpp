#include <gtest/gtest.h>
#include <windows.h>

#include "core/application.h"
#include "core/program_folder.h"
#include "app/window_procedure.h"
#include "support/app_fixture.h"
#include "support/memory_window_operations.h"

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
    HWND window = nullptr;
};

}  // namespace

TEST_F(MainWindowProcedureTest, OnlyTheFirstShowLocksTheControlsAndStartsTheTimer)
{
    EXPECT_EQ(MainWindowProcedure(window, WM_SHOWWINDOW, TRUE, 0), 1);
    EXPECT_FALSE(ui.controlsEnabled);
    EXPECT_TRUE(theApp.firstShowDone);
    Sleep(20);
    EXPECT_TRUE(TimerPending());

    ui.controlsEnabled = true;
    EXPECT_EQ(MainWindowProcedure(window, WM_SHOWWINDOW, TRUE, 0), 1);
    EXPECT_TRUE(ui.controlsEnabled);
    Sleep(20);
    EXPECT_FALSE(TimerPending());
}

TEST_F(MainWindowProcedureTest, CommandsFromUnknownSendersDoNothing)
{
    HWND edit = CreateWindowA("edit", "", WS_CHILD, 0, 0, 5, 5, window, nullptr, nullptr, nullptr);
    EXPECT_EQ(MainWindowProcedure(window, WM_COMMAND, 0, reinterpret_cast<LPARAM>(edit)), 1);
    EXPECT_EQ(MainWindowProcedure(window, WM_COMMAND, 0, 0), 1);
    EXPECT_TRUE(ui.shownMessages.empty());
    EXPECT_TRUE(ui.statusHistory.empty());
}

TEST_F(MainWindowProcedureTest, AQuitPostedToTheWindowGetsNoDefaultProcessing)
{
    EXPECT_EQ(MainWindowProcedure(window, WM_QUIT, 7, 0), 0);
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
