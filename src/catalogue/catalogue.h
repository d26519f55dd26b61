#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "core/tree_node.h"

// The downloaded catalogue. There are no item records: an item's data is
// read from the text by its name whenever it is needed.
class CCatalogue {
public:
    // Reads the line at `position` (without its LF) and moves past it;
    // "*" once the end of the text is reached.
    std::string ReadLine(uint32_t& position) const;
    std::string ItemDescription(const std::string& name) const;
    // Appends one entry per file record to each list that is given.
    void ItemFiles(const std::string& name, std::vector<std::string>* folders,
                   std::vector<std::string>* urlLines, std::vector<int32_t>* sizes) const;

    // Tree handles, once the window's tree is built from the items block:
    // the parent stack as the block ends, and the nodes that the catalogue
    // marks to be checked at start.
    std::vector<HTREEITEM> parentStack;
    std::vector<HTREEITEM> preChecked;
    const std::string* sourceText = nullptr;
};
