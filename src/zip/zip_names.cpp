#include "zip/zip_names.h"

#include <cstring>
#include <string>

#include "core/file_system.h"

const char* CleanEntryName(const char* name)
{
    static const char* const parentParts[] = {"\\..\\", "\\../", "/../", "/..\\"};
    const char* cursor = name;
    for (;;) {
        if (cursor[0] != '\0' && cursor[1] == ':') {
            cursor += 2;
            continue;
        }
        if (IsPathSeparator(cursor[0])) {
            cursor += 1;
            continue;
        }
        // Real game archives hold "../COPYING": written inside, as unzip does.
        if (cursor[0] == '.' && cursor[1] == '.' && IsPathSeparator(cursor[2])) {
            cursor += 3;
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

void TrimNameParts(char* name)
{
    char* out = name;
    const char* in = name;
    while (*in) {
        const char* end = in;
        while (*end && !IsPathSeparator(*end))
            ++end;
        const char* keep = end;
        while (keep > in && IsDotOrSpace(keep[-1]))
            --keep;
        if (keep == in)
            keep = end;
        std::memmove(out, in, static_cast<size_t>(keep - in));
        out += keep - in;
        if (*end)
            *out++ = *end++;
        in = end;
    }
    *out = '\0';
}

bool IsSafeEntryName(const char* name)
{
    return UncontainedReason(name) == nullptr;
}
