#pragma once
#include <string>

#include "support/catalogue_text_fixture.h"

// A header whose message ends on line 6, two item sections, and the items
// block: the group "Maps" holding the marked "Map pack", and "Config".
inline std::string WorkedExample(const std::string& end = "\n")
{
    return Lines({"v2.0.4",
                  "http://127.0.0.1:47001/Tavrin.exe",
                  "1048576",
                  "<message>",
                  "Welcome.",
                  "</message>",
                  "[Map pack]",
                  "{Twenty maps for duels.}",
                  "-baseq3",
                  "5000000",
                  "http://127.0.0.1:47001/files/maps.zip http://127.0.0.1:47002/files/maps.zip",
                  "; a comment line",
                  "-maps",
                  "2000",
                  "http://127.0.0.1:47001/files/more.zip",
                  "[Config]",
                  "{}",
                  "-",
                  "300",
                  "http://127.0.0.1:47001/files/q3config.cfg",
                  "<items>",
                  "#Maps;",
                  "[Map pack]+",
                  "!",
                  "[Config]"},
                 end);
}
