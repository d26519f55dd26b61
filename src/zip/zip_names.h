#pragma once
// Entry names as stored in archives, made into paths below a target folder.

// The part of a stored name that is kept: without a drive prefix, leading
// separators and leading ".." parts, and everything up to a ".." part that
// follows a separator.
const char* CleanEntryName(const char* name);
// Drops the trailing dots and spaces of each part of the name, in place, as
// Windows drops them from the last part anyway: "readme.txt." is readme.txt.
// A part of dots and spaces alone is left for IsSafeEntryName to refuse.
void TrimNameParts(char* name);
// Whether a cleaned and trimmed name can be written inside the folder it is
// extracted to as the file it names: no ".." part (nor any other part of dots
// and spaces but "."), no device name (CON, aux.txt, COM1...), no ":" that
// would open a stream, and no character that Windows forbids in names.
bool IsSafeEntryName(const char* name);
