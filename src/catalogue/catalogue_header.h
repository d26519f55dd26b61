#pragma once
#include <cstdint>
#include <string>

struct CatalogueVersion {
    int16_t major = 0;
    int16_t minor = 0;
    int16_t patch = 0;
};

// The version line "v2.0.4": each number is read from a fixed byte window,
// so a number that does not fit its window reads short. A number missing
// from its window reads as 0.
CatalogueVersion ReadVersionLine(const std::string& line);
