// Whatever the catalogue text, every path the install run would write for
// its records lies inside the installation folder, or is refused.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "catalogue/catalogue.h"
#include "catalogue/items_scan.h"
#include "catalogue/record_lines.h"
#include "core/file_system.h"

namespace {

constexpr size_t kMaxLookups = 32;

void Require(bool holds, const std::string& path, int line = __builtin_LINE())
{
    if (holds)
        return;
    std::fprintf(stderr, "record_paths_fuzz.cpp:%d: escapes: %s\n", line, path.c_str());
    std::abort();
}

// Walks `relative` as Windows would below a folder, on its own terms: no
// drive, no root, no stream, and never above where it began. A part that
// Windows trims to nothing ("..", "... ") is taken as a step up.
bool StaysInside(const std::string& relative)
{
    if (relative.empty() || relative[0] == '\\' || relative[0] == '/' ||
        relative.find(':') != std::string::npos)
        return false;
    int depth = 0;
    size_t start = 0;
    for (;;) {
        size_t end = relative.find_first_of("\\/", start);
        std::string part = relative.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (!part.empty() && part != ".") {
            while (!part.empty() && (part.back() == '.' || part.back() == ' '))
                part.pop_back();
            depth += part.empty() ? -1 : 1;
            if (depth < 0)
                return false;
        }
        if (end == std::string::npos)
            return true;
        start = end + 1;
    }
}

void CheckRecords(const CCatalogue& catalogue, const std::string& name)
{
    const std::string install = "Q:\\Quake III Arena";
    for (const FileRecord& file : catalogue.ItemFiles(name)) {
        std::string fileName = FileNameOf(SplitUrls(file.urlLine).front());
        std::string path;
        if (!RecordFilePath(install, file.folder, fileName, path)) {
            Require(path.compare(0, install.size() + 1, install + "\\") == 0, path);
            Require(StaysInside(path.substr(install.size() + 1)), path);
        }
        if (!RecordFilePath("", file.folder, fileName, path))
            Require(StaysInside(path), path);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string text(reinterpret_cast<const char*>(data), size);
    CCatalogue catalogue;
    catalogue.sourceText = &text;
    ItemsTree tree;
    ScanItems(catalogue, tree);
    size_t lookups = 0;
    for (const NewTreeNode& node : tree.nodes) {
        if (lookups++ == kMaxLookups)
            break;
        CheckRecords(catalogue, node.text.substr(0, 49));
    }
    return 0;
}
