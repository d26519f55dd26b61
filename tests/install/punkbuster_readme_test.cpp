// "4. Update Punk Buster" and "5. Readme".
#include <gtest/gtest.h>

#include <windows.h>

#include "core/log.h"
#include "install/catalogue_message.h"
#include "install/punkbuster.h"
#include "support/log_lines.h"
#include "support/memory_window_operations.h"
#include "support/test_folder.h"

namespace {

class PunkBusterAndReadme : public ::testing::Test {
protected:
    void SetUp() override
    {
        theLog.Close();
        theLog.Open();
    }
    void TearDown() override { theLog.Close(); }
    CTestFolder folder;
    CMemoryWindowOperations window;
};

TEST_F(PunkBusterAndReadme, TheUpdaterIsStartedFromThePbFolderOfTheInstallationFolder)
{
    std::string install = folder.File("q3");
    CreateDirectoryA(install.c_str(), nullptr);

    UpdatePunkBuster(install, nullptr);

    std::string updater = install + "\\pb\\pbsetup.exe";
    std::vector<std::string> lines = LogLines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "Start Punk Buster updating process");
    // Which of the two the shell reports for a missing folder is its own affair.
    EXPECT_TRUE(lines[1] == "Path nod found (" + install + ")." || lines[1] == "File not found (" + updater + ").")
        << lines[1];

    // Any small program that ends by itself stands in for the updater.
    char system[MAX_PATH];
    GetSystemDirectoryA(system, sizeof system);
    CreateDirectoryA((install + "\\pb").c_str(), nullptr);
    ASSERT_TRUE(CopyFileA((std::string(system) + "\\hostname.exe").c_str(), updater.c_str(), FALSE));
    theLog.Open();

    UpdatePunkBuster(install, nullptr);

    EXPECT_EQ(LogLines(), (std::vector<std::string>{"Start Punk Buster updating process", "Ok."}));
    // The started program holds its file until it has ended.
    for (int tries = 0; tries < 100 && !DeleteFileA(updater.c_str()); ++tries)
        Sleep(100);
}

TEST_F(PunkBusterAndReadme, TheReadmeShowsTheCatalogueMessageWhenThereIsOne)
{
    ShowCatalogueMessage(window, nullptr, "");
    EXPECT_TRUE(window.shownMessages.empty());

    ShowCatalogueMessage(window, nullptr, "Line one\nLine two\n");
    ASSERT_EQ(window.shownMessages.size(), 1u);
    EXPECT_EQ(window.shownMessages[0].text, "Line one\nLine two\n");
    EXPECT_EQ(window.shownMessages[0].caption, "Punk Buster info");
    EXPECT_EQ(window.shownMessages[0].type, static_cast<UINT>(MB_OK | MB_ICONINFORMATION));
}

}  // namespace
