#pragma once
#include <cstdint>
#include <string>

class CCatalogue;

struct CatalogueVersion {
    int16_t major = 0;
    int16_t minor = 0;
    int16_t patch = 0;
};

// What the first lines of the catalogue say.
struct CatalogueHeader {
    bool valid = false;  // line 1 is a version line
    CatalogueVersion version;
    std::string updateUrlLine;  // line 2 as written, for the log
    // Line 2 without the CR of a CR LF text, which libcurl refuses (code 3).
    std::string updateUrl;
    int updateSize = 0;  // the number on line 3; 0 when it holds none
    std::string message;  // each line followed by LF
};

// The version line "v2.0.4": each number is read from a fixed byte window,
// so a number that does not fit its window reads short. A number missing
// from its window reads as 0.
CatalogueVersion ReadVersionLine(const std::string& line);

// Reads the version, the update record and the message, logging as it goes,
// up to the line that announces the update check.
CatalogueHeader ReadHeader(const CCatalogue& catalogue);
