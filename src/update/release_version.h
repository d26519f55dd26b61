#pragma once
#include <optional>

#include "catalogue/catalogue_header.h"

// True when `version` comes after this program's own, ordered by major,
// then minor, then patch.
bool IsNewerThanThisProgram(const CatalogueVersion& version);

// The major, minor and patch of the fixed file version in the version
// resource of the program at `path`; nothing when it has none, or one no
// catalogue could announce.
std::optional<CatalogueVersion> ProgramVersionOf(const char* path);

// True when the program at `path` carries the `announced` version and it is
// newer than this program's: a release signed long ago, served under a newer
// announcement, is not started (it would see that announcement and update
// again at every start).
bool CarriesAnnouncedVersion(const char* path, const CatalogueVersion& announced);
