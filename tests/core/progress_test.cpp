#include <gtest/gtest.h>

#include <vector>

#include "core/progress.h"
#include "support/memory_window_operations.h"

namespace {

// A run's counts, moving the bars of a window of its own.
class ProgressTest : public ::testing::Test {
protected:
    void StartFile(uint32_t size, bool archive)
    {
        progress.itemSize = size;
        progress.itemBytes = 0;
        progress.itemIsArchive = archive;
        progress.lastUnzipPercent = 0;
    }
    CMemoryWindowOperations window;
    CProgress progress{window};
};

TEST_F(ProgressTest, AnArchiveCountsFourFifthsReceivedAndOneFifthUnpacked)
{
    progress.totalBytes = 2000;
    StartFile(1000, true);
    EXPECT_TRUE(progress.AddReceived(600));
    EXPECT_TRUE(progress.AddReceived(400));
    EXPECT_EQ(progress.doneBytes, 800u);
    EXPECT_EQ(window.itemProgress, 100u);
    EXPECT_EQ(window.overallProgress, 40u);

    progress.ResetItemProgress();
    EXPECT_EQ(window.itemProgress, 0u);
    for (uint32_t percent : {25u, 50u, 100u})
        progress.AddUnzipProgress(percent);
    EXPECT_EQ(progress.doneBytes, 1000u);
    EXPECT_EQ(window.itemProgress, 100u);
    EXPECT_EQ(window.overallProgress, 50u);
}

// However the network cuts a file into blocks, its bytes count the same.
TEST_F(ProgressTest, TheCountDoesNotDependOnTheBlocks)
{
    const std::vector<std::vector<uint32_t>> cuttings = {{8192}, {1, 8191}, {4096, 4096}, {3, 3, 3, 8183}};
    for (const std::vector<uint32_t>& blocks : cuttings) {
        progress.totalBytes = 10000;
        progress.doneBytes = 0;
        StartFile(8192, true);
        for (uint32_t block : blocks)
            progress.AddReceived(block);
        EXPECT_EQ(progress.doneBytes, 6553u) << blocks.size() << " blocks";
        EXPECT_EQ(window.overallProgress, 65u);
    }
}

TEST_F(ProgressTest, AnyOtherFileCountsInFull)
{
    progress.totalBytes = 1000;
    StartFile(1000, false);
    EXPECT_TRUE(progress.AddReceived(1000));
    EXPECT_EQ(progress.doneBytes, 1000u);
    EXPECT_EQ(window.itemProgress, 100u);
    EXPECT_EQ(window.overallProgress, 100u);
}

TEST_F(ProgressTest, EdgesNeitherOverflowNorDivideByZero)
{
    // A declared size of 0 never moves a bar.
    progress.totalBytes = 1000;
    StartFile(0, false);
    EXPECT_FALSE(progress.AddReceived(500));
    EXPECT_EQ(progress.itemBytes, 0u);
    EXPECT_EQ(progress.doneBytes, 0u);

    // Bytes times 100 beyond 32 bits.
    progress.totalBytes = 4000000000u;
    StartFile(4000000000u, false);
    EXPECT_TRUE(progress.AddReceived(3000000000u));
    EXPECT_EQ(window.itemProgress, 75u);
    EXPECT_EQ(window.overallProgress, 75u);

    // A run whose every file is declared with size 0.
    progress.totalBytes = 0;
    progress.doneBytes = 0;
    StartFile(0, true);
    progress.AddUnzipProgress(100);
    EXPECT_EQ(window.overallProgress, 0u);
    StartFile(10, false);
    EXPECT_TRUE(progress.AddReceived(10));
    EXPECT_EQ(window.overallProgress, 0u);
}

// Counts far past their sizes (failed attempts stay counted) keep full bars;
// before, the percentages wrapped to small ones and the counts to low ones.
TEST_F(ProgressTest, CountsFarPastTheirSizesKeepFullBars)
{
    progress.totalBytes = 1;
    StartFile(1, false);
    EXPECT_TRUE(progress.AddReceived(42949673));  // times 100 is 2^32 + 4
    EXPECT_EQ(window.itemProgress, 100u);
    EXPECT_EQ(window.overallProgress, 100u);

    progress.totalBytes = 4000000000u;
    progress.doneBytes = 4000000000u;
    StartFile(1000000000, true);
    EXPECT_TRUE(progress.AddReceived(1000000000));
    EXPECT_EQ(progress.doneBytes, UINT32_MAX);
    EXPECT_EQ(window.overallProgress, 100u);
}

TEST_F(ProgressTest, UnpackingSteps)
{
    // The lower bar after an unpacking step is a whole-number division.
    progress.totalBytes = 100;
    progress.doneBytes = 29;
    StartFile(1000, true);
    progress.lastUnzipPercent = 50;
    progress.AddUnzipProgress(50);
    EXPECT_EQ(window.overallProgress, 29u);

    // A step back never takes the count below 0.
    progress.doneBytes = 10;
    progress.lastUnzipPercent = 100;
    progress.AddUnzipProgress(0);
    EXPECT_EQ(progress.doneBytes, 0u);
    EXPECT_EQ(window.overallProgress, 0u);
}

}  // namespace
