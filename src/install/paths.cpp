#include "install/paths.h"

std::string FolderOf(const std::string& path)
{
    return path.substr(0, path.rfind('\\'));
}
