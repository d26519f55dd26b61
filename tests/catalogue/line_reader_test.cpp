#include <gtest/gtest.h>

#include <vector>

#include "catalogue/catalogue.h"
#include "catalogue/scan_number.h"

namespace {

std::vector<std::string> AllLines(const std::string& text, int reads)
{
    CCatalogue catalogue;
    catalogue.sourceText = &text;
    uint32_t position = 0;
    std::vector<std::string> lines;
    for (int i = 0; i < reads; ++i)
        lines.push_back(catalogue.ReadLine(position));
    return lines;
}

using Strings = std::vector<std::string>;

TEST(ReadLine, SplitsAtLineFeedsAndRepeatsTheEndMarker)
{
    struct Case {
        std::string text;
        Strings lines;
    } cases[] = {
        {"a\nb\n", {"a", "b", "*", "*"}},
        {"a\nb", {"a", "b", "*", "*"}},  // last line without LF
        {"", {"*", "*", "*", "*"}},
        {"\n\nx", {"", "", "x", "*"}},
        {"a\r\nb\r\n", {"a\r", "b\r", "*", "*"}},  // CR stays
        {std::string("a\0b\nc", 5), {std::string("a\0b", 3), "c", "*", "*"}},
        {"*\nz", {"*", "z", "*", "*"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(AllLines(c.text, 4), c.lines) << c.text;
}

TEST(ReadLine, NoTextReadsAsEnd)
{
    CCatalogue catalogue;
    uint32_t position = 0;
    EXPECT_EQ(catalogue.ReadLine(position), "*");
    EXPECT_EQ(position, 0u);
}

TEST(ScanNumber, FollowsThePercentIConversion)
{
    struct Case {
        const char* text;
        bool found;
        int value;
    } cases[] = {
        {"5000000", true, 5000000}, {"  42\r", true, 42}, {"-7", true, -7},
        {"0x1F", true, 31},         {"010", true, 8},     {"08", true, 0},
        {"", false, 0},             {"x12", false, 0},    {"*", false, 0},
        {"\v+5", true, 5},          {"- 5", false, 0},    {"-", false, 0},
        {"0x", true, 0},            {"0xg", true, 0},     {"-0x10", true, -16},
        {"1e5", true, 1},           {"00x1", true, 0},
        // Beyond 32 bits the low 32 bits stay, in both builds alike.
        {"2147483648", true, -2147483647 - 1}, {"-2147483649", true, 2147483647},
        {"3000000000", true, -1294967296},     {"4294967297", true, 1},
        {"0x1ffffffff", true, -1},             {"99999999999999999999", true, 1661992959},
    };
    for (const Case& c : cases) {
        int value = -1;
        EXPECT_EQ(ScanNumber(c.text, value), c.found) << c.text;
        EXPECT_EQ(value, c.value) << c.text;
    }
}

}  // namespace
