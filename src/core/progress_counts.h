#pragma once
#include <cstdint>

// The arithmetic behind the progress bars, kept apart from the bars: no
// division by zero, nothing wraps around 32 bits.

// The highest position given to a bar. The control takes a signed position
// and shows a larger one as empty; anything past 100 already shows full.
constexpr unsigned kMaxBarPosition = 0x7FFFFFFF;

// part × 100 / whole in whole numbers; 0 when whole is 0.
unsigned IntegerPercent(uint32_t part, uint32_t whole);
// part / whole × 100 in double precision, cut toward zero; 0 when whole is 0.
unsigned RatioPercent(double part, double whole);
// count + add, cut toward zero and held between 0 and the largest count.
uint32_t AddToCount(uint32_t count, double add);
