#include <gtest/gtest.h>

#include "core/application.h"
#include "core/progress.h"
#include "support/app_fixture.h"
#include "support/memory_window_operations.h"

namespace {

class ProgressTest : public CApplicationTest {
protected:
    void StartFile(uint32_t size, bool archive)
    {
        theApp.itemSize = size;
        theApp.itemBytes = 0;
        theApp.itemIsArchive = archive;
        theApp.lastUnzipPercent = 0;
    }
    CMemoryWindowOperations window;
};

TEST_F(ProgressTest, AnArchiveCountsFourFifthsReceivedAndOneFifthUnpacked)
{
    theApp.totalBytes = 2000;
    StartFile(1000, true);
    EXPECT_TRUE(AddReceived(600));
    EXPECT_TRUE(AddReceived(400));
    EXPECT_EQ(theApp.doneBytes, 800u);
    EXPECT_EQ(window.itemProgress, 100u);
    EXPECT_EQ(window.overallProgress, 40u);

    ResetItemProgress();
    EXPECT_EQ(window.itemProgress, 0u);
    for (uint32_t percent : {25u, 50u, 100u})
        AddUnzipProgress(percent);
    EXPECT_EQ(theApp.doneBytes, 1000u);
    EXPECT_EQ(window.itemProgress, 100u);
    EXPECT_EQ(window.overallProgress, 50u);
}

TEST_F(ProgressTest, AnyOtherFileCountsInFull)
{
    theApp.totalBytes = 1000;
    StartFile(1000, false);
    EXPECT_TRUE(AddReceived(1000));
    EXPECT_EQ(theApp.doneBytes, 1000u);
    EXPECT_EQ(window.itemProgress, 100u);
    EXPECT_EQ(window.overallProgress, 100u);
}

TEST_F(ProgressTest, EdgesNeitherOverflowNorDivideByZero)
{
    // A declared size of 0 never moves a bar.
    theApp.totalBytes = 1000;
    StartFile(0, false);
    EXPECT_FALSE(AddReceived(500));
    EXPECT_EQ(theApp.itemBytes, 0u);
    EXPECT_EQ(theApp.doneBytes, 0u);

    // Bytes times 100 beyond 32 bits.
    theApp.totalBytes = 4000000000u;
    StartFile(4000000000u, false);
    EXPECT_TRUE(AddReceived(3000000000u));
    EXPECT_EQ(window.itemProgress, 75u);
    EXPECT_EQ(window.overallProgress, 75u);

    // A run whose every file is declared with size 0.
    theApp.totalBytes = 0;
    theApp.doneBytes = 0;
    StartFile(0, true);
    AddUnzipProgress(100);
    EXPECT_EQ(window.overallProgress, 0u);
    StartFile(10, false);
    EXPECT_TRUE(AddReceived(10));
    EXPECT_EQ(window.overallProgress, 0u);
}

// Counts far past their sizes (failed attempts stay counted) keep full bars;
// before, the percentages wrapped to small ones and the counts to low ones.
TEST_F(ProgressTest, CountsFarPastTheirSizesKeepFullBars)
{
    theApp.totalBytes = 1;
    StartFile(1, false);
    EXPECT_TRUE(AddReceived(42949673));  // times 100 is 2^32 + 4
    EXPECT_EQ(window.itemProgress, 100u);
    EXPECT_EQ(window.overallProgress, 100u);

    theApp.totalBytes = 4000000000u;
    theApp.doneBytes = 4000000000u;
    StartFile(1000000000, true);
    EXPECT_TRUE(AddReceived(1000000000));
    EXPECT_EQ(theApp.doneBytes, UINT32_MAX);
    EXPECT_EQ(window.overallProgress, 100u);
}

TEST_F(ProgressTest, UnpackingSteps)
{
    // The lower bar after an unpacking step is a whole-number division.
    theApp.totalBytes = 100;
    theApp.doneBytes = 29;
    StartFile(1000, true);
    theApp.lastUnzipPercent = 50;
    AddUnzipProgress(50);
    EXPECT_EQ(window.overallProgress, 29u);

    // A step back never takes the count below 0.
    theApp.doneBytes = 10;
    theApp.lastUnzipPercent = 100;
    AddUnzipProgress(0);
    EXPECT_EQ(theApp.doneBytes, 0u);
    EXPECT_EQ(window.overallProgress, 0u);
}

}  // namespace
