// Entry names as the layer takes them, given any bytes: cleaned, trimmed and
// judged. A name judged safe must stay inside the folder however Windows
// reads it.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "zip/zip_names.h"

namespace {

void Require(bool holds)
{
    if (!holds)
        std::abort();
}

bool IsSeparator(char c)
{
    return c == '\\' || c == '/';
}

// Walks the name part by part as Windows resolves a path: trailing dots and
// spaces go, "." stays, ".." goes up. False when it would leave the folder.
bool StaysInside(const std::string& name)
{
    int depth = 0;
    size_t start = 0;
    while (start <= name.size()) {
        size_t end = name.find_first_of("\\/", start);
        if (end == std::string::npos)
            end = name.size();
        std::string part = name.substr(start, end - start);
        if (part != "." && part != "..") {
            while (!part.empty() && (part.back() == '.' || part.back() == ' '))
                part.pop_back();
        }
        if (part == "..") {
            if (--depth < 0)
                return false;
        } else if (!part.empty() && part != ".") {
            ++depth;
        }
        start = end + 1;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // Longer names are refused before they are cleaned.
    if (size >= 260)
        return 0;
    // The name as minizip gives it: NUL-terminated, cut at its first NUL.
    std::vector<char> stored(data, data + size);
    stored.push_back('\0');
    size_t length = std::strlen(stored.data());

    const char* clean = CleanEntryName(stored.data());
    // What is kept is the end of the stored name, with no drive, no leading
    // separator, no leading ".." part and none behind a separator.
    Require(clean >= stored.data() && clean <= stored.data() + length);
    Require(!(clean[0] != '\0' && clean[1] == ':'));
    Require(!IsSeparator(clean[0]));
    for (const char* part : {"\\..\\", "\\../", "/../", "/..\\"})
        Require(std::strstr(clean, part) == nullptr);
    Require(!(clean[0] == '.' && clean[1] == '.' && IsSeparator(clean[2])));

    std::vector<char> name(clean, clean + std::strlen(clean) + 1);
    TrimNameParts(name.data());
    std::string trimmed = name.data();
    Require(trimmed.size() <= std::strlen(clean));
    TrimNameParts(name.data());
    Require(trimmed == name.data());

    if (IsSafeEntryName(trimmed.c_str())) {
        Require(StaysInside(trimmed));
        Require(trimmed.find(':') == std::string::npos);
    }
    return 0;
}
