// Plain rules without Windows: built for Windows and natively alike.
#include <algorithm>
#include <climits>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "zip/zip_stamps.h"

namespace {

const uint64_t ticks1970 = 116444736000000000ULL;
const int32_t unix2010 = 1262304000;  // 2010-01-01 00:00:00 UTC

std::string Little(uint32_t value, int bytes)
{
    std::string out;
    for (int i = 0; i < bytes; ++i)
        out += static_cast<char>((value >> (8 * i)) & 0xFF);
    return out;
}

std::string Record(const char* tag, const std::string& data, int size = -1)
{
    return std::string(tag, 2) + Little(size < 0 ? static_cast<uint32_t>(data.size()) : size, 2) + data;
}

std::string Ut(int flags, std::initializer_list<int32_t> times, int size = -1)
{
    std::string data(1, static_cast<char>(flags));
    for (int32_t t : times)
        data += Little(static_cast<uint32_t>(t), 4);
    return Record("UT", data, size);
}

ExtendedTimestamp Read(const std::string& field)
{
    // A copy of exactly the field's size, so that a read past it is seen.
    std::unique_ptr<unsigned char[]> bytes(new unsigned char[field.size() + 1]);
    std::copy(field.begin(), field.end(), bytes.get());
    return ReadExtendedTimestamp(bytes.get(), field.size());
}

}  // namespace

TEST(ZipStamps, DosStampFieldsAreSplitAsStored)
{
    const struct {
        uint32_t stamp;
        DosDateTime split;  // year, month, day, hour, minute, second
    } cases[] = {
        // 2010-01-01 00:00:00: year field 30, month 1, day 1.
        {(30u << 9 | 1u << 5 | 1u) << 16, {2010, 1, 1, 0, 0, 0}},
        {(20u << 9 | 6u << 5 | 15u) << 16 | 13u << 11 | 45u << 5 | 29u, {2000, 6, 15, 13, 45, 58}},
        // Out of range values are passed on for Windows to refuse.
        {0xFFFFFFFFu, {2107, 15, 31, 31, 63, 62}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stamp);
        DosDateTime split = SplitDosStamp(c.stamp);
        EXPECT_EQ(c.split.year, split.year);
        EXPECT_EQ(c.split.month, split.month);
        EXPECT_EQ(c.split.day, split.day);
        EXPECT_EQ(c.split.hour, split.hour);
        EXPECT_EQ(c.split.minute, split.minute);
        EXPECT_EQ(c.split.second, split.second);
    }
}

TEST(ZipStamps, UnixSecondsCountFrom1970InFileTimeTicks)
{
    EXPECT_EQ(ticks1970, UnixSecondsToTicks(0));
    EXPECT_EQ(ticks1970 + 12623040000000000ULL, UnixSecondsToTicks(unix2010));
    EXPECT_EQ(ticks1970 - 10000000ULL, UnixSecondsToTicks(-1));
    EXPECT_EQ(ticks1970 - 21474836480000000ULL, UnixSecondsToTicks(INT32_MIN));
    EXPECT_EQ(ticks1970 + 21474836470000000ULL, UnixSecondsToTicks(INT32_MAX));
}

TEST(ZipStamps, TheFirstUtRecordGivesTheTimesItsFlagsAnnounce)
{
    const uint64_t t0 = UnixSecondsToTicks(unix2010), t1 = UnixSecondsToTicks(unix2010 + 60),
                   t2 = UnixSecondsToTicks(unix2010 + 3600);
    const std::string other300 = Record("\x34\x12", std::string(300, '\0'));
    const struct {
        const char* what;
        std::string field;
        bool modification, access, creation;
        uint64_t m, a, c;
    } cases[] = {
        {"modification only", Ut(1, {unix2010}), true, false, false, t0, 0, 0},
        {"all three in order", Ut(7, {unix2010, unix2010 + 60, unix2010 + 3600}), true, true, true, t0, t1, t2},
        {"access only", Ut(2, {unix2010 + 60}), false, true, false, 0, t1, 0},
        {"high flag bits ignored", Ut(0xF9, {unix2010}), true, false, false, t0, 0, 0},
        {"second record ignored", Ut(1, {unix2010}) + Ut(7, {1, 2, 3}), true, false, false, t0, 0, 0},
        {"other record stepped over whole", other300 + Ut(1, {unix2010}), true, false, false, t0, 0, 0},
        {"shorter than its flags", Ut(7, {unix2010}, 5), true, false, false, t0, 0, 0},
        {"cut by the end of the field", Ut(3, {unix2010}) + std::string("UT\x09\x00\x07", 5), true, false, false, t0,
         0, 0},
        {"data size beyond the field", Ut(3, {unix2010, unix2010 + 60}, 200), true, true, false, t0, t1, 0},
        {"no flags", Ut(0, {}), false, false, false, 0, 0, 0},
        {"no data", Ut(0, {}, 0), false, false, false, 0, 0, 0},
        {"record header only", std::string("UT\x05\x00", 4), false, false, false, 0, 0, 0},
        {"other record past the end", Record("ab", "", 60000) + Ut(1, {unix2010}), false, false, false, 0, 0, 0},
        {"empty", std::string(), false, false, false, 0, 0, 0},
        {"negative seconds", Ut(1, {-1}), true, false, false, ticks1970 - 10000000ULL, 0, 0},
    };
    for (const auto& c : cases) {
        ExtendedTimestamp times = Read(c.field);
        EXPECT_EQ(c.modification, times.hasModification) << c.what;
        EXPECT_EQ(c.access, times.hasAccess) << c.what;
        EXPECT_EQ(c.creation, times.hasCreation) << c.what;
        // Times that are absent are not looked at.
        EXPECT_EQ(c.m, c.modification ? times.modification : 0) << c.what;
        EXPECT_EQ(c.a, c.access ? times.access : 0) << c.what;
        EXPECT_EQ(c.c, c.creation ? times.creation : 0) << c.what;
    }
}
