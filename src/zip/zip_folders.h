#pragma once
// Folders for extracted entries, and the path pieces they are made from.

bool IsPathSeparator(char c);
// The part of a path behind its last "\" or "/"; the whole path without one.
const char* AfterLastSeparator(const char* path);
// Creates the folder that base and relative path name, parents first. Base may
// be null. False only when the path is too long to be made whole; other
// failures show up when the file inside cannot be created.
bool MakeDirectoryChain(const char* base, const char* relativePath);
