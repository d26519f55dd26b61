#include <cstring>

#include <gtest/gtest.h>

#include "zip/zip_source.h"
#include "support/zip_support.h"

namespace {

ZipEntryInfo Filled()
{
    ZipEntryInfo info;
    std::memset(&info, 0x5A, sizeof info);
    info.name[sizeof info.name - 1] = '\0';
    return info;
}

void ExpectResetOnly(const ZipEntryInfo& info)
{
    EXPECT_EQ(0, info.index);
    EXPECT_STREQ("", info.name);
    EXPECT_EQ(0, info.uncompressedSize);
    EXPECT_EQ(0x5A5A5A5Au, info.attributes);  // the rest is left as it was
}

}  // namespace

TEST(ZipOpen, FilesThatAreNoArchiveGiveNoHandle)
{
    for (const char* name : {"notzip.zip", "zero.zip", "missing.zip"})
        EXPECT_EQ(nullptr, ZipOpenFile(Fixture(name).c_str(), nullptr)) << name;
    EXPECT_EQ(nullptr, ZipOpenFile(nullptr, nullptr));
}

TEST(ZipOpen, TheArchiveStaysReadableByOthersWhileOpen)
{
    CArchive archive("basic.zip");
    ASSERT_NE(nullptr, archive.Handle());
    HANDLE other = CreateFileA(Fixture("basic.zip").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
    EXPECT_NE(INVALID_HANDLE_VALUE, other);
    CloseHandle(other);

    ZipHandle* second = ZipOpenFile(Fixture("basic.zip").c_str(), nullptr);
    ASSERT_NE(nullptr, second);
    EXPECT_EQ(zipOk, ZipClose(second));
}

TEST(ZipHandles, NullAndForeignHandlesAreRefusedBeforeAnythingElse)
{
    ZipEntryInfo info = Filled();
    EXPECT_EQ(zipBadArgument, ZipGetEntry(nullptr, -1, &info));
    ExpectResetOnly(info);
    EXPECT_EQ(zipBadArgument, ZipExtractToFile(nullptr, 0, "x"));
    EXPECT_EQ(zipBadArgument, ZipClose(nullptr));

    ZipHandle foreign = {2, nullptr};
    info = Filled();
    EXPECT_EQ(zipWrongHandleKind, ZipGetEntry(&foreign, 0, &info));
    ExpectResetOnly(info);
    EXPECT_EQ(zipWrongHandleKind, ZipExtractToFile(&foreign, 0, "x"));
    EXPECT_EQ(zipWrongHandleKind, ZipClose(&foreign));
}

TEST(ZipEntries, IndexMinusOneGivesTheCountAndNothingElse)
{
    CArchive archive("overcount.zip");
    ZipEntryInfo info = Filled();
    // Three real entries, but the end record of this one promises five.
    EXPECT_EQ(zipOk, ZipGetEntry(archive.Handle(), -1, &info));
    EXPECT_EQ(5, info.index);

    CArchive basic("basic.zip");
    info = Filled();
    EXPECT_EQ(zipOk, ZipGetEntry(basic.Handle(), -1, &info));
    EXPECT_EQ(6, info.index);
    EXPECT_STREQ("", info.name);
    EXPECT_EQ(0u, info.attributes);
    EXPECT_EQ(0u, Ticks(info.accessTime) | Ticks(info.creationTime) | Ticks(info.modificationTime));
    EXPECT_EQ(0, info.compressedSize);
    EXPECT_EQ(0, info.uncompressedSize);
}

TEST(ZipEntries, IndexesOutOfRangeAreTheCallersFault)
{
    CArchive archive("basic.zip");
    for (int32_t index : {-2, 6, 1000, INT32_MIN}) {
        ZipEntryInfo info = Filled();
        EXPECT_EQ(zipBadArgument, ZipGetEntry(archive.Handle(), index, &info)) << index;
        ExpectResetOnly(info);
        EXPECT_EQ(zipBadArgument, ZipExtractToFile(archive.Handle(), index, "x")) << index;
    }
    EXPECT_EQ(zipBadArgument, ZipGetEntry(archive.Handle(), 0, nullptr));
}

TEST(ZipEntries, EntriesCanBeReachedInAnyOrder)
{
    CArchive archive("basic.zip");
    const char* names[] = {"stored.txt", "deflated.bin", "random.bin", "empty.txt", "folder/", "nested/deeper/file.txt"};
    for (int32_t index : {2, 1, 5, 0, 4, 3, 3, 0}) {
        ZipEntryInfo info = archive.Entry(index);
        EXPECT_EQ(index, info.index);
        EXPECT_STREQ(names[index], info.name);
    }
    ZipEntryInfo deflated = archive.Entry(1);
    EXPECT_EQ(200000, deflated.uncompressedSize);
    EXPECT_LT(deflated.compressedSize, deflated.uncompressedSize);
    EXPECT_EQ(1000, archive.Entry(0).compressedSize);
}

TEST(ZipEntries, AttributesFollowTheHostSystem)
{
    CArchive archive("hosts.zip");
    const struct {
        int32_t index;
        uint32_t attributes;
    } cases[] = {
        {0, 0x30},  // Unix folder, mode 755
        {1, 0x20},  // Unix 644
        {2, 0x21},  // Unix 444
        {3, 0x21},  // DOS read-only and archive
        {4, 0x26},  // DOS hidden, system and archive
        {5, 0x10},  // DOS folder
        {6, 0x20},  // DOS file whose name ends in a separator
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.attributes, archive.Entry(c.index).attributes) << archive.Entry(c.index).name;
}

TEST(ZipEntries, TimesComeFromTheDosStampAndTheFirstUtRecord)
{
    CArchive archive("times.zip");
    // DOS stamps are Tokyo time here (UTC+9, no summer time).
    const uint64_t dos2010 = UtcTicks(2009, 12, 31, 15, 0, 0);
    const uint64_t dos2000 = UtcTicks(2000, 6, 15, 3, 0, 0);
    const uint64_t ut2010 = UnixTicks(unix2010);
    const struct {
        const char* name;
        uint64_t modification, access, creation;
    } cases[] = {
        {"dos2010.txt", dos2010, dos2010, dos2010},
        {"ut1.txt", ut2010, dos2000, dos2000},
        {"ut7.txt", ut2010, UnixTicks(unix2010 + 60), UnixTicks(unix2010 + 3600)},
        {"ut_twice.txt", ut2010, dos2000, dos2000},
        {"ut_after_other.txt", ut2010, dos2000, dos2000},
        // Records shorter than their flags announce are read as far as they go.
        {"ut_short.txt", ut2010, dos2000, dos2000},
        {"ut_cut.txt", ut2010, dos2000, dos2000},
        // No valid date: no time rather than a made-up one.
        {"bad_stamp.txt", 0, 0, 0},
    };
    for (const auto& c : cases) {
        int32_t index = archive.Find(c.name);
        ASSERT_GE(index, 0) << c.name;
        ZipEntryInfo info = archive.Entry(index);
        EXPECT_EQ(c.modification, Ticks(info.modificationTime)) << c.name;
        EXPECT_EQ(c.access, Ticks(info.accessTime)) << c.name;
        EXPECT_EQ(c.creation, Ticks(info.creationTime)) << c.name;
    }
}

TEST(ZipEntries, DamagedLocalHeadersAreReported)
{
    CArchive archive("mismatch.zip");
    const struct {
        int32_t index;
        ZipResult result;
    } cases[] = {
        {0, zipCorruptArchive},  // method differs
        {1, zipCorruptArchive},  // CRC-32 differs
        {2, zipCorruptArchive},  // name length differs
        {3, zipOk},
        {4, zipReadFailed},  // extra field runs past the end of the file
    };
    for (const auto& c : cases) {
        ZipResult result;
        ZipEntryInfo info = archive.Entry(c.index, &result);
        EXPECT_EQ(c.result, result) << c.index;
        if (c.result != zipOk) {
            EXPECT_STREQ("", info.name);
        }
    }
    EXPECT_STREQ("good.txt", archive.Entry(3).name);
}

TEST(ZipEntries, OtherCompressionMethodsAreRefused)
{
    CArchive archive("methods.zip");
    for (int32_t index : {0, 1}) {  // bzip2, LZMA
        ZipResult result;
        ZipEntryInfo info = archive.Entry(index, &result);
        EXPECT_EQ(zipCorruptArchive, result);
        EXPECT_STREQ("", info.name);
        EXPECT_EQ(0, info.uncompressedSize);
    }
    EXPECT_STREQ("fine.txt", archive.Entry(2).name);
}

TEST(ZipEntries, ADirectoryThatEndsEarlyGivesAnErrorNotALoop)
{
    CArchive archive("overcount.zip");
    ZipResult result;
    archive.Entry(4, &result);
    EXPECT_EQ(zipCorruptArchive, result);
    archive.Entry(3, &result);
    EXPECT_EQ(zipCorruptArchive, result);
    EXPECT_EQ(zipCorruptArchive, ZipExtractToFile(archive.Handle(), 4, "x"));
    // The real entries are still there, before and after the failure.
    EXPECT_STREQ("three.txt", archive.Entry(2).name);
    EXPECT_STREQ("one.txt", archive.Entry(0).name);
}

// A damaged directory makes minizip read byte by byte far past the end of the
// file, tens of thousands of times per entry; none of that may reach the file.
TEST(ZipSource, ReadsPastTheEndAskNothingOfTheFile)
{
    ZipSource* source = OpenZipSource(Fixture("basic.zip").c_str());
    ASSERT_NE(nullptr, source);
    CFileHandle file = std::move(source->file);
    source->file.reset(INVALID_HANDLE_VALUE);  // a read that reaches the file fails now
    char byte;
    EXPECT_FALSE(ReadZipSourceAt(source, source->size, &byte, 1));
    EXPECT_FALSE(ReadZipSourceAt(source, source->size + 70000, &byte, 1));
    EXPECT_FALSE(source->failed);
    source->file.release();
    source->file = std::move(file);
    zlib_filefunc64_def functions;
    FillZipSourceFunctions(&functions);
    functions.zclose_file(nullptr, source);
}
