// Plain rules without Windows: built for Windows and natively alike.
#include <gtest/gtest.h>

#include "zip/zip_attributes.h"

TEST(ZipAttributes, DosHostsGiveTheirLowBitsOthersTheUnixMode)
{
    const uint32_t unixDir755 = 0x41ED0000u, unix644 = 0x81A40000u, unix444 = 0x81240000u;
    const struct {
        uint32_t host, external, attributes;
    } cases[] = {
        {0, 0x21, 0x21},
        {0, 0x16, 0x16},  // hidden, system, folder; no archive bit
        {0, 0xFFFFFFFF, 0x37},  // no bit beyond the five
        {7, 0x01, 0x01},
        {11, 0x10, 0x10},
        {14, 0x20 | unix644, 0x20},  // a DOS host's high bits mean nothing
        {3, unixDir755, 0x30},
        {3, unix644, 0x20},
        {3, unix444, 0x21},
        {3, 0x21, 0x21},  // low DOS bits of a Unix host are not read
        {19, unix644, 0x20},  // OS X, as any other host
        {255, 0, 0x21},
    };
    for (const auto& c : cases) {
        // The low byte of version made by is the zip version; it plays no part.
        EXPECT_EQ(c.attributes, WindowsAttributes(c.host << 8 | 0x3F, c.external))
            << "host " << c.host << " external " << std::hex << c.external;
    }
}
