#pragma once
#include <string>

#include "core/workers.h"

class CProgress;
class CWindowOperations;

enum class UnpackOutcome {
    unpacked,  // every entry extracted
    failed,    // the archive could not be opened, or an entry not extracted
    stopped,   // the stop request came between two entries
};

// Unpacks the downloaded archive at `path` (its caller has judged it one by
// its name) entry by entry into its own folder, moving both bars and naming
// each entry in the status line, and removes it whatever the outcome, so
// that a later run fetches it again instead of taking it as present.
UnpackOutcome UnpackArchive(const std::string& path, CProgress& progress, CWindowOperations& window,
                            const StopRequest& stop);
