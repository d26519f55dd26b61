#include "install/checked_items.h"

#include "catalogue/catalogue.h"
#include "core/window_operations.h"

namespace {

constexpr int kChecked = 2;

}  // namespace

InstallChoice CollectCheckedItems(CWindowOperations& window, const CCatalogue& catalogue)
{
    InstallChoice choice;
    std::vector<HTREEITEM> openGroups;  // their next siblings are still to visit
    HTREEITEM node = window.FirstTopNode();
    for (;;) {
        while (!node) {
            if (openGroups.empty())
                return choice;
            node = window.NextSibling(openGroups.back());
            openGroups.pop_back();
        }
        std::string name = window.NodeText(node);
        std::vector<std::string> urlLines;
        std::vector<int32_t> sizes;
        catalogue.ItemFiles(name, nullptr, &urlLines, &sizes);
        if (urlLines.empty()) {
            openGroups.push_back(node);
            node = window.FirstChild(node);
            continue;
        }
        if (window.CheckState(node) == kChecked) {
            choice.names.push_back(name);
            for (int32_t size : sizes)
                choice.totalBytes += static_cast<uint32_t>(size);
        }
        node = window.NextSibling(node);
    }
}
