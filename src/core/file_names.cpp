#include "core/file_names.h"

std::string FileNameOf(const std::string& text)
{
    size_t slash = text.rfind('/');
    return slash == std::string::npos ? text : text.substr(slash + 1);
}

std::string FolderOf(const std::string& path)
{
    return path.substr(0, path.rfind('\\'));
}

bool IsArchiveName(const std::string& name)
{
    return name.find(".zip") != std::string::npos || name.find(".ZIP") != std::string::npos;
}
