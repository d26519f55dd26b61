#include "update/update_check.h"

#include "core/log.h"
#include "core/version.h"

namespace {

bool IsNewer(int major, int minor, int patch)
{
    if (major != kVersionMajor)
        return major > kVersionMajor;
    if (minor != kVersionMinor)
        return minor > kVersionMinor;
    return patch > kVersionRelease;
}

}  // namespace

bool CheckForUpdate(int major, int minor, int patch, const std::string& updateUrl,
                    const std::string& updateSizeLine)
{
    if (!IsNewer(major, minor, patch)) {
        theLog.WriteLine("No update avaliable");
        return false;
    }
    // Fetching the newer release comes with the self-update.
    return false;
}
