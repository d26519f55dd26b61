#pragma once
#include <gtest/gtest.h>

#include <filesystem>
#include <initializer_list>
#include <string>

#include "catalogue/catalogue.h"
#include "catalogue/items_scan.h"

// The lines joined, each followed by `end` ("\n" or "\r\n").
inline std::string Lines(std::initializer_list<std::string> lines, const std::string& end = "\n")
{
    std::string text;
    for (const std::string& line : lines)
        text += line + end;
    return text;
}

// The tree as the window would show it once the marked nodes are checked:
// one line per node, indented by depth, "[x] " when checked.
std::string Outline(const ItemsTree& tree);

// A catalogue over a text of the test's own, and a fresh log.txt in a
// temporary folder that is current while the test runs. Needs no window, so
// the native build runs these tests too.
class CatalogueTextTest : public ::testing::Test {
protected:
    CatalogueTextTest();
    ~CatalogueTextTest() override;
    // Also starts a fresh case inside one test.
    void SetUp() override;
    void TearDown() override;

    CCatalogue& Catalogue() { return *catalogue; }
    void Load(const std::string& loaded);
    // The log so far, with LF line ends.
    std::string LogText();

    std::string text;
    CCatalogue* catalogue = &own;

private:
    CCatalogue own;
    std::filesystem::path folder;
    std::filesystem::path previous;
};
