#include <gtest/gtest.h>
#include <windows.h>

#include "settings/settings.h"
#include "support/test_folder.h"

namespace {

const char kDefaultPak0[] = "C:\\Program Files\\Quake III Arena\\baseq3\\pak0.pk3";
const char kDefaultFolder[] = "D:\\Quake III Arena";

class SettingsTest : public ::testing::Test {
protected:
    std::string Pak0() { return settings.pak0Path; }
    std::string Folder() { return settings.installFolder; }

    CTestFolder folder;
    CSettings settings;
};

}  // namespace

TEST_F(SettingsTest, MissingFileGivesTheDefaults)
{
    EXPECT_FALSE(settings.Load());
    EXPECT_EQ(Pak0(), kDefaultPak0);
    EXPECT_EQ(Folder(), kDefaultFolder);
    EXPECT_TRUE(settings.showMessage);
}

TEST_F(SettingsTest, LoadReadsTheThreeLines)
{
    struct Case {
        const char* file;
        const char* pak0;
        const char* folder;
        bool showMessage;
    };
    const Case cases[] = {
        {"C:\\q\\pak0.pk3\r\nE:\\Q3\r\ninformed", "C:\\q\\pak0.pk3", "E:\\Q3", false},
        {"C:\\q\\pak0.pk3\nE:\\Q3\ninformed", "C:\\q\\pak0.pk3", "E:\\Q3", false},
        {"a\nb\ninformed\n", "a", "b", false},
        {"a\nb\nInformed", "a", "b", true},
        {"a\nb\nmessage", "a", "b", true},
        {"a\nb\n", "a", "b", true},
        {"a\nb", "a", "b", true},
        {"", "", "", true},
    };
    for (const Case& c : cases) {
        WriteWholeFile("settings.cfg", c.file);
        EXPECT_TRUE(settings.Load()) << c.file;
        EXPECT_EQ(Pak0(), c.pak0) << c.file;
        EXPECT_EQ(Folder(), c.folder) << c.file;
        EXPECT_EQ(settings.showMessage, c.showMessage) << c.file;
    }
}

TEST_F(SettingsTest, ALineLongerThan259CharactersIsCutAndEndsTheFile)
{
    WriteWholeFile("settings.cfg", std::string(300, 'p') + "\nE:\\Q3\ninformed");
    EXPECT_TRUE(settings.Load());
    EXPECT_EQ(Pak0(), std::string(259, 'p'));
    EXPECT_EQ(Folder(), "");
    EXPECT_TRUE(settings.showMessage);

    // 259 characters still fit, and the next line is read normally.
    WriteWholeFile("settings.cfg", std::string(259, 'p') + "\r\nE:\\Q3\r\ninformed");
    EXPECT_TRUE(settings.Load());
    EXPECT_EQ(Pak0(), std::string(259, 'p'));
    EXPECT_EQ(Folder(), "E:\\Q3");
    EXPECT_FALSE(settings.showMessage);
}

TEST_F(SettingsTest, SaveWritesCrLfAndTheFlagWord)
{
    settings.pak0Path = "C:\\q\\pak0.pk3";
    settings.installFolder = std::string(259, 'f');
    settings.showMessage = true;
    EXPECT_TRUE(settings.Save());
    EXPECT_EQ(ReadWholeFile("settings.cfg"),
              "C:\\q\\pak0.pk3\r\n" + std::string(259, 'f') + "\r\nmessage");

    settings.showMessage = false;
    EXPECT_TRUE(settings.Save());
    CSettings loaded;
    EXPECT_TRUE(loaded.Load());
    EXPECT_EQ(loaded.pak0Path, "C:\\q\\pak0.pk3");
    EXPECT_FALSE(loaded.showMessage);
}

TEST_F(SettingsTest, SaveFailsWhenTheFileCannotBeWritten)
{
    CreateDirectoryA("settings.cfg", nullptr);
    EXPECT_FALSE(settings.Save());
    EXPECT_EQ(GetFileAttributesA("settings.cfg.new"), INVALID_FILE_ATTRIBUTES);
}

// A failed save leaves the file of the last good one whole.
TEST_F(SettingsTest, AFailedSaveKeepsThePreviousFile)
{
    WriteWholeFile("settings.cfg", "a\nb\ninformed");
    SetFileAttributesA("settings.cfg", FILE_ATTRIBUTE_READONLY);
    settings.pak0Path = "other";
    EXPECT_FALSE(settings.Save());
    SetFileAttributesA("settings.cfg", FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(ReadWholeFile("settings.cfg"), "a\nb\ninformed");
}
