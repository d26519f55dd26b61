#include "core/file_system.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <cwchar>
#ifdef _WIN32
#include <windows.h>
#endif

namespace {

// The name as Windows reads it: the ANSI functions turn it into wide text
// with the code page before they look at it. Natively, where there is no
// code page, each byte stands for itself. False for bytes that are no text
// in the code page.
bool WindowsReading(const std::string& path, unsigned codePage, std::wstring& wide)
{
    wide.clear();
    if (path.empty())
        return true;
#ifdef _WIN32
    int length = MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, path.data(), static_cast<int>(path.size()),
                                     nullptr, 0);
    if (length <= 0)
        return false;
    wide.resize(static_cast<size_t>(length));
    return MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, path.data(), static_cast<int>(path.size()), &wide[0],
                               length) == length;
#else
    (void)codePage;
    wide.resize(path.size());
    std::transform(path.begin(), path.end(), wide.begin(),
                   [](char c) { return static_cast<wchar_t>(static_cast<unsigned char>(c)); });
    return true;
#endif
}

// Windows opens a device for these whatever folder or extension they have,
// also with a superscript digit after COM or LPT.
bool IsDeviceName(const std::wstring& part)
{
    static const wchar_t* const devices[] = {L"CON", L"PRN", L"AUX", L"NUL", L"CONIN$", L"CONOUT$"};
    std::wstring base = part.substr(0, part.find(L'.'));
    while (!base.empty() && base.back() == L' ')
        base.pop_back();
    std::transform(base.begin(), base.end(), base.begin(),
                   [](wchar_t c) { return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - L'a' + L'A') : c; });
    for (const wchar_t* device : devices) {
        if (base == device)
            return true;
    }
    if (base.size() != 4 || !(base.compare(0, 3, L"COM") == 0 || base.compare(0, 3, L"LPT") == 0))
        return false;
    wchar_t number = base[3];
    return (number >= L'0' && number <= L'9') || number == 0xB9 || number == 0xB2 || number == 0xB3;
}

// Windows drops a part's trailing dots and spaces, so "..", ". ." and
// "... " all climb a level; only "." stays where it is.
bool ClimbsOrVanishes(const std::wstring& part)
{
    return !part.empty() && part != L"." && std::all_of(part.begin(), part.end(), IsDotOrSpace<wchar_t>);
}

}  // namespace

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
#ifdef _WIN32
    return UncontainedReasonIn(path, CP_ACP);
#else
    return UncontainedReasonIn(path, 0);
#endif
}

const char* UncontainedReasonIn(const std::string& path, unsigned codePage)
{
    std::wstring wide;
    if (!WindowsReading(path, codePage, wide))
        return "bytes that are no text in the code page";
    if (wide.size() >= 2 && wide[1] == L':')
        return "a drive";
    if (!wide.empty() && IsPathSeparator(wide[0]))
        return "a leading separator";
    for (wchar_t c : wide) {
        if (c < 32 || c == 127)
            return "a control character";
        if (c == L':')
            return "a \":\"";
        if (std::wcschr(L"<>\"|?*", c))
            return "a character Windows forbids in names";
    }
    for (size_t start = 0;;) {
        size_t end = wide.find_first_of(L"\\/", start);
        std::wstring part = wide.substr(start, end == std::wstring::npos ? std::wstring::npos : end - start);
        if (ClimbsOrVanishes(part))
            return "a \"..\" part";
        if (IsDeviceName(part))
            return "a name Windows reserves";
        if (end == std::wstring::npos)
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
