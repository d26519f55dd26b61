#pragma once
#include <string>

#include "core/workers.h"

struct CatalogueHeader;
class CWindowOperations;

// Compares the catalogue's version with our own and, for a newer one,
// downloads and starts it, showing the download on the upper bar; with a
// `releaseKey` (PEM; empty for none) only once its signature verifies and
// it carries the announced version. When
// the release cannot be had, the user is told in `window` and this
// instance, titled `ownTitle`, goes on. True only when a newer release was
// started: this instance is then to end.
bool CheckForUpdate(const CatalogueHeader& header, CWindowOperations& window, const std::string& ownTitle,
                    const std::string& releaseKey, const StopRequest& stop);
