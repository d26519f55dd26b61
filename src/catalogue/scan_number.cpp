#include "catalogue/scan_number.h"

#include <cstdio>

bool ScanNumber(const std::string& text, int& value)
{
    // c_str() ends the field at its own bytes, so the scan never reads past it.
    value = 0;
    if (std::sscanf(text.c_str(), "%i", &value) == 1)
        return true;
    value = 0;
    return false;
}
