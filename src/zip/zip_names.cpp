#include "zip/zip_names.h"

#include <cstring>

const char* CleanEntryName(const char* name)
{
    static const char* const parentParts[] = {"\\..\\", "\\../", "/../", "/..\\"};
    const char* cursor = name;
    for (;;) {
        if (cursor[0] != '\0' && cursor[1] == ':') {
            cursor += 2;
            continue;
        }
        if (cursor[0] == '\\' || cursor[0] == '/') {
            cursor += 1;
            continue;
        }
        const char* found = nullptr;
        for (const char* part : parentParts) {
            found = std::strstr(cursor, part);
            if (found) {
                cursor = found + std::strlen(part);
                break;
            }
        }
        if (!found)
            return cursor;
    }
}

bool LeadsOutOfFolder(const char* cleanName)
{
    return cleanName[0] == '.' && cleanName[1] == '.' &&
           (cleanName[2] == '\0' || cleanName[2] == '\\' || cleanName[2] == '/');
}
