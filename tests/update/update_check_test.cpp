#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <thread>
#include <utility>
#include <vector>
#include <windows.h>

#include "app/startup.h"
#include "catalogue/catalogue.h"
#include "catalogue/catalogue_header.h"
#include "core/application.h"
#include "core/file_system.h"
#include "core/log.h"
#include "support/transfer_fixture.h"
#include "update/hand_over.h"
#include "update/update_check.h"
#include "update/update_download.h"

namespace {

bool Contains(const std::vector<std::string>& lines, const std::string& line)
{
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

// A small real Windows program that leaves "started.txt" when it runs.
std::string ProbeProgram()
{
    char path[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, path, sizeof path);
    return ReadWholeFile(FolderOf(path) + "\\started_probe.exe");
}

// The same program marked for 32-bit ARM: a Windows program of the right
// size that this machine cannot start.
std::string ForOtherProcessor(std::string program)
{
    uint32_t header = 0;
    std::memcpy(&header, &program[0x3c], sizeof header);
    program[header + 4] = '\xc4';
    program[header + 5] = '\x01';
    return program;
}

// The text of `name` once a program has written it; empty after 30 s.
std::string WaitForFile(const char* name)
{
    for (int i = 0; i < 300 && GetFileAttributesA(name) == INVALID_FILE_ATTRIBUTES; ++i)
        Sleep(100);
    return ReadWholeFile(name);
}

const char kUpdateFailed[] = "Can't update Quake3 Tavrin !";

class UpdateCheck : public CTransferTest {
protected:
    void TearDown() override
    {
        QuitRequested();
        CTransferTest::TearDown();
    }

    // The start-up's header read of a catalogue that announces `version`.
    bool ReadHeaderOf(const std::string& version, const std::string& url, const std::string& sizeLine)
    {
        theApp.catalogueText = version + "\n" + url + "\n" + sizeLine + "\n<message>\n</message>\n";
        theApp.catalogue->sourceText = &theApp.catalogueText;
        return ApplyCatalogueHeader(window, theApp, stop);
    }

    // Takes the quit request this thread got, if any.
    bool QuitRequested()
    {
        MSG message;
        return PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) && message.wParam == 0;
    }

    void ExpectUpdateFailedBox()
    {
        ASSERT_EQ(window.shownMessages.size(), 1u);
        EXPECT_EQ(window.shownMessages[0].text, kUpdateFailed);
        EXPECT_EQ(window.shownMessages[0].caption, "Q3 Tavrin");
        EXPECT_EQ(window.shownMessages[0].type, static_cast<UINT>(MB_OK));
    }

    static bool Exists(const char* name) { return GetFileAttributesA(name) != INVALID_FILE_ATTRIBUTES; }

    // The probe ran from "tmp.exe"; what it left is cleared for the next case.
    void ExpectProbeStartedFromTmpExe()
    {
        std::string started = WaitForFile("started.txt");
        ASSERT_GE(started.size(), 8u) << "the new release did not run";
        EXPECT_EQ(_stricmp(started.c_str() + started.size() - 8, "\\tmp.exe"), 0) << started;
        // Gone once the probe has ended and let go of it.
        for (int i = 0; i < 100 && !DeleteFileA("tmp.exe"); ++i)
            Sleep(100);
        DeleteFileA("started.txt");
    }

    StopRequest stop{false};
};

TEST_F(UpdateCheck, OnlyANewerVersionIsDownloaded)
{
    std::string page = server.Put("page.exe", "<html>not a program</html>");
    struct Case {
        const char* version;
        const char* line;
        bool newer;
    } cases[] = {
        {"v2.0.4", "No update avaliable", false}, {"v2.0.5", "Updating to 2.05", true},
        {"v2.1.0", "Updating to 2.10", true},     {"v3.0.0", "Updating to 3.00", true},
        {"v1.9.9", "No update avaliable", false}, {"v2.0.10", "Updating to 2.010", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.version);
        StartOver();

        EXPECT_FALSE(ReadHeaderOf(c.version, page, "26"));

        std::vector<std::string> lines = LogLines();
        EXPECT_TRUE(Contains(lines, c.line));
        EXPECT_EQ(Contains(lines, "Update from: " + page), c.newer);
        EXPECT_EQ(Contains(window.statusHistory, "Downloading update"), c.newer);
    }
}

// Whatever fails, the user is told once, the failure is logged with its
// code, nothing is left to start and this version runs on with its log.
TEST_F(UpdateCheck, AFailedDownloadTellsTheUserAndThisVersionGoesOn)
{
    std::string program = ProbeProgram();
    std::string programUrl = server.Put("probe.exe", program);
    std::string size = std::to_string(program.size());
    struct Case {
        const char* what;
        std::string url;
        std::string sizeLine;
        int code;
    } cases[] = {
        {"refused", RefusedUrl(), size, 7},
        {"an HTTP error answer", server.Url("404/probe.exe"), size, 22},
        {"stalled after \"MZ\"", server.Url("stall:2/probe.exe"), size, 28},
        {"a page, not a program", server.Put("page.exe", "<html>not a program</html>"), "0", 23},
        {"shorter than declared", programUrl, std::to_string(program.size() + 1), 18},
        {"longer than declared", programUrl, std::to_string(program.size() - 1), 18},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        StartOver();

        EXPECT_FALSE(ReadHeaderOf("v2.0.5", c.url, c.sizeLine));

        EXPECT_TRUE(theLog.IsOpen());
        EXPECT_TRUE(Contains(LogLines(), "Update failure (" + std::to_string(c.code) + ")."));
        ExpectUpdateFailedBox();
        EXPECT_EQ(window.itemProgress, 0u);
        EXPECT_EQ(window.title, "") << "the window was retitled";
        EXPECT_FALSE(Exists("tmp.exe"));
        EXPECT_FALSE(QuitRequested());
    }
}

TEST_F(UpdateCheck, TheNewReleaseIsStartedAndThisInstanceQuits)
{
    std::string program = ProbeProgram();
    std::string url = server.Put("probe.exe", program);
    struct Case {
        std::string sizeLine;
        unsigned itemProgress;
        std::string lineEnd;
    } cases[] = {
        {std::to_string(program.size()), 100, ""},
        {"unknown", 0, ""},  // the download runs, the bar stays
        {std::to_string(program.size()), 100, "\r"},  // a catalogue with CR LF line ends
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.sizeLine + c.lineEnd);
        StartOver();

        EXPECT_TRUE(ReadHeaderOf("v2.0.5", url + c.lineEnd, c.sizeLine));

        EXPECT_EQ(window.title, "Tavrin-");
        EXPECT_TRUE(QuitRequested());
        EXPECT_TRUE(window.shownMessages.empty());
        EXPECT_TRUE(Contains(window.statusHistory, "Updating"));
        EXPECT_TRUE(Contains(window.statusHistory, "Downloading update"));
        EXPECT_EQ(window.itemProgress, c.itemProgress);
        // The log was left to the new release at the start.
        EXPECT_FALSE(theLog.IsOpen());
        EXPECT_EQ(LogLines().back(), "Update from: " + url + c.lineEnd);
        ExpectProbeStartedFromTmpExe();
    }
    // A build without a key asks for no signature.
    EXPECT_EQ(server.Requests().find("/probe.exe.sig\n"), std::string::npos);
}

TEST_F(UpdateCheck, ANewReleaseThatCannotStartLeavesThisInstanceAsItWas)
{
    std::string program = ForOtherProcessor(ProbeProgram());
    std::string url = server.Put("other.exe", program);

    EXPECT_FALSE(ReadHeaderOf("v2.0.5", url, std::to_string(program.size())));

    EXPECT_EQ(window.title, theApp.title);
    EXPECT_FALSE(QuitRequested());
    ExpectUpdateFailedBox();
    EXPECT_EQ(window.itemProgress, 0u);
    EXPECT_FALSE(Exists("tmp.exe"));
    // The log was taken back: one file, going on after the lines before the start.
    ASSERT_TRUE(theLog.IsOpen());
    theLog.WriteLine("later");
    std::vector<std::string> lines = LogLines();
    auto from = std::find(lines.begin(), lines.end(), "Update from: " + url);
    ASSERT_LE(lines.end() - from, 3) << "lines before the start are missing";
    ASSERT_EQ(lines.end() - from, 3);
    EXPECT_EQ(from[1].rfind("Update start failure (", 0), 0u) << from[1];
    EXPECT_EQ(from[2], "later");
}

TEST_F(UpdateCheck, ClosingTheWindowStopsTheDownloadAndStartsNothing)
{
    std::string program = ProbeProgram();
    server.Put("probe.exe", program);
    std::thread closer([this] {
        Sleep(1000);
        stop = true;
    });

    EXPECT_FALSE(ReadHeaderOf("v2.0.5", server.Url("drip:0.01/probe.exe"), std::to_string(program.size())));
    closer.join();

    EXPECT_TRUE(Contains(window.statusHistory, "Downloading update")) << "stopped before it began";
    EXPECT_TRUE(Contains(LogLines(), "Update failure (42)."));
    EXPECT_TRUE(window.shownMessages.empty()) << "the user is closing; nothing to tell";
    EXPECT_FALSE(Exists("tmp.exe"));
    EXPECT_EQ(window.title, "");
    EXPECT_FALSE(QuitRequested());
}

// A build with a release key; the probe and another file were signed with
// it at build time.
class SignedUpdateCheck : public UpdateCheck {
protected:
    // The probe carries version 2.0.5.
    bool CheckWithKey(const std::string& url, CatalogueVersion announced = {2, 0, 5})
    {
        CatalogueHeader header;
        header.valid = true;
        header.version = announced;
        header.updateUrlLine = url;
        header.updateUrl = url;
        header.updateSize = static_cast<int>(program.size());
        return CheckForUpdate(header, window, theApp.title, key, stop);
    }

    bool SignatureAskedFor(const std::string& name)
    {
        return server.Requests().find("/" + name + ".sig\n") != std::string::npos;
    }

    static std::string Beside(const char* name) { return ReadWholeFile(BesideThisProgram(name)); }

    const std::string program = ProbeProgram();
    const std::string signature = Beside("started_probe.exe.sig");
    const std::string key = Beside("signing\\release.pub.pem");
};

TEST_F(SignedUpdateCheck, ASignedReleaseIsStarted)
{
    std::string url = server.Put("signed.exe", program);
    server.Put("signed.exe.sig", signature);

    EXPECT_TRUE(CheckWithKey(url));

    EXPECT_EQ(window.title, "Tavrin-");
    EXPECT_TRUE(window.shownMessages.empty());
    ExpectProbeStartedFromTmpExe();
}

TEST_F(SignedUpdateCheck, AReleaseWithoutItsSignatureIsNotStarted)
{
    struct Case {
        const char* what;
        std::string name;
        bool published;
        std::string signature;
    } cases[] = {
        {"none published", "unsigned.exe", false, ""},
        {"an empty one", "empty.exe", true, ""},
        {"the signature of another file", "foreign.exe", true, Beside("signing\\release.bin.sig")},
        // crypt32 reads the signature at its start and would take it.
        {"the signature with more than 1 KB after it", "long.exe", true,
         signature + std::string(1024, '\0')},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        StartOver();
        std::string url = server.Put(c.name, program);
        if (c.published)
            server.Put(c.name + ".sig", c.signature);

        EXPECT_FALSE(CheckWithKey(url));

        std::vector<std::string> lines = LogLines();
        auto failure = std::find(lines.begin(), lines.end(), "Update failure (1000).");
        ASSERT_NE(failure, lines.end());
        EXPECT_EQ(failure[-1], "Update signature not verified.");
        ExpectUpdateFailedBox();
        EXPECT_EQ(window.itemProgress, 0u);
        EXPECT_EQ(window.title, "") << "the window was retitled";
        EXPECT_FALSE(Exists("tmp.exe"));
        EXPECT_TRUE(SignatureAskedFor(c.name));
    }
}

// The release stays genuinely signed for ever; served under a newer
// announcement it would be started, see that announcement and download
// itself again at every start.
TEST_F(SignedUpdateCheck, ASignedReleaseAnnouncedAsAnotherVersionIsNotStarted)
{
    std::string url = server.Put("replayed.exe", program);
    server.Put("replayed.exe.sig", signature);
    struct Case {
        const char* version;
        CatalogueVersion announced;
    } cases[] = {{"v2.0.9", {2, 0, 9}}, {"v2.1.5", {2, 1, 5}}, {"v3.0.5", {3, 0, 5}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.version);
        StartOver();

        EXPECT_FALSE(CheckWithKey(url, c.announced));

        std::vector<std::string> lines = LogLines();
        auto failure = std::find(lines.begin(), lines.end(), "Update failure (1000).");
        ASSERT_NE(failure, lines.end());
        EXPECT_EQ(failure[-1], "Update signature not verified.");
        ExpectUpdateFailedBox();
        EXPECT_EQ(window.title, "") << "the window was retitled";
        EXPECT_FALSE(Exists("tmp.exe"));
        EXPECT_FALSE(QuitRequested());
    }
}

// Between the first check and the start nothing can change the file, so
// what starts is what was checked; it is started by the name it was checked
// under, whatever the current folder is by then.
TEST_F(SignedUpdateCheck, TheCheckedReleaseIsHeldUntilItIsStarted)
{
    std::string url = server.Put("held.exe", program);
    server.Put("held.exe.sig", signature);
    const std::string heldPath = folder.File("tmp.exe");
    struct Change {
        const char* what;
        bool (*tried)();
    } changes[] = {
        {"opened for writing",
         [] {
             return static_cast<bool>(OwnHandle(CreateFileA("tmp.exe", GENERIC_WRITE,
                                                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                                            nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)));
         }},
        {"deleted", [] { return DeleteFileA("tmp.exe") != 0; }},
        {"renamed", [] { return MoveFileExA("tmp.exe", "moved.exe", 0) != 0; }},
        {"replaced by another file", [] { return MoveFileExA("other.exe", "tmp.exe", MOVEFILE_REPLACE_EXISTING) != 0; }},
    };
    for (const std::string& releaseKey : {std::string(), key}) {
        SCOPED_TRACE(releaseKey.empty() ? "without a key" : "with a key");
        StartOver();
        WriteWholeFile("other.exe", "MZ another program");
        ExpectedRelease expected;
        expected.size = static_cast<uint32_t>(program.size());
        expected.version = {2, 0, 5};
        expected.key = releaseKey;
        CVerifiedRelease release;

        ASSERT_EQ(DownloadUpdate(url, "tmp.exe", expected, [](uint32_t) {}, stop, release), 0);

        for (const Change& change : changes)
            EXPECT_FALSE(change.tried()) << change.what;
        EXPECT_TRUE(ReadWholeFile("tmp.exe") == program) << "others may still read it";
        {
            CTestFolder elsewhere;
            EXPECT_EQ(StartNewRelease(std::move(release), window, theApp.title), 0);
            // It runs in the current folder, as the program's own successor must.
            std::string started = WaitForFile("started.txt");
            EXPECT_EQ(_stricmp(started.c_str(), heldPath.c_str()), 0) << started;
            // Let go at the start: gone once the probe has ended.
            bool deleted = false;
            for (int i = 0; i < 100 && !(deleted = DeleteFileA(heldPath.c_str())); ++i)
                Sleep(100);
            EXPECT_TRUE(deleted);
        }
    }
}

TEST_F(SignedUpdateCheck, ClosingTheWindowDuringTheSignatureDownloadStartsNothing)
{
    std::string url = server.Put("closing.exe", program);
    server.Put("closing.exe.sig", signature);
    ASSERT_TRUE(server.SetBehaviour("closing.exe.sig", "stall"));
    std::thread closer([this] {
        for (int i = 0; i < 300 && !SignatureAskedFor("closing.exe"); ++i)
            Sleep(100);
        stop = true;
    });

    EXPECT_FALSE(CheckWithKey(url));
    closer.join();

    std::vector<std::string> lines = LogLines();
    EXPECT_TRUE(Contains(lines, "Update failure (42)."));
    EXPECT_FALSE(Contains(lines, "Update signature not verified."));
    EXPECT_TRUE(window.shownMessages.empty()) << "the user is closing; nothing to tell";
    EXPECT_FALSE(Exists("tmp.exe"));
    EXPECT_EQ(window.title, "");
}

}  // namespace
