// Plain rules without Windows: built for Windows and natively alike.
#include <gtest/gtest.h>

#include "zip/zip_names.h"

TEST(ZipNames, CleaningKeepsOnlyWhatLiesBelowTheTarget)
{
    const struct {
        const char* stored;
        const char* kept;
    } cases[] = {
        {"C:\\dir\\file", "dir\\file"},
        {"/abs/x", "abs/x"},
        {"\\\\server\\share\\f", "server\\share\\f"},
        {"//x", "x"},
        {"x/y/../z", "z"},
        {"a\\b\\..\\c/../d", "d"},
        {"../../f", "f"},
        {"..\\..\\f", "f"},
        {"maps/q3dm17.bsp", "maps/q3dm17.bsp"},
        {"C:/../x", "../x"},
        {"dir/..name", "dir/..name"},
        {"", ""},
        // The rules take a ".." part away only behind a separator.
        {"../f", "../f"},
        {"/../f", "../f"},
        {"a/../../f", "../f"},
    };
    for (const auto& c : cases)
        EXPECT_STREQ(c.kept, CleanEntryName(c.stored)) << c.stored;
}

TEST(ZipNames, OnlyALeadingParentPartLeadsOut)
{
    EXPECT_TRUE(LeadsOutOfFolder(".."));
    EXPECT_TRUE(LeadsOutOfFolder("../f"));
    EXPECT_TRUE(LeadsOutOfFolder("..\\f"));
    EXPECT_FALSE(LeadsOutOfFolder("..f"));
    EXPECT_FALSE(LeadsOutOfFolder("...\\f"));
    EXPECT_FALSE(LeadsOutOfFolder("f/.."));
    EXPECT_FALSE(LeadsOutOfFolder(""));
}
