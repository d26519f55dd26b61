#include "core/file_system.h"

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
