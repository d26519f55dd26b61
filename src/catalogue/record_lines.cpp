#include "catalogue/record_lines.h"

#include <algorithm>

namespace {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

}  // namespace

std::string CutComment(std::string line)
{
    size_t semicolon = line.find(';');
    if (semicolon != std::string::npos)
        line.erase(semicolon);
    while (line.size() > 1 && IsBlank(line.back()))
        line.pop_back();
    return line;
}

RecordLine ClassifyLine(const std::string& line)
{
    if (!line.empty() && line[0] == '-')
        return RecordLine::NextRecord;
    std::string packed = line;
    packed.erase(std::remove_if(packed.begin(), packed.end(), IsBlank), packed.end());
    if (packed.size() == 1 || (!packed.empty() && packed[0] == ';'))
        return RecordLine::Skipped;
    return RecordLine::End;
}

std::string WithoutCr(std::string line)
{
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return line;
}

std::vector<std::string> SplitUrls(const std::string& line)
{
    std::vector<std::string> urls;
    size_t start = 0;
    for (;;) {
        size_t space = line.find(' ', start);
        urls.push_back(line.substr(start, space - start));
        if (space == std::string::npos)
            return urls;
        start = space + 1;
    }
}
