#pragma once
#include <cstddef>
#include <string>

#include "core/workers.h"

constexpr int kMirrorCount = 3;
// Far above any real catalogue; a longer answer is a failed attempt.
constexpr size_t kMaxCatalogueBytes = 16 * 1024 * 1024;

// Where the catalogue comes from, tried in this order.
struct CatalogueMirrors {
    std::string urls[kMirrorCount];
    // A mirror that sends less than one byte a second for this long has
    // failed; without a limit one that accepts and never answers would hold
    // the program, every control disabled, for ever.
    long stallSeconds = 30;
    // A mirror that drips a few bytes a second passes the stall limit; this
    // ends it. Far above what any real catalogue needs.
    long totalSeconds = 300;
    // PEM certificates for https mirrors instead of the system's; tests only.
    const std::string* certificateAuthority = nullptr;
};

// The mirrors built into the program.
CatalogueMirrors BuiltInMirrors();

// Downloads the catalogue from mirror `index` (0 to 2) into `text`, which
// it empties first, on a handle of its own, and logs how it went. libcurl's
// code: 0 when the whole text came.
int FetchCatalogue(const CatalogueMirrors& mirrors, int index, std::string& text, const StopRequest& stop);
