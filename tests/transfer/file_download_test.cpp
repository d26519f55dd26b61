#include <gtest/gtest.h>

#include <algorithm>
#include <thread>
#include <windows.h>

#include <memory>

#include "catalogue/catalogue.h"
#include "core/file_system.h"
#include "core/log.h"
#include "install/install_run.h"
#include "settings/settings.h"
#include "support/log_lines.h"
#include "support/memory_window_operations.h"
#include "support/test_folder.h"
#include "support/test_server.h"
#include "transfer/easy_handle.h"
#include "transfer/file_download.h"

namespace {

using Lines = std::vector<std::string>;

// Downloads as a run of their own makes them, its bars and status line in
// a window of their own.
class FileDownload : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(server.Available()) << "run through tests/servers/with_http_server.sh";
        theLog.Close();
        theLog.Open();
        StartTransferLibrary();
    }
    void TearDown() override
    {
        EndTransferLibrary();
        theLog.Close();
    }

    // As the install run calls it: a run of this one file, its declared size
    // and name set first.
    DownloadOutcome Download(const std::string& urlLine, const std::string& path, uint32_t declaredSize)
    {
        run = std::make_unique<CInstallRun>(window, catalogue, settings, message, nullptr, stop);
        run->progress.itemSize = declaredSize;
        run->progress.totalBytes = declaredSize;
        run->currentItemName = FileNameOf(urlLine.substr(0, urlLine.find(' ')));
        run->progress.itemIsArchive = IsArchiveName(run->currentItemName);
        return DownloadFile(urlLine, path, declaredSize, DownloadReportOf(*run), stop);
    }

    Lines DownloadLines()
    {
        return LogLinesStartingWith(
            {"Is file", "File already", "Connecting", "Downloading", "Range error", "File changed"});
    }

    CTestFolder folder;
    CMemoryWindowOperations window;
    CTestServer server;
    StopRequest stop{false};
    CCatalogue catalogue;
    CSettings settings;
    std::string message;
    std::unique_ptr<CInstallRun> run;
};

TEST_F(FileDownload, TriesTheUrlsInTurnUntilOneDelivers)
{
    const std::string content = SomeBytes(300000, 1);
    std::string good = server.Put("maps.zip", content);
    std::string refused = RefusedUrl();
    std::string missing = server.Url("404/maps.zip");

    EXPECT_EQ(Download(missing + " " + refused + " " + good, folder.File("maps.zip"), 300000),
              DownloadOutcome::transferred);

    // An error answer is a failed attempt like a refused connection.
    EXPECT_EQ(DownloadLines(), (Lines{"Is file ? (0)", "Connecting to: " + missing, "Connecting error: 22 (0)",
                                      "Connecting to: " + refused, "Connecting error: 7 (0)",
                                      "Connecting to: " + good, "Downloading complete ! (300000)"}));
    EXPECT_TRUE(ReadWholeFile(folder.File("maps.zip")) == content);
    EXPECT_EQ(window.statusHistory.front(), "Connecting ... (maps.zip)");
    EXPECT_EQ(window.statusHistory.back(), "Downloading maps.zip");
    EXPECT_EQ(window.itemProgress, 100u);
}

// A transfer that breaks off is taken up where it broke off: one connection
// line, one "Connecting" status, and the bars end as for an unbroken one.
TEST_F(FileDownload, ABrokenTransferIsResumedWhereItBrokeOff)
{
    const std::string content = SomeBytes(200000, 2);
    server.Put("pak.pk3", content);
    struct Case {
        std::string url;
        std::string brokeOff;
    } cases[] = {
        {server.Url("drop:80000/pak.pk3"), "Connecting error: 18 (80000)"},
        {server.Url("stall:120000/pak.pk3"), "Connecting error: 28 (120000)"},  // silent for the 5 s limit
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.url);
        SetUp();
        window.statusHistory.clear();
        DeleteFileA(folder.File("pak.pk3").c_str());

        EXPECT_EQ(Download(c.url, folder.File("pak.pk3"), 200000), DownloadOutcome::transferred);

        EXPECT_EQ(DownloadLines(), (Lines{"Is file ? (0)", "Connecting to: " + c.url, c.brokeOff,
                                          "Downloading complete ! (200000)"}));
        EXPECT_TRUE(ReadWholeFile(folder.File("pak.pk3")) == content);
        EXPECT_EQ(std::count(window.statusHistory.begin(), window.statusHistory.end(), "Connecting ... (pak.pk3)"),
                  1);
        EXPECT_EQ(run->progress.itemBytes, 200000u);
        EXPECT_EQ(run->progress.doneBytes, 200000u);
        EXPECT_EQ(window.itemProgress, 100u);
        EXPECT_EQ(window.overallProgress, 100u);
        TearDown();
    }
}

// A server that will not give the rest of the same file gets one fresh
// attempt without resuming; its bytes are counted once all the same.
TEST_F(FileDownload, AFileThatCannotBeResumedIsStartedAnew)
{
    const std::string content = SomeBytes(200000, 4);
    std::string good = server.Put("maps.zip", content);
    struct Case {
        std::string url;
        std::string refusal;
    } cases[] = {
        {server.Url("norange:80000/maps.zip"), "Range error"},
        {server.Url("changed:80000/maps.zip"), "File changed."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.url);
        SetUp();
        DeleteFileA(folder.File("maps.zip").c_str());

        EXPECT_EQ(Download(c.url + " " + good, folder.File("maps.zip"), 200000), DownloadOutcome::transferred);

        EXPECT_EQ(DownloadLines(),
                  (Lines{"Is file ? (0)", "Connecting to: " + c.url, "Connecting error: 18 (80000)", c.refusal,
                         "Connecting to: " + c.url, "Connecting error: 18 (80000)", "Connecting to: " + good,
                         "Downloading complete ! (200000)"}));
        EXPECT_TRUE(ReadWholeFile(folder.File("maps.zip")) == content);
        // An archive counts 0.8 of each block, in whole bytes.
        EXPECT_NEAR(run->progress.doneBytes, 200000 * 0.8, 20);
        TearDown();
    }
}

// Each resume has to bring something: one that brings nothing ends the
// resuming, and the next URL starts the file from its first byte.
TEST_F(FileDownload, ResumingEndsWhenNothingNewArrives)
{
    std::string good = server.Put("q3config.cfg", "abcd");
    std::string halving = server.Url("drop/q3config.cfg");  // half of each part asked for

    EXPECT_EQ(Download(halving + " " + good, folder.File("q3config.cfg"), 4), DownloadOutcome::transferred);

    EXPECT_EQ(DownloadLines(), (Lines{"Is file ? (0)", "Connecting to: " + halving, "Connecting error: 18 (2)",
                                      "Connecting error: 18 (3)", "Connecting error: 18 (3)",
                                      "Connecting to: " + good, "Downloading complete ! (4)"}));
    EXPECT_EQ(ReadWholeFile(folder.File("q3config.cfg")), "abcd");
}

TEST_F(FileDownload, AnErrorAnswerIsNeverStored)
{
    WriteWholeFile(folder.File("old.zip"), "an older file");
    for (const char* status : {"404", "500"}) {
        SCOPED_TRACE(status);
        std::string url = server.Url(std::string(status) + "/new.zip");
        EXPECT_EQ(Download(url, folder.File("new.zip"), 1000), DownloadOutcome::failed);
        EXPECT_EQ(Download(url, folder.File("old.zip"), 1000), DownloadOutcome::failed);
    }
    EXPECT_EQ(GetFileAttributesA(folder.File("new.zip").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(ReadWholeFile(folder.File("old.zip")), "an older file");
}

// Hosts redirect: the file comes from where the redirects lead, the pages of
// the redirects never take its place, and a loop or a redirect to nothing
// is a failed attempt like any other. The log names the URL as written.
TEST_F(FileDownload, RedirectsAreFollowedAndTheirPagesNeverStored)
{
    const std::string content = SomeBytes(50000, 6);
    std::string good = server.Put("maps.zip", content);
    struct Case {
        const char* what;
        std::string urls;
        DownloadOutcome outcome;
        Lines lines;
    } cases[] = {
        {"moved for good", server.Url("moved/maps.zip"), DownloadOutcome::transferred,
         {"Connecting to: " + server.Url("moved/maps.zip"), "Downloading complete ! (50000)"}},
        {"behind two redirects", server.Url("moved/moved/maps.zip"), DownloadOutcome::transferred,
         {"Connecting to: " + server.Url("moved/moved/maps.zip"), "Downloading complete ! (50000)"}},
        {"a loop, then a good URL", server.Url("loop/maps.zip") + " " + good, DownloadOutcome::transferred,
         {"Connecting to: " + server.Url("loop/maps.zip"), "Connecting error: 47 (0)", "Connecting to: " + good,
          "Downloading complete ! (50000)"}},
        {"to a missing file", server.Url("moved/404/maps.zip"), DownloadOutcome::failed,
         {"Connecting to: " + server.Url("moved/404/maps.zip"), "Connecting error: 22 (0)"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetUp();
        std::string path = folder.File("maps.zip");
        DeleteFileA(path.c_str());

        EXPECT_EQ(Download(c.urls, path, 50000), c.outcome);

        Lines lines = DownloadLines();
        EXPECT_EQ(Lines(lines.begin() + 1, lines.end()), c.lines);
        if (c.outcome == DownloadOutcome::transferred)
            EXPECT_TRUE(ReadWholeFile(path) == content);
        else
            EXPECT_EQ(GetFileAttributesA(path.c_str()), INVALID_FILE_ATTRIBUTES);
        TearDown();
    }
}

// The files of a run, and of one run after another, take the connection the
// first one opened, each with a handle of its own; a server that closes
// after each answer is asked anew each time.
TEST_F(FileDownload, FilesShareTheConnectionsKeptOpen)
{
    int before = server.KeptConnections();
    ASSERT_GE(before, 0);
    for (int i = 0; i < 20; ++i) {
        std::string name = "file" + std::to_string(i) + ".cfg";
        std::string content = SomeBytes(24000, 10 + i);
        server.Put(name, content);
        ASSERT_EQ(Download(server.KeepAliveUrl(name), folder.File(name), 24000), DownloadOutcome::transferred);
        ASSERT_TRUE(ReadWholeFile(folder.File(name)) == content) << name;
        ASSERT_EQ(Download(server.Url(name), folder.File("again-" + name), 24000), DownloadOutcome::transferred);
    }
    // The count's own asking may take the connection, or open it.
    EXPECT_LE(server.KeptConnections() - before, 1);
}

// A file to be replaced stays as it was until a new one has come whole, and
// no part of a failed one is left beside it.
TEST_F(FileDownload, AnOldFileIsReplacedOnlyByAWholeOne)
{
    const std::string content = SomeBytes(200000, 5);
    std::string good = server.Put("pak.pk3", content);
    std::string path = folder.File("pak.pk3");
    std::string arriving = path + kArrivingSuffix;
    auto exists = [](const std::string& name) { return GetFileAttributesA(name.c_str()) != INVALID_FILE_ATTRIBUTES; };
    WriteWholeFile(path, "the player's older pak");

    // Broken off at 40 % at every try, then nothing at all.
    EXPECT_EQ(Download(server.Url("norange:80000/pak.pk3") + " " + RefusedUrl(), path, 200000),
              DownloadOutcome::failed);
    EXPECT_EQ(ReadWholeFile(path), "the player's older pak");
    EXPECT_FALSE(exists(arriving));

    // A read-only file is never replaced, not even by a whole one.
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY);
    theLog.Close();
    theLog.Open();
    EXPECT_EQ(Download(good, path, 200000), DownloadOutcome::failed);
    EXPECT_EQ(DownloadLines().back(), "Downloading complete ! (200000)");
    EXPECT_EQ(LogLines().back(), "Can't replace file " + path);
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(ReadWholeFile(path), "the player's older pak");
    EXPECT_FALSE(exists(arriving));

    theLog.Open();
    EXPECT_EQ(Download(good, path, 200000), DownloadOutcome::transferred);
    EXPECT_TRUE(ReadWholeFile(path) == content);
    EXPECT_FALSE(exists(arriving));
}

// Present means there with the declared size; anything else is fetched anew
// from its first byte.
TEST_F(FileDownload, OnlyAFileOfTheDeclaredSizeIsPresent)
{
    struct Case {
        const char* name;
        bool onDisk;
        std::string diskContent;
        uint32_t declared;
        std::string served;
        DownloadOutcome outcome;
    } cases[] = {
        {"same size", true, "0123456789", 10, "abcdefghij", DownloadOutcome::present},
        {"longer on disk", true, std::string(5000, 'x'), 10, "abcdefghij", DownloadOutcome::transferred},
        {"shorter on disk", true, "01234", 10, "abcdefghij", DownloadOutcome::transferred},
        {"missing, declared 0", false, "", 0, "abc", DownloadOutcome::transferred},
        {"missing, declared 0, served empty", false, "", 0, "", DownloadOutcome::transferred},
        {"empty on disk, declared 0", true, "", 0, "abc", DownloadOutcome::present},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        window.statusHistory.clear();
        std::string path = folder.File("file.cfg");
        DeleteFileA(path.c_str());
        if (c.onDisk)
            WriteWholeFile(path, c.diskContent);
        std::string url = server.Put("file.cfg", c.served);

        EXPECT_EQ(Download(url, path, c.declared), c.outcome);

        bool present = c.outcome == DownloadOutcome::present;
        EXPECT_EQ(ReadWholeFile(path), present ? c.diskContent : c.served);
        EXPECT_EQ(GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES, true);
        Lines lines = DownloadLines();
        ASSERT_FALSE(lines.empty());
        EXPECT_EQ(lines[0], "Is file ? (" + std::to_string(c.diskContent.size()) + ")");
        if (present) {
            // No connection at all, and nothing reported as received.
            EXPECT_EQ(lines, (Lines{lines[0], "File already downloaded."}));
            EXPECT_EQ(run->progress.itemBytes, 0u);
            EXPECT_TRUE(window.statusHistory.empty());
        }
        TearDown();
    }
}

TEST_F(FileDownload, AFileThatCannotBeCreatedFailsEveryAttempt)
{
    std::string url = server.Put("tool.zip", "data");
    EXPECT_EQ(Download(url + " " + url, folder.File("missing\\tool.zip"), 4), DownloadOutcome::failed);
    EXPECT_EQ(DownloadLines(), (Lines{"Is file ? (0)", "Connecting to: " + url, "Connecting error: 23 (0)",
                                      "Connecting to: " + url, "Connecting error: 23 (0)"}));
}

// Closing the window while a server is silent ends the attempt within about
// a second, and no further URL is tried.
TEST_F(FileDownload, TheStopRequestEndsAStalledTransfer)
{
    std::string stalled = server.Url("stall:1000/big.zip");
    std::string good = server.Put("big.zip", SomeBytes(5000, 3));
    std::thread closer([this] {
        Sleep(500);
        stop = true;
    });
    DWORD start = GetTickCount();

    EXPECT_EQ(Download(stalled + " " + good, folder.File("big.zip"), 5000), DownloadOutcome::failed);
    closer.join();

    EXPECT_LT(GetTickCount() - start, 3000u);
    EXPECT_EQ(DownloadLines(), (Lines{"Is file ? (0)", "Connecting to: " + stalled, "Connecting error: 42 (1000)"}));
}

}  // namespace
