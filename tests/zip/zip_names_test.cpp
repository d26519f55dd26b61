#include <gtest/gtest.h>

#include "support/test_folder.h"
#include "support/zip_support.h"

TEST(ZipNames, ArchiveNamesAreCleanedInTheRecord)
{
    CArchive archive("names.zip");
    ASSERT_NE(nullptr, archive.Handle());
    EXPECT_STREQ("dir\\drive.txt", archive.Entry(0).name);
    EXPECT_STREQ("abs/lead.txt", archive.Entry(1).name);
    EXPECT_STREQ("up.txt", archive.Entry(2).name);
    EXPECT_STREQ("escape1.txt", archive.Entry(3).name);
    EXPECT_STREQ("escape2.txt", archive.Entry(4).name);
    EXPECT_STREQ("escape3.txt", archive.Entry(5).name);
}

// Names that would lead up are written inside the target, their leading
// ".." parts dropped, and nothing lands beside it.
TEST(ZipNames, NamesLeadingOutOfTheTargetAreWrittenInsideIt)
{
    CTestFolder folder;
    std::string target = folder.Path() + "\\inside";
    CreateDirectoryA(target.c_str(), nullptr);
    CArchive archive("names.zip");
    for (int32_t index : {3, 4, 5}) {
        ZipEntryInfo entry = archive.Entry(index);
        std::string path = target + "/" + entry.name;
        EXPECT_EQ(zipOk, ZipExtractToFile(archive.Handle(), index, path.c_str())) << entry.name;
    }
    for (const char* name : {"escape1.txt", "escape2.txt", "escape3.txt"}) {
        EXPECT_EQ("escape", ReadWholeFile(target + "\\" + name)) << name;
        EXPECT_FALSE(Exists(folder.File(name))) << name;
    }
}

TEST(ZipNames, ANameTooLongForTheRecordIsRefusedNotCut)
{
    CTestFolder folder;
    CArchive archive("names.zip");
    ZipResult result;
    ZipEntryInfo longest = archive.Entry(6, &result);
    EXPECT_EQ(zipOk, result);
    EXPECT_EQ(259u, std::string(longest.name).size());

    ZipEntryInfo tooLong = archive.Entry(7, &result);
    EXPECT_EQ(zipUnsafeName, result);
    EXPECT_STREQ("", tooLong.name);
    EXPECT_EQ(zipUnsafeName, ZipExtractToFile(archive.Handle(), 7, "out.txt"));
    EXPECT_FALSE(Exists(folder.File("out.txt")));
}

TEST(ZipNames, APathLongerThanWindowsAllowsFailsWithoutCreatingAnything)
{
    CTestFolder folder;
    CArchive archive("names.zip");
    std::string name = archive.Entry(6).name;
    std::string sub = folder.Path() + "\\sub";
    EXPECT_EQ(zipCannotOpenFile, ZipExtractToFile(archive.Handle(), 6, (sub + "\\" + name).c_str()));
    EXPECT_EQ(zipCannotOpenFile, ZipExtractToFile(archive.Handle(), 6, ("sub\\" + name).c_str()));
    CArchive folders("hosts.zip");
    EXPECT_EQ(zipCannotOpenFile, ZipExtractToFile(folders.Handle(), 0, ("sub/" + name + "/").c_str()));
    EXPECT_FALSE(Exists(sub));
}
