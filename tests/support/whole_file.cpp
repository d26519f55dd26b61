#include "support/whole_file.h"

#include <cstdio>

std::string ReadWholeFile(const std::string& path)
{
    std::string content;
    if (FILE* file = std::fopen(path.c_str(), "rb")) {
        char buffer[65536];
        size_t got;
        while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0)
            content.append(buffer, got);
        std::fclose(file);
    }
    return content;
}

void WriteWholeFile(const std::string& path, const std::string& content)
{
    if (FILE* file = std::fopen(path.c_str(), "wb")) {
        std::fwrite(content.data(), 1, content.size(), file);
        std::fclose(file);
    }
}
