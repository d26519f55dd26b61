#include "install/checked_items.h"

#include "catalogue/catalogue.h"
#include "core/window_operations.h"

InstallChoice CollectCheckedItems(CWindowOperations& window, const CCatalogue& catalogue)
{
    InstallChoice choice;
    std::vector<TreeNodeState> nodes = window.ReadAllNodes();
    for (size_t i = 0; i < nodes.size();) {
        const TreeNodeState& node = nodes[i];
        std::vector<FileRecord> files = catalogue.ItemFiles(node.text);
        if (files.empty()) {
            ++i;  // a group: its children follow it
            continue;
        }
        if (node.checkState == checkChecked) {
            choice.names.push_back(node.text);
            for (const FileRecord& file : files)
                choice.totalBytes += static_cast<uint32_t>(file.size);
        }
        // An item's own children are passed over.
        for (++i; i < nodes.size() && nodes[i].depth > node.depth;)
            ++i;
    }
    return choice;
}
