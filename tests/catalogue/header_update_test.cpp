#include "app/startup.h"
#include "support/catalogue_fixture.h"
#include "support/test_server.h"
#include "transfer/easy_handle.h"

namespace {

// The header as the start-up takes it: the message kept in theApp, the
// version handed to the update check.
class ApplyHeaderTest : public CatalogueTest {
protected:
    StopRequest stop{false};
};

TEST_F(ApplyHeaderTest, KeepsTheMessageAndRunsTheUpdateCheck)
{
    Load(Lines({"v2.0.4", "http://127.0.0.1:47001/Tavrin.exe", "1000", "<message>", "Hello.",
                "Second line.", "</message>", "<items>"}));
    EXPECT_FALSE(ApplyCatalogueHeader(window, theApp, stop));
    EXPECT_EQ(theApp.catalogueMessage, "Hello.\nSecond line.\n");
    EXPECT_EQ(LogText(), "\n--== Parsing header of config ==--\n"
                         "\nChecking message\n"
                         "Message: OK\n"
                         "\nChecking for updates.\n"
                         "No update avaliable\n");
}

TEST_F(ApplyHeaderTest, TheVersionReachesTheUpdateCheck)
{
    struct Case {
        const char* versionLine;
        bool current;
    } cases[] = {
        {"v2.0.4", true}, {"v1.9.9", true},  {"v2.0.08", true},
        {"v2.0.5", false}, {"v2.0.010", false}, {"v2.1.0", false}, {"v3.0.0", false},
    };
    // A newer release is asked of a port where nothing listens, through a
    // real transfer.
    std::string refused = RefusedUrl();
    for (const Case& c : cases) {
        SetUp();
        StartTransferLibrary();
        Load(Lines({c.versionLine, refused, "1", "<message>", "</message>"}));
        EXPECT_FALSE(ApplyCatalogueHeader(window, theApp, stop));
        EXPECT_EQ(LogText().find("No update avaliable") != std::string::npos, c.current)
            << c.versionLine;
        EndTransferLibrary();
    }
}

// Headers that the update check must not take for a newer release.
TEST_F(ApplyHeaderTest, MalformedHeadersAnnounceNoUpdate)
{
    using namespace std::string_literals;
    const std::string texts[] = {
        "v",
        "v\n\n\n<message>",
        "v2.0.99999\nu\n-1\n<message>\n</message>\n",  // patch -31073 in 16 bits
        "v2.0.4\0\nu\n\0\n<message>\n\0\n</message>\n"s,
        "v2.0.4\n" + std::string(300, 'u') + "\n99999999999999999999\n",
    };
    for (const std::string& loaded : texts) {
        SetUp();
        Load(loaded);
        EXPECT_FALSE(ApplyCatalogueHeader(window, theApp, stop)) << loaded;
        EXPECT_NE(LogText().find("No update avaliable"), std::string::npos) << loaded;
    }
}

}  // namespace
