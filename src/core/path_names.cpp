#include "core/file_system.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace {

bool IsDotOrSpace(char c)
{
    return c == '.' || c == ' ';
}

// Windows opens a device for these whatever folder or extension they have;
// "COM\xB9" is COM with a superscript one in the ANSI code page.
bool IsDeviceName(const std::string& part)
{
    static const char* const devices[] = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"};
    std::string base = part.substr(0, part.find('.'));
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

// Windows drops a part's trailing dots and spaces, so "..", ". ." and
// "... " all climb a level; only "." stays where it is.
bool ClimbsOrVanishes(const std::string& part)
{
    return !part.empty() && part != "." && std::all_of(part.begin(), part.end(), IsDotOrSpace);
}

}  // namespace

bool IsPathSeparator(char c)
{
    return c == '\\' || c == '/';
}

std::string FileNameOf(const std::string& text)
{
    size_t slash = text.rfind('/');
    return slash == std::string::npos ? text : text.substr(slash + 1);
}

std::string FolderOf(const std::string& path)
{
    return path.substr(0, path.rfind('\\'));
}

size_t NameStart(const std::string& path)
{
    size_t separator = path.find_last_of("\\/");
    return separator == std::string::npos ? 0 : separator + 1;
}

bool IsArchiveName(const std::string& name)
{
    return name.find(".zip") != std::string::npos || name.find(".ZIP") != std::string::npos;
}

const char* UncontainedReason(const std::string& path)
{
    if (path.size() >= 2 && path[1] == ':')
        return "a drive";
    if (!path.empty() && IsPathSeparator(path[0]))
        return "a leading separator";
    for (unsigned char c : path) {
        if (c < 32 || c == 127)
            return "a control character";
        if (c == ':')
            return "a \":\"";
        if (std::strchr("<>\"|?*", c))
            return "a character Windows forbids in names";
    }
    for (size_t start = 0;;) {
        size_t end = path.find_first_of("\\/", start);
        std::string part = path.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (ClimbsOrVanishes(part))
            return "a \"..\" part";
        if (IsDeviceName(part))
            return "a name Windows reserves";
        if (end == std::string::npos)
            return nullptr;
        start = end + 1;
    }
}

const char* RecordFilePath(const std::string& installPath, const std::string& recordFolder,
                           const std::string& fileName, std::string& path)
{
    if (const char* reason = UncontainedReason(recordFolder))
        return reason;
    if (fileName.empty())
        return "no name";  // the folder itself would be written
    if (const char* reason = UncontainedReason(fileName))
        return reason;
    path.clear();
    if (!installPath.empty())
        path = installPath + "\\";
    if (!recordFolder.empty())
        path += recordFolder + "\\";
    path += fileName;
    return nullptr;
}
