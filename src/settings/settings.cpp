#include "settings/settings.h"

#include <cstdio>
#include <cstring>
#include <share.h>

#include <windows.h>

#include "core/file_system.h"
#include "core/log.h"
#include "core/side_file.h"

namespace {

const char kFileName[] = "settings.cfg";

// Reads one line of at most 259 characters. A longer line leaves the rest
// of the stream unusable, so every later line reads as empty.
struct LineReader {
    FILE* file;
    bool broken = false;

    std::string Next()
    {
        char buffer[260] = "";
        if (broken || !std::fgets(buffer, sizeof buffer, file))
            return "";
        size_t length = std::strlen(buffer);
        if (length > 0 && buffer[length - 1] == '\n') {
            buffer[--length] = '\0';
        } else {
            int next = std::fgetc(file);  // a line of exactly 259 still ends here
            if (next != '\n' && next != EOF)
                broken = true;
        }
        return buffer;
    }
};

}  // namespace

bool CSettings::Load()
{
    FILE* file = _fsopen(kFileName, "rt", _SH_DENYNO);
    if (!file) {
        theLog.WriteLine("Local config file doesn't exists");
        showMessage = true;
        pak0Path = "C:\\Program Files\\Quake III Arena\\baseq3\\pak0.pk3";
        installFolder = "D:\\Quake III Arena";
        return false;
    }
    theLog.WriteLine("Local config file found.");
    LineReader reader{file};
    pak0Path = reader.Next();
    installFolder = reader.Next();
    showMessage = reader.Next() != "informed";
    std::fclose(file);
    return true;
}

bool CSettings::Save() const
{
    // Written beside the file and moved over it, so that a run ended in the
    // middle never leaves a settings file cut short. A read-only file stays
    // as it is, as it would if it were written in place.
    CSideFile side;
    FILE* file = nullptr;
    if (IsReadOnlyFile(kFileName) || !side.Create(kFileName, ".new") || !(file = side.Stream(true))) {
        theLog.WriteLine("Can't open local config file for writing");
        return false;
    }
    std::fprintf(file, "%s\n", pak0Path.c_str());
    std::fprintf(file, "%s\n", installFolder.c_str());
    std::fputs(showMessage ? "message" : "informed", file);
    if (std::fflush(file) != 0 || !side.Place(true, true)) {
        theLog.WriteLine("Can't open local config file for writing");
        return false;
    }
    theLog.WriteLine("Local config file overwrited.");
    return true;
}
