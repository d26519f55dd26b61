#pragma once
#include <string>

// The text before the last backslash of a path; the whole text when it has none.
std::string FolderOf(const std::string& path);
