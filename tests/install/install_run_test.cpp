// The install run against the test server, real archives and real folders,
// with the window kept in memory.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <thread>
#include <windows.h>

#include "catalogue/catalogue.h"
#include "core/file_system.h"
#include "core/log.h"
#include "install/checked_items.h"
#include "install/install_run.h"
#include "settings/settings.h"
#include "support/log_lines.h"
#include "support/memory_window_operations.h"
#include "support/test_folder.h"
#include "support/test_server.h"
#include "support/zip_support.h"
#include "transfer/easy_handle.h"
#include "ui/item_tree.h"

namespace {

using Lines = std::vector<std::string>;

// The window of a run. It notes the lower bar when the first entry of an
// archive is unpacked, and closes (the stop request) at a chosen entry.
class CRunWindow : public CMemoryWindowOperations {
public:
    void SetStatus(const std::string& text) override
    {
        CMemoryWindowOperations::SetStatus(text);
        if (text.rfind("Unzipping ", 0) != 0)
            return;
        if (++entriesStarted == 1)
            overallAtFirstEntry = overallProgress;
        if (entriesStarted == closeAtEntry)
            *stop = true;
    }
    StopRequest* stop = nullptr;
    int entriesStarted = 0;
    unsigned overallAtFirstEntry = 0;
    int closeAtEntry = 0;
};

std::string Archive(const std::string& name)
{
    return ReadWholeFile(Fixture(name));
}

// One file record of an item section.
std::string Record(const std::string& folder, size_t size, const std::string& urls)
{
    return "-" + folder + "\n" + std::to_string(size) + "\n" + urls + "\n";
}

std::string Section(const std::string& name, const std::string& records)
{
    return "[" + name + "]\n{About " + name + ".}\n" + records;
}

// What each entry of many.zip holds.
std::string ManyEntry(int i)
{
    std::string line = "file " + std::to_string(i) + "\n";
    std::string content;
    for (int n = 0; n <= i; ++n)
        content += line;
    return content;
}

std::string ManyEntryPath(int i)
{
    return "part" + std::to_string(i % 7) + "\\file" + std::to_string(i) + ".dat";
}

bool Contains(const Lines& lines, const std::string& line)
{
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

// Runs as the window thread makes them, over a catalogue, settings and a
// window of the test's own.
class InstallRun : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(server.Available()) << "run through tests/servers/with_http_server.sh";
        StartTransferLibrary();
        window.stop = &stop;
        installPath = folder.File("q3");
        StartOver();
    }
    void TearDown() override
    {
        EndTransferLibrary();
        theLog.Close();
    }

    // A fresh log and status history, as for a run in a new program start.
    void StartOver()
    {
        theLog.Close();
        theLog.Open();
        window.statusHistory.clear();
        window.entriesStarted = 0;
    }

    // Sections, then the items block, where "+" checks an item.
    void LoadCatalogue(const std::string& sections, const std::string& items)
    {
        catalogueText = sections + "<items>\n" + items;
        catalogue.sourceText = &catalogueText;
        ASSERT_TRUE(ParseItems(catalogue, window));
        for (HTREEITEM node : catalogue.preChecked)
            window.SetCheckState(node, checkChecked);
        catalogue.preChecked.clear();
        StartOver();  // the parser's own lines are no part of a run
    }

    // The run enters the program's folder; the test goes back to its own.
    void Run()
    {
        CInstallRun run(window, catalogue, settings, catalogueMessage, nullptr, stop);
        run.pak0Path = pak0Path;
        run.installPath = installPath;
        RunInstall(run);
        SetCurrentDirectoryA(folder.Path().c_str());
    }

    std::string Installed(const std::string& name) { return folder.File("q3\\" + name); }
    std::string FinalStatus() { return window.statusHistory.empty() ? "" : window.statusHistory.back(); }

    CTestFolder folder;
    CRunWindow window;
    CTestServer server;
    CCatalogue catalogue;
    std::string catalogueText;
    CSettings settings;
    std::string catalogueMessage;
    StopRequest stop{false};
    std::string pak0Path;     // as the edit boxes hold them when a run starts
    std::string installPath;
};

TEST_F(InstallRun, InstallsTheCheckedItemsAndShowsTheMessageOnce)
{
    const std::string mod = Archive("mod.zip");
    const std::string config = "seta sensitivity 3\n";
    std::string modUrl = server.Put("mod.zip", mod);
    std::string configUrl = server.Put("autoexec.cfg", config);
    WriteWholeFile(folder.File("pak0.pk3"), "the game's pak0");
    pak0Path = folder.File("pak0.pk3");
    catalogueMessage = "Welcome.\n";
    settings.showMessage = true;
    LoadCatalogue(Section("Mod", Record("mod", mod.size(), modUrl) + Record("", config.size(), configUrl)) +
                      Section("Maps", Record("maps", 100, server.Url("maps.zip"))),
                  "#Mods;\n[Mod]+\n!\n[Maps]\n");

    Run();

    EXPECT_EQ(ReadWholeFile(Installed("baseq3\\pak0.pk3")), "the game's pak0");
    EXPECT_EQ(ReadWholeFile(Installed("mod\\readme.txt")), "Read me.\n");
    EXPECT_EQ(ReadWholeFile(Installed("mod\\maps\\q3dm1.bsp")).size(), 10240u);
    EXPECT_TRUE(Exists(Installed("mod\\demos")));
    EXPECT_TRUE(Exists(Installed("mod\\empty.cfg")));
    EXPECT_FALSE(Exists(Installed("mod\\mod.zip")));
    EXPECT_FALSE(Exists(Installed("mod\\mod.zip.unpacking")));
    EXPECT_EQ(ReadWholeFile(Installed("autoexec.cfg")), config);
    EXPECT_FALSE(Exists(Installed("maps")));

    EXPECT_EQ(FinalStatus(), "Installation finished (100%)");
    EXPECT_EQ(window.overallProgress, 100u);
    EXPECT_EQ(window.itemProgress, 100u);
    EXPECT_FALSE(window.controlsEnabled) << "unlocking is the owner's, once the run has ended";
    EXPECT_EQ(window.infoTitle, "Mod");
    EXPECT_EQ(window.infoBody, "About Mod.");
    std::string modSize = std::to_string(mod.size());
    std::string configSize = std::to_string(config.size());
    EXPECT_EQ(LogLinesStartingWith({"-= ", "pak0", "Can't", "Install path", "Total bytes", "Item ", "Is file",
                                    "File already", "Connecting", "Downloading", "Delete", "Failed", "At least",
                                    "End"}),
              (Lines{"-= Installation =-", "Install path: " + folder.File("q3"),
                     "Total bytes: " + std::to_string(mod.size() + config.size()), "Item name: Mod",
                     "Item size: " + modSize, "Is file ? (0)", "Connecting to: " + modUrl,
                     "Downloading complete ! (" + modSize + ")", "Delete file", "Item name: Mod",
                     "Item size: " + configSize, "Is file ? (0)", "Connecting to: " + configUrl,
                     "Downloading complete ! (" + configSize + ")", "End"}));
    ASSERT_EQ(window.shownMessages.size(), 1u);
    EXPECT_EQ(window.shownMessages[0].text, "Welcome.\n");
    EXPECT_EQ(window.shownMessages[0].caption, "Punk Buster info");
    EXPECT_EQ(window.shownMessages[0].type, static_cast<UINT>(MB_OK | MB_ICONINFORMATION));
    EXPECT_FALSE(settings.showMessage);

    // The same choices again: no message, pak0.pk3 never overwritten, the
    // archive (removed after unpacking) fetched again, the loose file present.
    WriteWholeFile(folder.File("pak0.pk3"), "another pak0");
    StartOver();
    Run();

    EXPECT_EQ(window.shownMessages.size(), 1u);
    EXPECT_EQ(ReadWholeFile(Installed("baseq3\\pak0.pk3")), "the game's pak0");
    Lines lines = LogLines();
    EXPECT_TRUE(Contains(lines, "Can't copy pak0.pk3"));
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "File already downloaded."), 1);
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "Delete file"), 1);
    EXPECT_EQ(FinalStatus(), "Installation finished (100%)");
}

TEST_F(InstallRun, AnArchiveCountsFourFifthsWhileReceivedAndTheRestWhileUnpacked)
{
    const std::string many = Archive("many.zip");
    LoadCatalogue(Section("Many", Record("many", many.size(), server.Put("many.zip", many))), "[Many]+\n");

    Run();

    // Each block and each step is cut to whole bytes.
    EXPECT_NEAR(window.overallAtFirstEntry, 80, 1);
    EXPECT_EQ(window.entriesStarted, 300);
    EXPECT_EQ(window.overallProgress, 100u);
    int gained = 0;
    for (const std::string& line : LogLines())
        std::sscanf(line.c_str(), "Unzipped, (TotalBytesGained: %i )", &gained);
    EXPECT_NEAR(gained, static_cast<int>(many.size()), 100);
    for (int i = 0; i < 300; ++i)
        ASSERT_TRUE(ReadWholeFile(Installed("many\\" + ManyEntryPath(i))) == ManyEntry(i)) << ManyEntryPath(i);
    EXPECT_FALSE(Exists(Installed("many\\many.zip")));
}

// A file already there counts in full, as if it had just come.
TEST_F(InstallRun, AFileAlreadyThereCountsInTheBars)
{
    const std::string present(3000, 'p');
    const std::string fetched(1000, 'f');
    MakeFolder(installPath);
    MakeFolder(Installed("baseq3"));
    WriteWholeFile(Installed("baseq3\\present.pk3"), present);
    LoadCatalogue(Section("Pair", Record("baseq3", present.size(), server.Put("present.pk3", "other")) +
                                      Record("baseq3", fetched.size(), server.Put("fetched.cfg", fetched))),
                  "[Pair]+\n");

    Run();

    Lines lines = LogLines();
    EXPECT_TRUE(Contains(lines, "File already downloaded."));
    EXPECT_TRUE(Contains(lines, "Status: 100 (TotalBytesGained: 4000)"));
    EXPECT_EQ(ReadWholeFile(Installed("baseq3\\present.pk3")), present);
    EXPECT_EQ(ReadWholeFile(Installed("baseq3\\fetched.cfg")), fetched);
}

// Whatever was not obtained, the run goes on with the next file, and the
// final status shows the lower bar's position, never 100.
TEST_F(InstallRun, AFileNotObtainedEndsTheRunBelowAHundred)
{
    const std::string notAnArchive = Archive("notazip.zip");
    const std::string broken = Archive("broken.zip");
    const std::string good(1000, 'g');
    struct Case {
        const char* name;
        std::string record;
        const char* missing;
        const char* logLine;
    } cases[] = {
        {"error answer", Record("", 500, server.Url("404/gone.zip")), "gone.zip", "Connecting error: 22 (0)"},
        {"no archive", Record("", notAnArchive.size(), server.Put("notazip.zip", notAnArchive)), "notazip.zip",
         "Delete file"},
        {"damaged entry", Record("broken", broken.size(), server.Put("broken.zip", broken)), "broken\\broken.zip",
         "Unzipping error: 0x5000000 (entry 1: second.txt)"},
        {"parent folder missing", Record("missing\\deeper", 4, server.Put("deep.cfg", "deep")),
         "missing\\deeper\\deep.cfg", "Connecting error: 23 (0)"},
        {"declared empty, never served", Record("", 0, server.Url("404/none.cfg")), "none.cfg",
         "Connecting error: 22 (0)"},
        // Paths of the catalogue's that lead out of the installation folder:
        // refused before anything is asked of the server.
        {"record folder leading out", Record("..\\..\\up", 3, server.Put("up.cfg", "abc")), "..\\..\\up\\up.cfg",
         "Refused path: ..\\..\\up\\up.cfg (it holds a \"..\" part)"},
        {"file name leading out", Record("baseq3", 3, server.Url("x\\..\\..\\slash.cfg")), "slash.cfg",
         "Refused path: baseq3\\x\\..\\..\\slash.cfg (it holds a \"..\" part)"},
        {"file name with a stream", Record("", 3, server.Url("autoexec.cfg:hidden")), "autoexec.cfg",
         "Refused path: autoexec.cfg:hidden (it holds a \":\")"},
    };
    int round = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string install = folder.File("q3-" + std::to_string(++round));
        installPath = install;
        StartOver();
        LoadCatalogue(Section("Item", c.record + Record("", good.size(), server.Put("good.cfg", good))), "[Item]+\n");

        Run();

        EXPECT_FALSE(Exists(install + "\\" + c.missing));
        EXPECT_EQ(ReadWholeFile(install + "\\good.cfg"), good);
        unsigned shown = std::min(window.overallProgress, 99u);
        EXPECT_EQ(FinalStatus(), "Installation finished (" + std::to_string(shown) + "%)");
        Lines lines = LogLines();
        EXPECT_TRUE(Contains(lines, c.logLine));
        ASSERT_GE(lines.size(), 2u);
        EXPECT_EQ(Lines(lines.end() - 2, lines.end()), (Lines{"At least one item not downloaded.", "End"}));
    }
    // The sound entries of the damaged archives are there.
    EXPECT_EQ(ReadWholeFile(folder.File("q3-3\\broken\\first.txt")).size(), 600u);
    EXPECT_EQ(ReadWholeFile(folder.File("q3-3\\broken\\third.txt")).size(), 600u);
}

// The taskbar button follows the lower bar while a run lasts, keeps a failed
// run marked, and the next run starts it afresh.
TEST_F(InstallRun, TheTaskbarFollowsTheRunAndMarksOneThatFailed)
{
    const std::string good(3000, 'g');
    const std::string records = Record("", good.size(), server.Put("good.cfg", good));
    const struct {
        std::string extra;
        TaskbarProgress last;
    } runs[] = {
        {Record("", 500, server.Url("404/gone.cfg")), TaskbarProgress::error},
        {"", TaskbarProgress::none},
    };
    for (const auto& r : runs) {
        window.taskbarCalls.clear();
        LoadCatalogue(Section("Item", records + r.extra), "[Item]+\n");
        Run();
        const auto& calls = window.taskbarCalls;
        ASSERT_GE(calls.size(), 3u);
        EXPECT_EQ(calls.front().state, TaskbarProgress::normal);
        EXPECT_EQ(calls.front().percent, 0u);
        for (size_t i = 1; i + 1 < calls.size(); ++i) {
            EXPECT_EQ(calls[i].state, TaskbarProgress::normal);
            EXPECT_GE(calls[i].percent, calls[i - 1].percent);
        }
        EXPECT_EQ(calls.back().state, r.last);
        EXPECT_EQ(calls.back().percent, r.last == TaskbarProgress::error ? std::min(window.overallProgress, 99u) : 0u);
    }
}

// Archives as other tools write them: an entry named "../escaped.txt" lands
// inside the archive's folder, folder entries without a folder attribute are
// folders; the run ends at 100 %.
TEST_F(InstallRun, ArchivesFromOtherToolsUnpackWhole)
{
    const std::string escape = Archive("escape.zip");
    const std::string unmarked = Archive("unmarked.zip");
    LoadCatalogue(Section("Tools", Record("in", escape.size(), server.Put("escape.zip", escape)) +
                                       Record("java", unmarked.size(), server.Put("unmarked.zip", unmarked))),
                  "[Tools]+\n");

    Run();

    EXPECT_EQ(FinalStatus(), "Installation finished (100%)");
    EXPECT_EQ(ReadWholeFile(Installed("in\\kept.txt")), "kept\n");
    EXPECT_EQ(ReadWholeFile(Installed("in\\escaped.txt")), "out\n");
    EXPECT_FALSE(Exists(Installed("escaped.txt")));
    EXPECT_EQ(ReadWholeFile(Installed("java\\docs\\notes\\a.txt")), "a\n");
    EXPECT_FALSE(Exists(Installed("in\\escape.zip")));
    EXPECT_FALSE(Exists(Installed("java\\unmarked.zip")));
    EXPECT_FALSE(Contains(LogLines(), "At least one item not downloaded."));
}

TEST_F(InstallRun, WithoutItemsOrPak0TheUserIsAskedToChoose)
{
    LoadCatalogue(Section("Maps", Record("maps", 10, server.Url("maps.zip"))), "[Maps]\n");

    Run();

    ASSERT_EQ(window.shownMessages.size(), 1u);
    EXPECT_EQ(window.shownMessages[0].text, "You haven't selected anything to instal !");
    EXPECT_EQ(window.shownMessages[0].caption, "Quake 3 Tavrin 2");
    EXPECT_EQ(window.shownMessages[0].type, static_cast<UINT>(MB_OK | MB_ICONWARNING));
    EXPECT_EQ(FinalStatus(), "Choose items to install");
    EXPECT_FALSE(window.controlsEnabled) << "unlocking is the owner's, once the run has ended";
    EXPECT_EQ(window.overallProgress, 0u);
    Lines lines = LogLines();
    EXPECT_TRUE(Contains(lines, "pak0.pk3 file not selected"));
    EXPECT_FALSE(Contains(lines, "End"));

    // With a pak0.pk3 and still no item, copying it is the whole run.
    WriteWholeFile(folder.File("pak0.pk3"), "pak0");
    pak0Path = folder.File("pak0.pk3");
    StartOver();
    Run();

    EXPECT_EQ(window.shownMessages.size(), 1u);
    EXPECT_EQ(ReadWholeFile(Installed("baseq3\\pak0.pk3")), "pak0");
    EXPECT_EQ(FinalStatus(), "Installation finished (100%)");
    EXPECT_EQ(window.overallProgress, 100u);
    EXPECT_TRUE(Contains(LogLines(), "End"));
}

// A group's own check plays no part; an item's name is read as the tree
// gives it, cut to 49 bytes, so a longer one finds no section.
TEST_F(InstallRun, OnlyCheckedItemsAreTaken)
{
    const std::string longName(60, 'L');
    LoadCatalogue(Section("A", Record("", 10, "http://127.0.0.1:9/a.zip")) +
                      Section("B", Record("", 20, "http://127.0.0.1:9/b.zip")) +
                      Section("C", Record("", 40, "http://127.0.0.1:9/c.zip") + Record("", 2, "http://127.0.0.1:9/d")) +
                      Section(longName, Record("", 80, "http://127.0.0.1:9/l.zip")),
                  "#Checked group;\n[A]\n[B]\n!\n#Open group;\n[C]+\n!\n[" + longName + "]+\n");
    window.SetCheckState(window.topNodes[0], checkChecked);
    // Below an item nothing counts, checked or not.
    HTREEITEM c = window.At(window.topNodes[1]).children[0];
    window.SetCheckState(window.InsertNode(c, "A"), checkChecked);

    InstallChoice choice = CollectCheckedItems(window, catalogue);

    EXPECT_EQ(choice.names, (Lines{"C"}));
    EXPECT_EQ(choice.totalBytes, 42u);
}

// Removes files that a run puts into the program's own folder.
class CProgramFolderFiles {
public:
    CProgramFolderFiles() { Remove(); }
    ~CProgramFolderFiles() { Remove(); }

private:
    void Remove()
    {
        for (const char* name : {"pak0.pk3", "box-test.cfg", "box\\inside.txt", "box.zip", "box.zip.unpacking"})
            DeleteFileA(BesideThisProgram(name).c_str());
        RemoveDirectoryA(BesideThisProgram("box").c_str());
    }
};

TEST_F(InstallRun, AnEmptyFolderBoxInstallsIntoTheProgramFolder)
{
    CProgramFolderFiles cleanup;
    WriteWholeFile(folder.File("pak0.pk3"), "pak0");
    pak0Path = folder.File("pak0.pk3");
    installPath = "";
    const std::string box = Archive("box.zip");
    LoadCatalogue(Section("Box", Record("", 5, server.Put("box-test.cfg", "box\r\n")) +
                                     Record("", box.size(), server.Put("box.zip", box))),
                  "[Box]+\n");

    Run();

    EXPECT_EQ(ReadWholeFile(BesideThisProgram("pak0.pk3")), "pak0");
    EXPECT_EQ(ReadWholeFile(BesideThisProgram("box-test.cfg")), "box\r\n");
    EXPECT_EQ(ReadWholeFile(BesideThisProgram("box\\inside.txt")), "inside\n");
    EXPECT_FALSE(Exists(BesideThisProgram("box.zip")));
    EXPECT_EQ(FinalStatus(), "Installation finished (100%)");
}

TEST_F(InstallRun, FilesDeclaredEmptyAreFetchedAndDivideByNothing)
{
    const std::string hollow = Archive("hollow.zip");
    LoadCatalogue(Section("Empty", Record("", 0, server.Put("hollow.zip", hollow)) +
                                       Record("", 0, server.Put("nothing.cfg", ""))),
                  "[Empty]+\n");

    Run();

    EXPECT_TRUE(Exists(Installed("nothing.cfg")));
    EXPECT_TRUE(Exists(Installed("hollow\\b.txt")));
    EXPECT_FALSE(Exists(Installed("hollow.zip")));
    Lines lines = LogLines();
    EXPECT_TRUE(Contains(lines, "Connecting to: " + server.Url("hollow.zip")));
    EXPECT_TRUE(Contains(lines, "Delete file"));
    EXPECT_EQ(FinalStatus(), "Installation finished (100%)");
}

// Closing the window half way through an archive: the run ends at the next
// entry, the archive is not left behind to pass for a complete one, and the
// next run with the same choices installs everything.
TEST_F(InstallRun, ClosingDuringAnUnpackingLeavesNoArchiveBehind)
{
    const std::string many = Archive("many.zip");
    LoadCatalogue(Section("Many", Record("many", many.size(), server.Put("many.zip", many))) +
                      Section("Config", Record("", 6, server.Put("late.cfg", "later\n"))),
                  "[Many]+\n[Config]+\n");
    window.closeAtEntry = 50;

    Run();

    EXPECT_EQ(window.entriesStarted, 50);
    EXPECT_FALSE(Exists(Installed("many\\many.zip")));
    EXPECT_FALSE(Exists(Installed("many\\many.zip.unpacking")));
    EXPECT_FALSE(Exists(Installed("late.cfg")));
    Lines lines = LogLines();
    EXPECT_EQ(lines.back(), "Installation stopped.");
    EXPECT_FALSE(Contains(lines, "End"));

    stop = false;
    window.closeAtEntry = 0;
    StartOver();
    Run();

    EXPECT_EQ(FinalStatus(), "Installation finished (100%)");
    for (int i = 0; i < 300; ++i)
        ASSERT_TRUE(ReadWholeFile(Installed("many\\" + ManyEntryPath(i))) == ManyEntry(i)) << ManyEntryPath(i);
    EXPECT_EQ(ReadWholeFile(Installed("late.cfg")), "later\n");
}

// The window closes while pak0.pk3 is copied: no part of it stays, where a
// later run would take it for the game's own and never copy it again.
TEST_F(InstallRun, ClosingDuringThePak0CopyLeavesNoPartOfIt)
{
    WriteWholeFile(folder.File("pak0.pk3"), SomeBytes(8 << 20, 4));
    pak0Path = folder.File("pak0.pk3");
    LoadCatalogue(Section("Config", Record("", 3, server.Put("a.cfg", "abc"))), "[Config]+\n");
    stop = true;

    Run();

    EXPECT_FALSE(Exists(Installed("baseq3\\pak0.pk3")));
    EXPECT_FALSE(Exists(Installed("a.cfg")));
    EXPECT_EQ(LogLines().back(), "Installation stopped.");
}

TEST_F(InstallRun, ClosingDuringATransferEndsTheRunAtOnce)
{
    const std::string mod = Archive("mod.zip");
    std::string urls = server.Url("stall:300/mod.zip") + " " + server.Put("mod.zip", mod);
    LoadCatalogue(Section("Mod", Record("mod", mod.size(), urls)), "[Mod]+\n");
    std::thread closer([this] {
        Sleep(500);
        stop = true;
    });
    DWORD start = GetTickCount();

    Run();
    closer.join();

    EXPECT_LT(GetTickCount() - start, 3000u);
    Lines lines = LogLines();
    EXPECT_TRUE(Contains(lines, "Connecting error: 42 (300)"));
    EXPECT_EQ(lines.back(), "Installation stopped.");

    // The same choices again: the silent server fails its attempt, the other delivers.
    stop = false;
    StartOver();
    Run();

    EXPECT_EQ(FinalStatus(), "Installation finished (100%)");
    EXPECT_EQ(ReadWholeFile(Installed("mod\\readme.txt")), "Read me.\n");
    EXPECT_FALSE(Exists(Installed("mod\\mod.zip")));
}

}  // namespace
