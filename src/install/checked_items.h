#pragma once
#include <cstdint>
#include <string>
#include <vector>

class CCatalogue;
class CWindowOperations;

// What the user chose: the checked items in tree order, and the sum of the
// declared sizes of all their files.
struct InstallChoice {
    std::vector<std::string> names;
    uint32_t totalBytes = 0;
};

// Walks the tree a node before its children. A node whose name has file
// records in the catalogue is an item, taken when checked, and its children
// are not visited; any other node is a group, whose own check plays no part.
InstallChoice CollectCheckedItems(CWindowOperations& window, const CCatalogue& catalogue);
