#include "support/log_lines.h"

#include "core/log.h"
#include "support/test_folder.h"

std::vector<std::string> LogLines()
{
    theLog.Close();
    return FileLines("log.txt");
}

std::vector<std::string> LogLinesStartingWith(const std::vector<std::string>& prefixes)
{
    std::vector<std::string> kept;
    for (const std::string& line : LogLines())
        for (const std::string& prefix : prefixes)
            if (line.rfind(prefix, 0) == 0) {
                kept.push_back(line);
                break;
            }
    return kept;
}
