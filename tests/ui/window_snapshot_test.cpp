#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "ui/window_snapshot.h"

// Several workers write, the window reads while they do: every status it
// takes is one a worker wrote whole, each worker's values only move
// forward, and once they are done the last value written is what it gets.
TEST(WindowSnapshot, ManyWritersOneReaderTheLastValueWins)
{
    CWindowSnapshot snapshot;
    constexpr int kWriters = 4, kWrites = 20000;
    std::atomic<bool> writing(true);
    std::vector<int> lastSeen(kWriters, -1);
    bool wellFormed = true, forward = true;
    const std::string last = "Installation finished (100%)";
    // What the window shows: each take changes only what changed.
    CWindowSnapshot::Values values;
    std::thread reader([&] {
        while (writing) {
            if (!(snapshot.TakeChanges(values) & CWindowSnapshot::statusChanged) || values.status == last)
                continue;
            int writer = -1, count = -1;
            char end = 0;
            if (std::sscanf(values.status.c_str(), "writer %d block %d%c", &writer, &count, &end) != 2 ||
                writer < 0 || writer >= kWriters || values.itemBar > 100) {
                wellFormed = false;
                continue;
            }
            if (count < lastSeen[writer])
                forward = false;
            lastSeen[writer] = count;
        }
    });
    std::vector<std::thread> writers;
    for (int w = 0; w < kWriters; ++w)
        writers.emplace_back([&snapshot, w] {
            for (int i = 0; i < kWrites; ++i) {
                snapshot.SetStatus("writer " + std::to_string(w) + " block " + std::to_string(i));
                snapshot.SetItemBar(static_cast<unsigned>(i % 101));
            }
        });
    for (std::thread& writer : writers)
        writer.join();
    snapshot.SetStatus(last);
    snapshot.SetOverallBar(100);
    writing = false;
    reader.join();
    EXPECT_TRUE(wellFormed);
    EXPECT_TRUE(forward);

    snapshot.TakeChanges(values);
    EXPECT_EQ(values.status, last);
    EXPECT_EQ(values.overallBar, 100u);
    EXPECT_EQ(snapshot.OverallBar(), 100u);
    EXPECT_EQ(snapshot.TakeChanges(values), 0u) << "taken twice";
}
