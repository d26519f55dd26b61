#pragma once

// Values fixed when the program is built; there is no other configuration.
// They live in one unit of their own, so that the tests can link the same
// program with other mirrors or another patch number.
extern const char* const kBuiltInMirrors[3];
extern const int kVersionRelease;  // major and minor are in version.h
