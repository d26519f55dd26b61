// Plain rules without Windows: built for Windows and natively alike.
#include <string>

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
        {"C:/../x", "x"},
        {"dir/..name", "dir/..name"},
        {"..name", "..name"},
        {"", ""},
        // A leading ".." part goes too, as unzip drops it: real game
        // archives hold "../COPYING".
        {"../f", "f"},
        {"/../f", "f"},
        {"a/../../f", "f"},
        {"..\\../x/f", "x/f"},
        {"..", ".."},
    };
    for (const auto& c : cases)
        EXPECT_STREQ(c.kept, CleanEntryName(c.stored)) << c.stored;
}

TEST(ZipNames, TrailingDotsAndSpacesOfEachPartGo)
{
    const struct {
        const char* name;
        const char* trimmed;
    } cases[] = {
        {"readme.txt.", "readme.txt"},
        {"readme.txt . .", "readme.txt"},
        {"maps. /q3dm1.bsp", "maps/q3dm1.bsp"},
        {"a.b\\c  \\d", "a.b\\c\\d"},
        {"dir/", "dir/"},
        {"a//b", "a//b"},
        {" lead", " lead"},
        {"", ""},
        // Parts of dots and spaces alone stay for the safety check.
        {"..", ".."},
        {"./x", "./x"},
        {"a/. ./b", "a/. ./b"},
        {"x/...", "x/..."},
    };
    for (const auto& c : cases) {
        std::string name = c.name;
        TrimNameParts(&name[0]);
        EXPECT_STREQ(c.trimmed, name.c_str()) << c.name;
    }
}

TEST(ZipNames, OnlyNamesOfPlainFilesInsideTheFolderAreSafe)
{
    const char* safe[] = {
        "f", "maps/q3dm17.bsp", "a\\b\\c.txt", "..f", "...f", "f..g", "./x", "dir/", "a//b", "",
        "console.txt", "conx", "com10", "lpt", "nul_map.bsp", "my con.txt", "COMa", "\xE9t\xE9.txt",
    };
    for (const char* name : safe)
        EXPECT_TRUE(IsSafeEntryName(name)) << name;
    const char* unsafe[] = {
        // Parts that lead up, or that Windows would read as a parent.
        "..", "../f", "..\\f", "f/..", "a\\..", "...", "x/.../y", ". .", ".. /f", " ",
        // Devices, with any extension, case, folder or trailing spaces.
        "CON", "con", "aux.txt", "NUL", "Prn.log.txt", "dir/com1.log", "lpt9\\x", "COM0", "LPT\xB9",
        "COM\xB2.txt", "conout$", "CONIN$", "aux .txt", "nul ",
        // Streams and characters that Windows forbids.
        "file.txt:stream", "a:b", "f::$DATA", "?\\C:\\x", "a<b", "a>b", "a\"b", "a|b", "a?b", "a*b",
        "tab\tname", "\x1f",
    };
    for (const char* name : unsafe)
        EXPECT_FALSE(IsSafeEntryName(name)) << name;
}
