#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "core/tree_node.h"

// One file record of an item section.
struct FileRecord {
    std::string folder;   // below the installation folder; empty for the folder itself
    std::string urlLine;  // the file's URLs, separated by spaces
    int32_t size = 0;     // declared, in bytes
};

// The downloaded catalogue. There are no item records: an item's data is
// read from the text by its name whenever it is needed.
class CCatalogue {
public:
    // Reads the line at `position` (without its LF) and moves past it;
    // "*" once the end of the text is reached.
    std::string ReadLine(uint32_t& position) const;
    std::string ItemDescription(const std::string& name) const;
    // The item's file records in order; none without an item section.
    std::vector<FileRecord> ItemFiles(const std::string& name) const;

    // Tree handles, once the window's tree is built from the items block:
    // the parent stack as the block ends, and the nodes that the catalogue
    // marks to be checked at start.
    std::vector<HTREEITEM> parentStack;
    std::vector<HTREEITEM> preChecked;
    const std::string* sourceText = nullptr;
};
