#include "catalogue/catalogue_header.h"
#include "support/catalogue_text_fixture.h"

namespace {

TEST(ReadVersionLine, ReadsEachNumberFromItsByteWindow)
{
    struct Case {
        std::string line;
        int major, minor, patch;
    } cases[] = {
        {"v2.0.4", 2, 0, 4},
        {"v2.1.12", 2, 1, 12},
        {"v2.0.08", 2, 0, 0},   // octal stops at the 8
        {"v2.0.010", 2, 0, 8},  // octal
        {"v2.0.x", 2, 0, 0},
        {"v2.10.4", 2, 10, 0},  // the patch window starts at the point
        {"v2.0.5\r", 2, 0, 5},
        {"v2.0.0x1f", 2, 0, 31},
        {"v2.0.70000", 2, 0, 4464},  // low 16 bits
        {"v3", 3, 0, 0},
        {"v2.0", 2, 0, 0},
        {"v2.0.", 2, 0, 0},
        {"v", 0, 0, 0},
    };
    for (const Case& c : cases) {
        CatalogueVersion version = ReadVersionLine(c.line);
        EXPECT_EQ(version.major, c.major) << c.line;
        EXPECT_EQ(version.minor, c.minor) << c.line;
        EXPECT_EQ(version.patch, c.patch) << c.line;
    }
}

class ReadHeaderTest : public CatalogueTextTest {};

TEST_F(ReadHeaderTest, MessageBlockCases)
{
    struct Case {
        const char* what;
        std::string text;
        std::string message;
        const char* logged;
    } cases[] = {
        {"CR LF line ends", Lines({"v2.0.4", "u", "1", "<message>", "a", "b", "</message>"}, "\r\n"),
         "a\r\nb\r\n", "Message: OK"},
        {"tag line after text",
         Lines({"v2.0.4", "u", "1", "x <message> y", "a", "not this</message>"}), "a\n",
         "Message: OK"},
        {"a line of '*'", Lines({"v2.0.4", "u", "1", "<message>", "a", "*", "b", "</message>"}),
         "a\n", "Message problem: end of file."},
        {"no closing tag", Lines({"v2.0.4", "u", "1", "<message>", "a"}) + "b", "a\nb\n",
         "Message problem: end of file."},
        {"line 4 without tag", Lines({"v2.0.4", "u", "1", "hello", "a", "</message>"}), "",
         "Invalid config file: message missing."},
        {"header cut after the version", "v2.0.4", "", "Invalid config file: message missing."},
    };
    for (const Case& c : cases) {
        SetUp();
        Load(c.text);
        CatalogueHeader header = ReadHeader(Catalogue());
        EXPECT_TRUE(header.valid) << c.what;
        EXPECT_EQ(header.message, c.message) << c.what;
        std::string log = LogText();
        EXPECT_NE(log.find(std::string(c.logged) + "\n"), std::string::npos) << c.what << log;
        // The update check runs whatever the message block holds.
        EXPECT_NE(log.find("\nChecking for updates.\n"), std::string::npos) << c.what;
    }
}

// Lines 2 and 3 as the update takes them: the URL without the CR of a CR LF
// text (the log keeps the line as written), the size as "%i" reads it.
TEST_F(ReadHeaderTest, UpdateRecordIsReadyToUse)
{
    struct Case {
        const char* what;
        std::string text;
        std::string urlLine, url;
        int size;
    } cases[] = {
        {"LF line ends", Lines({"v2.0.5", "http://127.0.0.1:47001/T.exe", "1000", "<message>"}),
         "http://127.0.0.1:47001/T.exe", "http://127.0.0.1:47001/T.exe", 1000},
        {"CR LF line ends", Lines({"v2.0.5", "http://127.0.0.1:47001/T.exe", "1000", "<message>"}, "\r\n"),
         "http://127.0.0.1:47001/T.exe\r", "http://127.0.0.1:47001/T.exe", 1000},
        {"only the last CR goes", Lines({"v2.0.5", "u\r\r", "7"}), "u\r\r", "u\r", 7},
        {"no number", Lines({"v2.0.5", "u", "unknown"}), "u", "u", 0},
        {"hexadecimal", Lines({"v2.0.5", "u", "0x10"}), "u", "u", 16},
        {"blanks and a word after", Lines({"v2.0.5", "u", "  12 bytes"}), "u", "u", 12},
        {"negative", Lines({"v2.0.5", "u", "-5"}), "u", "u", -5},
        {"empty lines", Lines({"v2.0.5", "", "", "<message>"}), "", "", 0},
        {"cut after the version", "v2.0.5\n", "*", "*", 0},
    };
    for (const Case& c : cases) {
        SetUp();
        Load(c.text);
        CatalogueHeader header = ReadHeader(Catalogue());
        EXPECT_EQ(header.updateUrlLine, c.urlLine) << c.what;
        EXPECT_EQ(header.updateUrl, c.url) << c.what;
        EXPECT_EQ(header.updateSize, c.size) << c.what;
    }
}

TEST_F(ReadHeaderTest, NoVersionLineStopsBeforeTheMessage)
{
    for (const char* loaded : {"", "\nv2.0.4\n", "V2.0.4\nu\n1\n<message>\na\n</message>\n"}) {
        SetUp();
        Load(loaded);
        CatalogueHeader header = ReadHeader(Catalogue());
        EXPECT_FALSE(header.valid);
        EXPECT_EQ(header.message, "");
        EXPECT_EQ(LogText(), "\n--== Parsing header of config ==--\n"
                             "Invalid config file, no information about version found.\n");
    }
}

}  // namespace
