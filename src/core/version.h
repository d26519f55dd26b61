#pragma once
#include <string>

#include "core/build_config.h"

// The program's version: shown in the title, the log header and the About
// dialog, and compared by the update check.
constexpr int kVersionMajor = 2;
constexpr int kVersionMinor = 0;

// The version as a person reads it: "2.0.4".
std::string VersionText();
