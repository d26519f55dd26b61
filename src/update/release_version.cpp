#include "update/release_version.h"

#include <windows.h>

#include <cstdint>
#include <limits>
#include <vector>

#include "core/version.h"

namespace {

bool FitsVersionPart(WORD part)
{
    return part <= std::numeric_limits<int16_t>::max();
}

bool IsSameVersion(const CatalogueVersion& a, const CatalogueVersion& b)
{
    return a.major == b.major && a.minor == b.minor && a.patch == b.patch;
}

}  // namespace

bool IsNewerThanThisProgram(const CatalogueVersion& version)
{
    if (version.major != kVersionMajor)
        return version.major > kVersionMajor;
    if (version.minor != kVersionMinor)
        return version.minor > kVersionMinor;
    return version.patch > kVersionRelease;
}

std::optional<CatalogueVersion> ProgramVersionOf(const char* path)
{
    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeA(path, &ignored);
    if (size == 0)
        return std::nullopt;
    std::vector<BYTE> info(size);
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT fixedSize = 0;
    if (!GetFileVersionInfoA(path, 0, size, info.data()) ||
        !VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &fixedSize) ||
        fixedSize < sizeof *fixed || fixed->dwSignature != VS_FFI_SIGNATURE)
        return std::nullopt;
    WORD major = HIWORD(fixed->dwFileVersionMS);
    WORD minor = LOWORD(fixed->dwFileVersionMS);
    WORD patch = HIWORD(fixed->dwFileVersionLS);
    if (!FitsVersionPart(major) || !FitsVersionPart(minor) || !FitsVersionPart(patch))
        return std::nullopt;
    CatalogueVersion version;
    version.major = static_cast<int16_t>(major);
    version.minor = static_cast<int16_t>(minor);
    version.patch = static_cast<int16_t>(patch);
    return version;
}

bool CarriesAnnouncedVersion(const char* path, const CatalogueVersion& announced)
{
    std::optional<CatalogueVersion> carried = ProgramVersionOf(path);
    return carried && IsSameVersion(*carried, announced) && IsNewerThanThisProgram(*carried);
}
