#pragma once
// Creates the folder that base and relative path name, parents first. Base may
// be null. False only when the path is too long to be made whole; other
// failures show up when the file inside cannot be created.
bool MakeDirectoryChain(const char* base, const char* relativePath);
