#include <gtest/gtest.h>
#include <windows.h>

#include "app/startup.h"
#include "core/log.h"
#include "support/memory_window_operations.h"
#include "support/test_folder.h"

TEST(Log, WritesLinesWithCrLfAndFlushesEachAtOnce)
{
    CTestFolder folder;
    CLog log;
    ASSERT_TRUE(log.Open());
    log.WriteLine("first");
    log.WriteFormatted("Exit code: %i\n", 0);
    // Flushed: another reader sees the lines while the log is still open.
    EXPECT_EQ(ReadWholeFile("log.txt"), "first\r\nExit code: 0\r\n\r\n");
    log.WriteBlankLines(1);
    log.WriteLine("\nafter");
    log.Close();
    EXPECT_EQ(ReadWholeFile("log.txt"), "first\r\nExit code: 0\r\n\r\n\r\n\r\n\r\nafter\r\n");
}

TEST(Log, WritesNothingAfterClose)
{
    CTestFolder folder;
    CLog log;
    ASSERT_TRUE(log.Open());
    log.WriteLine("kept");
    log.Close();
    log.WriteLine("lost");
    log.WriteFormatted("%s", "lost");
    log.WriteBlankLines(3);
    EXPECT_EQ(ReadWholeFile("log.txt"), "kept\r\n");
    EXPECT_FALSE(log.IsOpen());
}

TEST(Log, AReopenedLogGoesOnAfterItsLinesWhereverTheCurrentFolderIs)
{
    CTestFolder folder;
    CLog log;
    ASSERT_TRUE(log.Open());
    log.WriteLine("before");
    log.Close();
    CTestFolder elsewhere;
    ASSERT_TRUE(log.Reopen());
    log.WriteLine("after");
    log.Close();
    EXPECT_EQ(ReadWholeFile(folder.File("log.txt")), "before\r\nafter\r\n");
    EXPECT_EQ(GetFileAttributesA("log.txt"), INVALID_FILE_ATTRIBUTES);
}

TEST(Log, EachOpenStartsAFreshLog)
{
    CTestFolder folder;
    WriteWholeFile("log.txt", "an older run\r\nwith lines\r\n");
    CLog log;
    ASSERT_TRUE(log.Open());
    log.WriteLine("new run");
    log.Close();
    EXPECT_EQ(ReadWholeFile("log.txt"), "new run\r\n");
}

TEST(Log, FormattedLinesAreCutAt255Characters)
{
    CTestFolder folder;
    CLog log;
    ASSERT_TRUE(log.Open());
    log.WriteFormatted("%s", std::string(400, 'x').c_str());
    log.Close();
    EXPECT_EQ(ReadWholeFile("log.txt"), std::string(255, 'x') + "\r\n");
}

TEST(Log, AnUnwritableLogShowsTheLogBoxOnceAndTheRunGoesOnWithoutLog)
{
    CTestFolder folder;
    // A folder in its place: root under Wine may write even read-only files.
    CreateDirectoryA("log.txt", nullptr);
    CMemoryWindowOperations window;
    CLog log;
    EXPECT_FALSE(OpenLog(log, window));
    log.WriteLine("nothing");
    log.WriteFormatted("%i", 1);
    ASSERT_EQ(window.shownMessages.size(), 1u);
    EXPECT_EQ(window.shownMessages[0].text, "Nie uda\xb3o si\xea utworzy\xe6 pliku");
    EXPECT_EQ(window.shownMessages[0].caption, "Log");
    EXPECT_EQ(window.shownMessages[0].type, static_cast<UINT>(MB_OK));
    EXPECT_EQ(GetFileAttributesA("log.txt"), static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY));
}
