#include "core/build_config.h"

const char* const kBuiltInMirrors[3] = {TAVRIN_MIRROR_1, TAVRIN_MIRROR_2, TAVRIN_MIRROR_3};
// Constants, so they hold their values before any constructor runs.
const int kVersionRelease = TAVRIN_VERSION_PATCH;
const int kTransfers = TAVRIN_TRANSFERS;
// The key file's lines as one string literal, made at build time.
const char kReleaseKey[] =
#ifdef TAVRIN_RELEASE_KEY_TEXT
#include TAVRIN_RELEASE_KEY_TEXT
#else
    ""
#endif
    ;
