#pragma once
// Entry names as stored in archives, made into paths below a target folder.

// The part of a stored name that is kept: without a drive prefix, leading
// separators, and everything up to a ".." part that follows a separator.
const char* CleanEntryName(const char* name);
// A cleaned name can still begin with a ".." part (as in "../f").
bool LeadsOutOfFolder(const char* cleanName);
