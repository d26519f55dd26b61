// The catalogue readers on any text: the header, the items scan and the
// lookups of the names the scan gives. Bounds that must hold are checked
// too, not only that nothing crashes.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "catalogue/catalogue.h"
#include "catalogue/catalogue_header.h"
#include "catalogue/items_scan.h"

namespace {

// Each lookup reads the whole text, so a text of many names looks up a few.
constexpr size_t kMaxLookups = 32;

// A finding names the check that failed.
void Require(bool holds, int line = __builtin_LINE())
{
    if (holds)
        return;
    std::fprintf(stderr, "catalogue_fuzz.cpp:%d: check failed\n", line);
    std::abort();
}

void CheckLines(const CCatalogue& catalogue, const std::string& text)
{
    uint32_t position = 0;
    while (position < text.size()) {
        uint32_t before = position;
        std::string line = catalogue.ReadLine(position);
        Require(position > before && position <= text.size());
        Require(text.compare(before, line.size(), line) == 0);
    }
    Require(catalogue.ReadLine(position) == "*");
}

void CheckHeader(const CatalogueHeader& header, const std::string& text)
{
    if (!header.valid) {
        Require(header.message.empty());
        return;
    }
    // Each message line comes with the LF it ended in, or one of its own.
    Require(header.message.size() <= text.size() + 1);
    Require(header.updateUrlLine.size() <= text.size() && header.updateUrl.size() <= header.updateUrlLine.size());
}

void CheckTree(const ItemsTree& tree, const std::string& text)
{
    // Every node ends at a byte of its own, a "]" or a ";", and there is a bound.
    size_t ends = std::count(text.begin(), text.end(), ']') + std::count(text.begin(), text.end(), ';');
    Require(tree.nodes.size() <= ends && tree.nodes.size() <= 100000);
    std::vector<int> depths;
    for (size_t i = 0; i < tree.nodes.size(); ++i) {
        const NewTreeNode& node = tree.nodes[i];
        Require(node.text.size() <= 259 && node.text.size() < text.size());
        Require(node.parent >= -1 && node.parent < static_cast<int>(i));
        depths.push_back(node.parent < 0 ? 1 : depths[node.parent] + 1);
        Require(depths.back() <= 64);
    }
    Require(tree.parents.size() <= 64);
    for (int parent : tree.parents)
        Require(parent >= -1 && parent < static_cast<int>(tree.nodes.size()));
    // A node is marked once at most, when it is made.
    for (size_t i = 0; i < tree.marked.size(); ++i) {
        Require(tree.marked[i] >= 0 && tree.marked[i] < static_cast<int>(tree.nodes.size()));
        Require(i == 0 || tree.marked[i] > tree.marked[i - 1]);
    }
}

void CheckLookups(const CCatalogue& catalogue, const std::string& name, const std::string& text)
{
    Require(catalogue.ItemDescription(name).size() <= text.size());
    std::vector<FileRecord> files = catalogue.ItemFiles(name);
    // A record takes three lines, but the end of the text reads as any number.
    size_t lines = std::count(text.begin(), text.end(), '\n') + 1;
    Require(files.size() <= lines);
    for (const FileRecord& file : files)
        Require(file.folder.size() < text.size() && file.urlLine.size() <= text.size());

    // The lookups keep nothing between calls: a second one gives the same.
    std::vector<FileRecord> again = catalogue.ItemFiles(name);
    Require(again.size() == files.size());
    for (size_t i = 0; i < files.size(); ++i)
        Require(again[i].folder == files[i].folder && again[i].urlLine == files[i].urlLine &&
                again[i].size == files[i].size);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    CCatalogue catalogue;
    catalogue.sourceText = &text;

    CheckLines(catalogue, text);
    CheckHeader(ReadHeader(catalogue), text);
    ItemsTree tree;
    if (ScanItems(catalogue, tree))
        CheckTree(tree, text);
    else
        Require(tree.nodes.empty() && tree.parents.empty() && tree.marked.empty());

    std::set<std::string> names;
    for (const NewTreeNode& node : tree.nodes) {
        if (names.size() == kMaxLookups)
            break;
        if (names.insert(node.text).second)
            CheckLookups(catalogue, node.text, text);
    }
    return 0;
}
