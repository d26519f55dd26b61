// Paths that came from outside, made into paths below a folder of ours.
#include <gtest/gtest.h>

#include <string>

#include "core/file_system.h"

TEST(ContainedPath, EachHostileFormIsRefusedWithItsReason)
{
    struct Case {
        std::string path;
        const char* reason;  // null: taken
    } cases[] = {
        {"", nullptr},
        {"baseq3", nullptr},
        {"baseq3\\maps", nullptr},
        {"cpma/hud", nullptr},
        {".\\baseq3\\.", nullptr},
        {"maps..old\\a..b.pk3", nullptr},
        {"con_maps\\nul2.cfg", nullptr},
        {"COM10", nullptr},
        {"..", "a \"..\" part"},
        {"..\\..\\up", "a \"..\" part"},
        {"x\\..\\..\\..\\..\\slash.cfg", "a \"..\" part"},
        {"baseq3/../..", "a \"..\" part"},
        {"... \\x", "a \"..\" part"},
        {". .", "a \"..\" part"},
        {"Z:\\Startup", "a drive"},
        {"c:x", "a drive"},
        {"\\Windows", "a leading separator"},
        {"/etc", "a leading separator"},
        {"baseq3\\autoexec.cfg:stream", "a \":\""},
        {"tab\there", "a control character"},
        {std::string("nul\0byte", 8), "a control character"},
        {"what?.cfg", "a character Windows forbids in names"},
        {"CON", "a name Windows reserves"},
        {"baseq3\\aux.txt", "a name Windows reserves"},
        {"Lpt9 .cfg", "a name Windows reserves"},
        {"com1/x", "a name Windows reserves"},
        {"CONOUT$", "a name Windows reserves"},
    };
    for (const Case& c : cases) {
        const char* reason = UncontainedReason(c.path);
        if (c.reason)
            EXPECT_STREQ(reason, c.reason) << c.path;
        else
            EXPECT_EQ(reason, nullptr) << c.path << ": " << reason;
    }
}

#ifdef _WIN32
// Judged as Windows reads the name: the same bytes are a device in one code
// page and an ordinary letter in another, and a trail byte of a two-byte
// character is no separator or forbidden character.
TEST(ContainedPath, NamesAreJudgedInTheirCodePage)
{
    struct Case {
        unsigned codePage;
        std::string path;
        const char* reason;  // null: taken
    } cases[] = {
        {1252, "COM\xB9", "a name Windows reserves"},         // superscript one
        {1252, "lpt\xB3.cfg", "a name Windows reserves"},     // superscript three
        {65001, "COM\xC2\xB9", "a name Windows reserves"},    // superscript one in UTF-8
        {65001, "LPT\xC2\xB2.txt", "a name Windows reserves"},
        {1250, "COM\xB9", nullptr},                           // a with ogonek
        {1250, "com\xB3.cfg", nullptr},                       // l with stroke
        {1251, "COM\xB9", nullptr},                           // numero sign
        {1251, "LPT\xB2", nullptr},                           // Ukrainian I
        {932, "\x95\x5C.cfg", nullptr},                       // a kanji whose second byte is "\"
        {932, "\x83\x7C.cfg", nullptr},                       // a katakana whose second byte is "|"
        {932, "\x95\x5C\\..\\x.cfg", "a \"..\" part"},
        {65001, "bad\xC3.cfg", "bytes that are no text in the code page"},
        {1252, "CON.cfg", "a name Windows reserves"},
        {1250, "what?.cfg", "a character Windows forbids in names"},
    };
    for (const Case& c : cases) {
        const char* reason = UncontainedReasonIn(c.path, c.codePage);
        if (c.reason)
            EXPECT_STREQ(reason, c.reason) << c.codePage << ": " << c.path;
        else
            EXPECT_EQ(reason, nullptr) << c.codePage << ": " << c.path << ": " << reason;
    }
}
#endif

TEST(ContainedPath, ARecordsFileGoesBelowTheInstallationFolder)
{
    std::string path = "untouched";
    EXPECT_EQ(RecordFilePath("D:\\Q3", "baseq3\\maps", "dm.pk3", path), nullptr);
    EXPECT_EQ(path, "D:\\Q3\\baseq3\\maps\\dm.pk3");
    EXPECT_EQ(RecordFilePath("", "", "autoexec.cfg", path), nullptr);
    EXPECT_EQ(path, "autoexec.cfg");
    EXPECT_EQ(RecordFilePath("D:\\Q3", "", "a.cfg", path), nullptr);
    EXPECT_EQ(path, "D:\\Q3\\a.cfg");

    // Either part refused, the path is left as it was.
    path = "untouched";
    EXPECT_STREQ(RecordFilePath("D:\\Q3", "..\\..\\up", "up.cfg", path), "a \"..\" part");
    EXPECT_STREQ(RecordFilePath("", "Z:\\Users", "x.bat", path), "a drive");
    EXPECT_STREQ(RecordFilePath("D:\\Q3", "baseq3", "x\\..\\..\\slash.cfg", path), "a \"..\" part");
    EXPECT_STREQ(RecordFilePath("D:\\Q3", "baseq3", "PRN.cfg", path), "a name Windows reserves");
    EXPECT_STREQ(RecordFilePath("D:\\Q3", "baseq3", "", path), "no name");
    EXPECT_EQ(path, "untouched");
}
