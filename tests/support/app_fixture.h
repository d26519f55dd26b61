#pragma once
#include <gtest/gtest.h>

// Puts theApp back as the program constructs it; the window operations in
// use stay in place.
void RebuildApplication();

// A test that starts, and leaves, theApp as the program constructs it.
class CApplicationTest : public ::testing::Test {
protected:
    void SetUp() override { RebuildApplication(); }
    void TearDown() override { RebuildApplication(); }
};
