#pragma once
#include <string>

// The text after the last "/" of a URL or path; the whole text when it has none.
std::string FileNameOf(const std::string& text);
// The text before the last backslash of a path; the whole text when it has none.
std::string FolderOf(const std::string& path);
// True when the name holds ".zip" or ".ZIP" anywhere (".Zip" does not count).
bool IsArchiveName(const std::string& name);
