#include <gtest/gtest.h>

#include <cstdio>
#include <optional>
#include <string>
#include <vector>
#include <windows.h>

#include "core/version.h"
#include "support/test_folder.h"
#include "update/release_version.h"

namespace {

std::string VersionText(const CatalogueVersion& version)
{
    return std::to_string(version.major) + "." + std::to_string(version.minor) + "." +
           std::to_string(version.patch);
}

std::string VersionText(const std::optional<CatalogueVersion>& version)
{
    return version ? VersionText(*version) : "none";
}

// A text of the version resource's first language, as Explorer's Details
// tab shows it.
std::string ResourceText(const std::string& path, const char* name)
{
    DWORD ignored = 0;
    std::vector<BYTE> info(GetFileVersionInfoSizeA(path.c_str(), &ignored));
    if (info.empty() || !GetFileVersionInfoA(path.c_str(), 0, static_cast<DWORD>(info.size()), info.data()))
        return "";
    WORD* translation = nullptr;
    UINT size = 0;
    if (!VerQueryValueA(info.data(), "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation), &size) ||
        size < 2 * sizeof(WORD))
        return "";
    char query[64];
    std::snprintf(query, sizeof query, "\\StringFileInfo\\%04x%04x\\%s", translation[0], translation[1], name);
    char* text = nullptr;
    if (!VerQueryValueA(info.data(), query, reinterpret_cast<void**>(&text), &size) || size == 0)
        return "";
    return text;
}

const CatalogueVersion kOwnVersion = {kVersionMajor, kVersionMinor, static_cast<int16_t>(kVersionRelease)};
const CatalogueVersion kNextVersion = {2, 0, 5};

struct BuiltProgram {
    const char* what;
    std::string path;
    CatalogueVersion version;
};

std::vector<BuiltProgram> BuiltPrograms()
{
    return {
        {"the program", WindowsPathOf(TAVRIN_PROGRAM), kOwnVersion},
        {"the next release", WindowsPathOf(TAVRIN_NEXT_RELEASE), kNextVersion},
        {"the keyed next release", WindowsPathOf(TAVRIN_KEYED_NEXT_RELEASE), kNextVersion},
    };
}

TEST(ReleaseVersion, EachBuiltProgramCarriesTheVersionItWasBuiltAs)
{
    ASSERT_EQ(VersionText(kOwnVersion), "2.0.4");
    for (const BuiltProgram& program : BuiltPrograms()) {
        SCOPED_TRACE(program.what);
        ASSERT_NE(GetFileAttributesA(program.path.c_str()), INVALID_FILE_ATTRIBUTES) << program.path;
        std::string text = VersionText(program.version);

        EXPECT_EQ(VersionText(ProgramVersionOf(program.path.c_str())), text);
        EXPECT_EQ(ResourceText(program.path, "FileVersion"), text);
        EXPECT_EQ(ResourceText(program.path, "ProductVersion"), text);
        EXPECT_EQ(ResourceText(program.path, "ProductName"), "Tavrin");
        EXPECT_EQ(ResourceText(program.path, "FileDescription"), "Tavrin");
    }
}

TEST(ReleaseVersion, WhatCarriesNoVersionHasNone)
{
    CTestFolder folder;
    WriteWholeFile("page.exe", "MZ<html>not a program</html>");
    char self[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, self, sizeof self);
    struct Case {
        const char* what;
        std::string path;
    } cases[] = {
        {"a program without a version resource", self},
        {"no program", folder.File("page.exe")},
        {"no file", folder.File("missing.exe")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(VersionText(ProgramVersionOf(c.path.c_str())), "none");
    }
}

// A release signed long ago stays signed; only its own version tells it
// from the one announced.
TEST(ReleaseVersion, OnlyTheAnnouncedVersionAboveOursIsTaken)
{
    const std::string next = WindowsPathOf(TAVRIN_NEXT_RELEASE);
    const std::string own = WindowsPathOf(TAVRIN_PROGRAM);
    struct Case {
        const char* what;
        const std::string& path;
        CatalogueVersion announced;
        bool taken;
    } cases[] = {
        {"2.0.5 announced as itself", next, {2, 0, 5}, true},
        {"2.0.5 announced as 2.0.9", next, {2, 0, 9}, false},
        {"2.0.5 announced as 2.1.5", next, {2, 1, 5}, false},
        {"2.0.5 announced as 3.0.5", next, {3, 0, 5}, false},
        {"2.0.5 announced as 2.0.4", next, {2, 0, 4}, false},
        {"this very version, announced as itself", own, kOwnVersion, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(CarriesAnnouncedVersion(c.path.c_str(), c.announced), c.taken);
    }
}

}  // namespace
