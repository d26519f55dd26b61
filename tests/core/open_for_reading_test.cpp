#include <gtest/gtest.h>

#include <string>
#include <windows.h>

#include "core/file_system.h"
#include "support/test_folder.h"

namespace {

std::string ReadAll(HANDLE file)
{
    std::string bytes;
    char piece[7];  // several reads for the test's text
    DWORD got = 0;
    while (ReadFile(file, piece, sizeof piece, &got, nullptr) && got > 0)
        bytes.append(piece, got);
    return bytes;
}

const ReadPattern kPatterns[] = {ReadPattern::anyOrder, ReadPattern::straightThrough};

TEST(OpenForReading, GivesTheBytesInEitherPattern)
{
    CTestFolder folder;
    WriteWholeFile(folder.File("pak0.pk3"), "the game's own data");
    for (ReadPattern pattern : kPatterns) {
        CFileHandle file = OpenForReading(folder.File("pak0.pk3"), pattern);
        ASSERT_TRUE(file);
        EXPECT_EQ(ReadAll(file.get()), "the game's own data");
    }
}

TEST(OpenForReading, NullForWhatIsNoFileToRead)
{
    CTestFolder folder;
    CreateDirectoryA(folder.File("baseq3").c_str(), nullptr);
    struct Case {
        const char* what;
        std::string path;
    } cases[] = {
        {"a missing file", folder.File("missing.zip")},
        {"a file in a missing folder", folder.File("nowhere\\a.zip")},
        {"a folder", folder.File("baseq3")},
        {"an empty path", ""},
    };
    for (const Case& c : cases) {
        for (ReadPattern pattern : kPatterns)
            EXPECT_FALSE(OpenForReading(c.path, pattern)) << c.what;
    }
}

// What is read cannot change or go meanwhile: the update is started as
// it was checked.
TEST(OpenForReading, OthersMayReadButNeitherWriteNorDelete)
{
    CTestFolder folder;
    std::string path = folder.File("tmp.exe");
    WriteWholeFile(path, "MZ checked");
    CFileHandle file = OpenForReading(path, ReadPattern::straightThrough);
    ASSERT_TRUE(file);

    EXPECT_TRUE(OpenForReading(path, ReadPattern::anyOrder)) << "a second reader";
    CFileHandle writer = OwnHandle(CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                               nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    EXPECT_FALSE(writer) << "a writer";
    EXPECT_FALSE(DeleteFileA(path.c_str())) << "a delete";

    file.reset();
    EXPECT_TRUE(DeleteFileA(path.c_str())) << "closed with its owner";
}

TEST(OpenForReading, NullWhileAnotherWrites)
{
    CTestFolder folder;
    std::string path = folder.File("maps.zip.download");
    CFileHandle writer = OwnHandle(CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                               nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(writer);
    EXPECT_FALSE(OpenForReading(path, ReadPattern::anyOrder));
    writer.reset();
    EXPECT_TRUE(OpenForReading(path, ReadPattern::anyOrder));
}

}  // namespace
