// The walk over a local extra field, given any bytes.
#include <climits>
#include <cstdlib>

#include "zip/zip_stamps.h"

namespace {

void Check(bool present, uint64_t ticks)
{
    if (present && (ticks < UnixSecondsToTicks(INT32_MIN) || ticks > UnixSecondsToTicks(INT32_MAX)))
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    ExtendedTimestamp times = ReadExtendedTimestamp(data, size);
    Check(times.hasModification, times.modification);
    Check(times.hasAccess, times.access);
    Check(times.hasCreation, times.creation);
    return 0;
}
