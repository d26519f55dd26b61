#include <gtest/gtest.h>

#include <string>
#include <vector>
#include <windows.h>

#include "core/log.h"
#include "support/app_fixture.h"
#include "support/test_folder.h"
#include "update/hand_over.h"

namespace {

class ProgramName : public CApplicationTest {
protected:
    void SetUp() override
    {
        CApplicationTest::SetUp();
        theLog.Open();
    }
    void TearDown() override
    {
        theLog.Close();
        CApplicationTest::TearDown();
    }

    std::vector<std::string> LogLines()
    {
        theLog.Close();
        return FileLines("log.txt");
    }

    CTestFolder folder;
};

TEST_F(ProgramName, TheProgramTakesTheNameTavrinExeAtTheFirstTry)
{
    // A new release under its download name, and a program already so named.
    for (const char* name : {"tmp.exe", "Tavrin.exe"}) {
        SCOPED_TRACE(name);
        WriteWholeFile("Tavrin.exe", "old release");
        WriteWholeFile(name, "new release");
        theLog.Open();

        TakeProgramName(folder.File(name).c_str());

        EXPECT_EQ(ReadWholeFile("Tavrin.exe"), "new release");
        EXPECT_EQ(GetFileAttributesA("tmp.exe"), INVALID_FILE_ATTRIBUTES);
        EXPECT_EQ(LogLines(), std::vector<std::string>{"MoveFileEx success ! (0)"});
    }
}

TEST_F(ProgramName, AProgramThatCannotTakeTheNameKeepsItsOwn)
{
    CreateDirectoryA("Tavrin.exe", nullptr);
    WriteWholeFile("tmp.exe", "new release");

    TakeProgramName(folder.File("tmp.exe").c_str());

    EXPECT_EQ(ReadWholeFile("tmp.exe"), "new release");
    EXPECT_EQ(LogLines(), std::vector<std::string>{"MoveFileEx error: 5"});
}

}  // namespace
