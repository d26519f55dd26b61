// The bars' arithmetic, built for Windows and natively alike.
#include <gtest/gtest.h>

#include <cstdint>

#include "core/progress_counts.h"

namespace {

TEST(ProgressCounts, Percentages)
{
    struct Case {
        uint32_t part, whole;
        unsigned integer, ratio;
    } cases[] = {
        {0, 0, 0, 0},
        {500, 0, 0, 0},  // a run whose files are all declared with size 0
        {800, 2000, 40, 40},
        {1, 3, 33, 33},
        {29, 100, 29, 28},  // the ratio in double precision is cut just below
        {3000000000u, 4000000000u, 75, 75},  // times 100 beyond 32 bits
        {4000, 1000, 400, 400},              // past the total: a full bar
        // Far past it: the largest position, never one that wraps to a low one.
        {42949673, 1, kMaxBarPosition, kMaxBarPosition},
        {UINT32_MAX, 1, kMaxBarPosition, kMaxBarPosition},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IntegerPercent(c.part, c.whole), c.integer) << c.part << " of " << c.whole;
        EXPECT_EQ(RatioPercent(c.part, c.whole), c.ratio) << c.part << " of " << c.whole;
    }
}

TEST(ProgressCounts, AddToCountCutsAndHoldsToTheRange)
{
    struct Case {
        uint32_t count;
        double add;
        uint32_t sum;
    } cases[] = {
        {0, 1000 * 0.8, 800},
        {100, 0.99, 100},
        {100, -50.5, 49},
        {10, -20, 0},  // an unpacking step backwards
        {UINT32_MAX - 10, 5, UINT32_MAX - 5},
        {4000000000u, 1000000000 * 0.8, UINT32_MAX},
        {UINT32_MAX, UINT32_MAX, UINT32_MAX},
    };
    for (const Case& c : cases)
        EXPECT_EQ(AddToCount(c.count, c.add), c.sum) << c.count << " + " << c.add;
}

}  // namespace
