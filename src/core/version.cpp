#include "core/version.h"

#include <cstdio>

std::string VersionText()
{
    char text[40];
    std::snprintf(text, sizeof text, "%i.%i.%i", kVersionMajor, kVersionMinor, kVersionRelease);
    return text;
}
