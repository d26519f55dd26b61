#include "core/progress_counts.h"

#include <cmath>

namespace {

// Converting a double out of the target's range is undefined, so hold it first.
unsigned HeldPosition(double percent)
{
    if (!(percent > 0))
        return 0;
    return percent < kMaxBarPosition ? static_cast<unsigned>(percent) : kMaxBarPosition;
}

}  // namespace

unsigned IntegerPercent(uint32_t part, uint32_t whole)
{
    if (whole == 0)
        return 0;
    uint64_t percent = uint64_t{part} * 100 / whole;
    return percent < kMaxBarPosition ? static_cast<unsigned>(percent) : kMaxBarPosition;
}

unsigned RatioPercent(double part, double whole)
{
    return whole == 0 ? 0 : HeldPosition(part / whole * 100);
}

uint32_t AddToCount(uint32_t count, double add)
{
    double sum = std::trunc(count + add);
    if (!(sum > 0))
        return 0;
    return sum < UINT32_MAX ? static_cast<uint32_t>(sum) : UINT32_MAX;
}
