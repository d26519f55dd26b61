#pragma once

// Values fixed when the program is built; there is no other configuration.
// They live in one unit of their own, so that the tests can link the same
// program with other mirrors, another patch number or another key.
extern const char* const kBuiltInMirrors[3];
extern const int kVersionRelease;  // major and minor are in version.h
// How many files an install run fetches at once (TAVRIN_TRANSFERS); 1
// fetches each at its turn only.
extern const int kTransfers;
// The PEM public key whose signature a downloaded release must carry;
// empty when the build names none (TAVRIN_RELEASE_KEY).
extern const char kReleaseKey[];
