#include "support/catalogue_text_fixture.h"

#include <cstdlib>
#include <functional>
#include <random>
#include <set>
#include <vector>

#include "core/log.h"
#include "support/whole_file.h"

namespace {

// The fuzzer tries inputs as large as its largest seed, and slower ones.
constexpr size_t kMaxSeedBytes = 4096;

// With TAVRIN_CATALOGUE_SEEDS set, every text a test reads becomes a seed
// of the catalogue fuzz target (tests/catalogue/fuzz/make_seeds.py).
void KeepAsSeed(const std::string& text)
{
    const char* seeds = std::getenv("TAVRIN_CATALOGUE_SEEDS");
    if (!seeds || text.size() > kMaxSeedBytes)
        return;
    std::filesystem::create_directories(seeds);
    char name[32];
    std::snprintf(name, sizeof name, "%016zx", std::hash<std::string>()(text));
    WriteWholeFile((std::filesystem::path(seeds) / name).string(), text);
}

}  // namespace

std::string Outline(const ItemsTree& tree)
{
    std::set<int> marked(tree.marked.begin(), tree.marked.end());
    std::vector<std::vector<int>> children(tree.nodes.size());
    std::vector<int> top;
    for (size_t i = 0; i < tree.nodes.size(); ++i) {
        int parent = tree.nodes[i].parent;
        (parent < 0 ? top : children.at(parent)).push_back(static_cast<int>(i));
    }
    std::string out;
    std::function<void(const std::vector<int>&, int)> walk = [&](const std::vector<int>& level,
                                                                  int depth) {
        for (int node : level) {
            out += std::string(depth * 2, ' ') + (marked.count(node) ? "[x] " : "[ ] ") +
                   tree.nodes[node].text + "\n";
            walk(children[node], depth + 1);
        }
    };
    walk(top, 0);
    return out;
}

CatalogueTextTest::CatalogueTextTest()
{
    previous = std::filesystem::current_path();
    folder = std::filesystem::temp_directory_path() /
             ("tavrin-catalogue-" + std::to_string(std::random_device()()));
    std::filesystem::create_directories(folder);
    std::filesystem::current_path(folder);
}

CatalogueTextTest::~CatalogueTextTest()
{
    std::filesystem::current_path(previous);
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
}

void CatalogueTextTest::SetUp()
{
    theLog.Close();
    theLog.Open();
    text.clear();
    *catalogue = CCatalogue();
    catalogue->sourceText = &text;
}

void CatalogueTextTest::TearDown()
{
    theLog.Close();
}

void CatalogueTextTest::Load(const std::string& loaded)
{
    text = loaded;
    KeepAsSeed(loaded);
}

std::string CatalogueTextTest::LogText()
{
    theLog.Close();
    std::string logged;
    for (char c : ReadWholeFile("log.txt"))
        if (c != '\r')
            logged += c;
    return logged;
}
