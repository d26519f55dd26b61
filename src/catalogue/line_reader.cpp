#include "catalogue/catalogue.h"

std::string CCatalogue::ReadLine(uint32_t& position) const
{
    if (!sourceText || position >= sourceText->size())
        return "*";
    size_t end = sourceText->find('\n', position);
    if (end == std::string::npos) {
        std::string line = sourceText->substr(position);
        position = static_cast<uint32_t>(sourceText->size());
        return line;
    }
    std::string line = sourceText->substr(position, end - position);
    position = static_cast<uint32_t>(end + 1);
    return line;
}
