#include "zip/zip_names.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <string>

#include "core/file_system.h"

namespace {

bool IsDotOrSpace(char c)
{
    return c == '.' || c == ' ';
}

bool IsForbidden(unsigned char c)
{
    return (c > 0 && c < 32) || std::strchr("<>:\"|?*", c) != nullptr;
}

// Windows opens a device for these whatever folder or extension they have;
// "COM\xB9" is COM with a superscript one in the ANSI code page.
bool IsDeviceName(const char* part, size_t length)
{
    static const char* const devices[] = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"};
    std::string base(part, length);
    base = base.substr(0, base.find('.'));
    while (!base.empty() && base.back() == ' ')
        base.pop_back();
    std::transform(base.begin(), base.end(), base.begin(),
                   [](unsigned char c) { return c < 128 ? static_cast<char>(std::toupper(c)) : static_cast<char>(c); });
    for (const char* device : devices) {
        if (base == device)
            return true;
    }
    if (base.size() != 4 || !(base.compare(0, 3, "COM") == 0 || base.compare(0, 3, "LPT") == 0))
        return false;
    unsigned char number = static_cast<unsigned char>(base[3]);
    return (number >= '0' && number <= '9') || number == 0xB9 || number == 0xB2 || number == 0xB3;
}

}  // namespace

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
    for (const char* c = name; *c; ++c) {
        if (IsForbidden(static_cast<unsigned char>(*c)))
            return false;
    }
    const char* part = name;
    for (;;) {
        size_t length = std::strcspn(part, "\\/");
        bool dotsAndSpaces = length > 0;
        for (size_t i = 0; i < length; ++i)
            dotsAndSpaces = dotsAndSpaces && IsDotOrSpace(part[i]);
        if (dotsAndSpaces && !(length == 1 && part[0] == '.'))
            return false;
        if (IsDeviceName(part, length))
            return false;
        if (part[length] == '\0')
            return true;
        part += length + 1;
    }
}
