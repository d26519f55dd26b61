#pragma once
#include <string>

#include "core/build_config.h"
#include "core/version_numbers.h"

// The program's version: shown in the title, the log header and the About
// dialog, and compared by the update check.
constexpr int kVersionMajor = TAVRIN_VERSION_MAJOR;
constexpr int kVersionMinor = TAVRIN_VERSION_MINOR;

// The version as a person reads it: "2.0.4".
std::string VersionText();
