// The cleaning of stored entry names, given any bytes.
#include <cstdint>
#include <cstdlib>
#include <cstring>
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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // The name as minizip gives it: NUL-terminated, cut at its first NUL.
    std::vector<char> name(data, data + size);
    name.push_back('\0');
    const char* stored = name.data();
    size_t length = std::strlen(stored);

    const char* clean = CleanEntryName(stored);
    // What is kept is the end of the stored name.
    Require(clean >= stored && clean <= stored + length);
    // No drive, no leading separator, no ".." part behind a separator.
    Require(!(clean[0] != '\0' && clean[1] == ':'));
    Require(!IsSeparator(clean[0]));
    for (const char* part : {"\\..\\", "\\../", "/../", "/..\\"})
        Require(std::strstr(clean, part) == nullptr);
    // A name that does not lead out begins with no ".." part at all.
    if (!LeadsOutOfFolder(clean))
        Require(!(clean[0] == '.' && clean[1] == '.' && (clean[2] == '\0' || IsSeparator(clean[2]))));
    return 0;
}
