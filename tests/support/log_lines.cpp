#include "support/log_lines.h"

#include <sstream>

#include "core/log.h"
#include "support/test_folder.h"

std::vector<std::string> LogLines()
{
    theLog.Close();
    std::vector<std::string> lines;
    std::istringstream text(ReadWholeFile("log.txt"));
    for (std::string line; std::getline(text, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
    }
    return lines;
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
