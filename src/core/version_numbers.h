#pragma once
// The program's version as plain macros, so that the resource compiler
// reads the same numbers as the code. The patch number,
// TAVRIN_VERSION_PATCH, is set per build (src/CMakeLists.txt).
#define TAVRIN_VERSION_MAJOR 2
#define TAVRIN_VERSION_MINOR 0

#define TAVRIN_TEXT_OF_(tokens) #tokens
#define TAVRIN_TEXT_OF(tokens) TAVRIN_TEXT_OF_(tokens)
// "2.0.4"
#define TAVRIN_VERSION_TEXT TAVRIN_TEXT_OF(TAVRIN_VERSION_MAJOR.TAVRIN_VERSION_MINOR.TAVRIN_VERSION_PATCH)
