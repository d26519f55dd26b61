#include <gtest/gtest.h>

#include <atomic>
#include <vector>

#include "support/file_tree.h"
#include "support/test_folder.h"
#include "support/zip_support.h"

namespace {

// Extracts every entry below the folder, as the install run does.
void ExtractAll(CArchive& archive, const std::string& folder)
{
    int32_t count = archive.Entry(-1).index;
    for (int32_t i = 0; i < count; ++i) {
        std::string target = folder + "/" + archive.Entry(i).name;
        EXPECT_EQ(zipOk, ZipExtractToFile(archive.Handle(), i, target.c_str())) << target;
    }
}

}  // namespace

TEST(ZipExtract, EveryKindOfEntryArrivesWholeWithItsTimes)
{
    CTestFolder folder;
    CArchive archive("basic.zip");
    ExtractAll(archive, folder.Path());
    const uint64_t stamp = UtcTicks(2000, 6, 15, 3, 0, 0);  // 12:00 in Tokyo
    const struct {
        const char* path;
        const char* original;
    } files[] = {
        {"stored.txt", "stored.txt"},
        {"deflated.bin", "deflated.bin"},
        {"random.bin", "random.bin"},
        {"empty.txt", nullptr},
        {"nested\\deeper\\file.txt", "file.txt"},
    };
    for (const auto& f : files) {
        std::string path = folder.File(f.path);
        FileFacts facts = FactsOf(path);
        EXPECT_EQ(stamp, facts.modificationTime) << f.path;
        EXPECT_EQ(stamp, facts.accessTime) << f.path;
        EXPECT_EQ(FILE_ATTRIBUTE_ARCHIVE, facts.attributes) << f.path;
        EXPECT_EQ(f.original ? Original(f.original) : std::string(), ReadWholeFile(path)) << f.path;
    }
    EXPECT_EQ(0u, FactsOf(folder.File("empty.txt")).size);
    EXPECT_TRUE(FactsOf(folder.File("folder")).attributes & FILE_ATTRIBUTE_DIRECTORY);
}

TEST(ZipExtract, AttributesAndTimesReachTheFiles)
{
    CTestFolder folder;
    CArchive archive("hosts.zip");
    for (int32_t index : {0, 1, 2, 3, 4})
        EXPECT_EQ(zipOk, ZipExtractToFile(archive.Handle(), index, (folder.Path() + "/" + archive.Entry(index).name).c_str()));
    EXPECT_TRUE(FactsOf(folder.File("unixdir")).attributes & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_FALSE(FactsOf(folder.File("unix644.txt")).attributes & FILE_ATTRIBUTE_READONLY);
    EXPECT_TRUE(FactsOf(folder.File("unix444.txt")).attributes & FILE_ATTRIBUTE_READONLY);
    EXPECT_TRUE(FactsOf(folder.File("dos21.txt")).attributes & FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(0x26u, FactsOf(folder.File("dos26.txt")).attributes);
    EXPECT_EQ("444", ReadWholeFile(folder.File("unix444.txt")));

    CArchive times("times.zip");
    int32_t index = times.Find("ut7.txt");
    ASSERT_EQ(zipOk, ZipExtractToFile(times.Handle(), index, (folder.Path() + "\\ut7.txt").c_str()));
    FileFacts facts = FactsOf(folder.File("ut7.txt"));
    EXPECT_EQ(UnixTicks(unix2010), facts.modificationTime);
    EXPECT_EQ(UnixTicks(unix2010 + 60), facts.accessTime);
    SetFileAttributesA(folder.File("unix444.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
    SetFileAttributesA(folder.File("dos21.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST(ZipExtract, AFolderEntryMakesTheWholeChainAndNoFile)
{
    CTestFolder folder;
    CArchive archive("hosts.zip");
    std::string target = folder.Path() + "\\Q3/maps/";
    EXPECT_EQ(zipOk, ZipExtractToFile(archive.Handle(), 0, target.c_str()));
    EXPECT_TRUE(FactsOf(folder.File("Q3")).attributes & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_TRUE(FactsOf(folder.File("Q3\\maps")).attributes & FILE_ATTRIBUTE_DIRECTORY);
    // A folder entry given a relative target lands below the current folder.
    EXPECT_EQ(zipOk, ZipExtractToFile(archive.Handle(), 5, "one/two"));
    EXPECT_TRUE(FactsOf(folder.File("one\\two")).attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Java and .NET tools mark no folder attribute: the name says it is one.
TEST(ZipExtract, ANameEndingInASeparatorIsAFolderWhateverItsAttributes)
{
    CTestFolder folder;
    CArchive archive("hosts.zip");
    EXPECT_EQ(zipOk, ZipExtractToFile(archive.Handle(), 6, (folder.Path() + "\\a\\notdir/").c_str()));
    EXPECT_TRUE(FactsOf(folder.File("a\\notdir")).attributes & FILE_ATTRIBUTE_DIRECTORY);
}

TEST(ZipExtract, RelativeTargetsLieBelowTheFolderCurrentAtOpen)
{
    CTestFolder folder;
    CArchive archive("basic.zip");
    CTestFolder elsewhere;  // now the current folder
    EXPECT_EQ(zipOk, ZipExtractToFile(archive.Handle(), 0, "rel/stored.txt"));
    EXPECT_EQ(Original("stored.txt"), ReadWholeFile(folder.File("rel\\stored.txt")));
    EXPECT_FALSE(Exists(elsewhere.File("rel")));
}

TEST(ZipExtract, ExistingTargetsAreReplacedUnlessReadOnly)
{
    CTestFolder folder;
    CArchive archive("basic.zip");
    std::string target = folder.File("stored.txt");
    WriteWholeFile(target, std::string(5000, 'x'));
    EXPECT_EQ(zipOk, ZipExtractToFile(archive.Handle(), 0, target.c_str()));
    EXPECT_EQ(Original("stored.txt"), ReadWholeFile(target));

    WriteWholeFile(target, "keep");
    SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(zipCannotOpenFile, ZipExtractToFile(archive.Handle(), 0, target.c_str()));
    EXPECT_EQ("keep", ReadWholeFile(target));
    SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST(ZipExtract, EncryptedEntriesNeedTheirPassword)
{
    CTestFolder folder;
    const struct {
        const char* password;
        ZipResult result;
    } cases[] = {{nullptr, zipPasswordRequired}, {"wrong", zipPasswordRequired}, {"tavrin", zipOk}};
    for (const auto& c : cases) {
        CArchive archive("encrypted.zip", c.password);
        std::string target = folder.File("secret.txt");
        EXPECT_EQ(c.result, ZipExtractToFile(archive.Handle(), 0, target.c_str())) << c.password;
        EXPECT_EQ(c.result == zipOk, Exists(target)) << c.password;
        if (c.result == zipOk) {
            EXPECT_EQ(Original("secret.txt"), ReadWholeFile(target));
        }
    }
}

// An entry is written beside its target and takes its place only whole and
// with its checksum matched: whatever stops it, the player's file stays as
// it was, a missing one stays missing, and no side file is left.
TEST(ZipExtract, AnEntryThatFailsLeavesTheOldFileAndNoSideFile)
{
    std::atomic<bool> stopped(true);
    const struct {
        const char* fixture;
        const char* name;
        const std::atomic<bool>* stop;
        ZipResult result;
    } cases[] = {
        {"encrypted.zip", "secret.txt", nullptr, zipPasswordRequired},
        {"truncated.zip", "truncated.bin", nullptr, zipInflateFailed},
        {"badcrc.zip", "badcrc.txt", nullptr, zipInflateFailed},
        {"basic.zip", "stored.txt", &stopped, zipStopped},
    };
    for (const auto& c : cases) {
        for (bool oldFile : {false, true}) {
            SCOPED_TRACE(std::string(c.fixture) + (oldFile ? " over an old file" : " with none there"));
            CTestFolder folder;
            CArchive archive(c.fixture);
            std::string target = folder.File(std::string("sub\\") + c.name);
            if (oldFile) {
                CreateDirectoryA(folder.File("sub").c_str(), nullptr);
                WriteWholeFile(target, "the player's own bytes");
            }
            EXPECT_EQ(c.result, ZipExtractToFile(archive.Handle(), archive.Find(c.name), target.c_str(), c.stop));
            std::vector<std::string> left;
            ListTree(folder.Path(), &left);
            if (oldFile) {
                EXPECT_EQ("the player's own bytes", ReadWholeFile(target));
                EXPECT_EQ(std::vector<std::string>({folder.File("sub"), target}), left);
            } else {
                EXPECT_FALSE(Exists(target));
                for (const std::string& path : left)
                    EXPECT_TRUE(FactsOf(path).attributes & FILE_ATTRIBUTE_DIRECTORY) << path;
            }
        }
    }
}

// The side file never takes a name that is there: a file of the player's
// that ends in the side suffix stays, and the entry still arrives.
TEST(ZipExtract, AFileNamedLikeTheSideFileIsNeverTouched)
{
    CTestFolder folder;
    CArchive archive("basic.zip");
    std::string target = folder.File("stored.txt");
    const std::string taken[] = {target + ".unpacking", target + ".1.unpacking"};
    for (const std::string& name : taken)
        WriteWholeFile(name, "mine: " + name);
    EXPECT_EQ(zipOk, ZipExtractToFile(archive.Handle(), 0, target.c_str()));
    EXPECT_EQ(Original("stored.txt"), ReadWholeFile(target));
    for (const std::string& name : taken)
        EXPECT_EQ("mine: " + name, ReadWholeFile(name));
    std::vector<std::string> left;
    ListTree(folder.Path(), &left);
    EXPECT_EQ(3u, left.size());
}

TEST(ZipExtract, AnUnreadableMethodCreatesNothing)
{
    CTestFolder folder;
    CArchive archive("methods.zip");
    EXPECT_EQ(zipCorruptArchive, ZipExtractToFile(archive.Handle(), 0, "bzip2.txt"));
    EXPECT_EQ(zipCorruptArchive, ZipExtractToFile(archive.Handle(), 1, "sub/lzma.txt"));
    EXPECT_FALSE(Exists(folder.File("bzip2.txt")));
    EXPECT_FALSE(Exists(folder.File("sub")));
    EXPECT_EQ(zipOk, ZipExtractToFile(archive.Handle(), 2, "fine.txt"));
    EXPECT_EQ("fine", ReadWholeFile(folder.File("fine.txt")));
}

TEST(ZipExtract, AFailedExtractionLeavesTheArchiveUsable)
{
    CTestFolder folder;
    CArchive archive("mismatch.zip");
    EXPECT_EQ(zipCorruptArchive, ZipExtractToFile(archive.Handle(), 0, "method.txt"));
    EXPECT_FALSE(Exists(folder.File("method.txt")));
    EXPECT_EQ(zipReadFailed, ZipExtractToFile(archive.Handle(), 4, "extra.txt"));
    EXPECT_EQ(zipOk, ZipExtractToFile(archive.Handle(), 3, "good.txt"));
    EXPECT_EQ("good", ReadWholeFile(folder.File("good.txt")));
}

TEST(ZipExtract, EntriesThatShareTheirDataAreWrittenOnce)
{
    CTestFolder folder;
    for (const char* fixture : {"overlap_shared.zip", "overlap_quoted.zip"}) {
        CArchive archive(fixture);
        ZipResult results[3];
        for (int32_t i = 0; i < 3; ++i)
            archive.Entry(i, &results[i]);
        EXPECT_EQ(zipOk, results[0]) << fixture;
        EXPECT_EQ(zipCorruptArchive, results[1]) << fixture;
        EXPECT_EQ(zipCorruptArchive, results[2]) << fixture;
        std::string first = folder.File(std::string(fixture) + ".0");
        EXPECT_EQ(zipOk, ZipExtractToFile(archive.Handle(), 0, first.c_str())) << fixture;
        EXPECT_GE(FactsOf(first).size, 100000u) << fixture;
        for (int32_t i : {1, 2}) {
            std::string other = folder.File(std::string(fixture) + "." + std::to_string(i));
            EXPECT_EQ(zipCorruptArchive, ZipExtractToFile(archive.Handle(), i, other.c_str())) << fixture;
            EXPECT_FALSE(Exists(other)) << fixture;
        }
    }
    // The entry looked up first keeps the data, and keeps it when asked again.
    CArchive archive("overlap_shared.zip");
    ZipResult result;
    archive.Entry(2, &result);
    EXPECT_EQ(zipOk, result);
    archive.Entry(0, &result);
    EXPECT_EQ(zipCorruptArchive, result);
    EXPECT_STREQ("k002", archive.Entry(2, &result).name);
    EXPECT_EQ(zipOk, result);
}
