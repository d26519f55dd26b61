#include <algorithm>
#include <random>
#include <vector>

#include "catalogue/catalogue_header.h"
#include "support/catalogue_text_fixture.h"

namespace {

std::string Noise(size_t size, unsigned seed)
{
    std::mt19937 generator(seed);
    std::string text(size, '\0');
    for (char& c : text)
        c = static_cast<char>(generator() & 0xFF);
    return text;
}

std::string EveryByte(int rounds)
{
    std::string text;
    for (int round = 0; round < rounds; ++round)
        for (int b = 0; b < 256; ++b)
            text += static_cast<char>(b);
    return text;
}

class HostileInputTest : public CatalogueTextTest {
protected:
    // Every reader over the loaded text: none may crash, hang or read past it.
    void ReadEverything()
    {
        ReadHeader(Catalogue());
        ItemsTree tree;
        ScanItems(Catalogue(), tree);
        int looked = 0;
        for (const NewTreeNode& node : tree.nodes) {
            if (++looked > 20)
                break;
            Catalogue().ItemDescription(node.text);
            for (const FileRecord& file : Catalogue().ItemFiles(node.text)) {
                EXPECT_LE(file.folder.size(), Catalogue().sourceText->size());
                EXPECT_LE(file.urlLine.size(), Catalogue().sourceText->size());
            }
        }
    }
};

TEST_F(HostileInputTest, MalformedTextsAreReadToTheirEnd)
{
    std::string longName(300, 'L');
    const std::string texts[] = {
        "",
        "\n",
        "*",
        "v",
        "v\n",
        "<items>",
        "<items>\n",
        "<items>\n[",
        "<items>\n#",
        "<items>\n[a]+",
        "<items>\n!!!!!!!!!!\n#a;!!!![b]",
        "v2.0.4\nu\n1\n<message>\n[a]\n{unterminated",
        "[a]\n{x}\n-f\n<items>\n[a]",
        "[a]\n{x}\n-f\n1\n\r\n\r\n\r\n",
        "<items>\n[" + longName + "]+\n#" + longName + "+;\n[" + longName + "]",
        std::string("v2.0.4\0\nu\n\0\n<message>\n\0\n</message>\n[a\0b]\n{\0}\n-\0\n1\n\0\n", 52) +
            std::string("<items>\n[a\0b]+\n#g\0;\n[\0]\n", 24),
        EveryByte(4),
        "<items>\n" + EveryByte(4),
        "v2.0.4\n" + EveryByte(4),
    };
    for (const std::string& text : texts) {
        SetUp();
        Load(text);
        ReadEverything();
    }
}

TEST_F(HostileInputTest, FiveMegabytesOfNoise)
{
    std::string noise = Noise(5 << 20, 1);
    for (const char* prefix : {"", "v", "<items>\n"}) {
        SetUp();
        Load(std::string(prefix) + noise);
        ReadEverything();
    }
}

TEST_F(HostileInputTest, LongNamesAreShownUpToAPathsLengthAndLookedUpCut)
{
    std::string fits(259, 'F');
    std::string longName(300, 'L');
    Load("[" + longName + "]\n{Long}\n-\n1\nhttp://127.0.0.1:47001/l\n<items>\n[" + longName + "]\n[" +
         fits + "]");
    ItemsTree tree;
    ASSERT_TRUE(ScanItems(Catalogue(), tree));
    ASSERT_EQ(tree.nodes.size(), 2u);
    EXPECT_EQ(tree.nodes[0].text, longName.substr(0, 259));
    EXPECT_EQ(tree.nodes[1].text, fits);
    // The tree's text is read back through 50 bytes.
    std::string shown = tree.nodes[0].text.substr(0, 49);
    EXPECT_EQ(Catalogue().ItemDescription(longName), "Long");
    EXPECT_TRUE(Catalogue().ItemFiles(shown).empty());
}

// Names grow to the end of their line and every node keeps its own: one
// line of "[a]" 333,333 times, or a "#" with 100 KB of name and 100 KB of
// ";", would ask for tens of gigabytes without a bound on what a node keeps.
TEST_F(HostileInputTest, NamesThatGrowAlongALineParseInBoundedMemory)
{
    std::string brackets;
    for (int i = 0; i < 333333; ++i)
        brackets += "[a]";
    const std::string texts[] = {
        "<items>\n" + brackets,
        "<items>\n#" + std::string(100000, 'a') + std::string(100000, ';'),
    };
    for (const std::string& text : texts) {
        SetUp();
        Load(text);
        ItemsTree tree;
        ASSERT_TRUE(ScanItems(Catalogue(), tree));
        size_t longest = 0;
        for (const NewTreeNode& node : tree.nodes)
            longest = std::max(longest, node.text.size());
        EXPECT_GE(tree.nodes.size(), 100000u);
        EXPECT_EQ(longest, 259u);
    }
}

// A text of ";" after a long group name made one node of 259 bytes per byte:
// 16 MB of it took 5 GB and a tree of 16 million nodes. Past 100,000 nodes
// entries make none; groups among them still take their "!".
TEST_F(HostileInputTest, NodesAreHeldToABoundCount)
{
    std::string items;
    for (int i = 0; i < 99999; ++i)
        items += "[a]";
    Load("<items>\n" + items + "\n#G;\n#H;\n[x]+\n!\n!\n[y]\n#" + std::string(259, 'n') +
         std::string(100000, ';'));
    ItemsTree tree;
    ASSERT_TRUE(ScanItems(Catalogue(), tree));
    EXPECT_EQ(tree.nodes.size(), 100000u);
    EXPECT_EQ(tree.nodes.back().text, "G");
    EXPECT_EQ(tree.parents, std::vector<int>({-1}));
    EXPECT_TRUE(tree.marked.empty());
}

// Depth of each node, its parent's plus one: parents come first.
std::vector<int> Depths(const ItemsTree& tree)
{
    std::vector<int> depths;
    for (const NewTreeNode& node : tree.nodes)
        depths.push_back(node.parent < 0 ? 1 : depths.at(node.parent) + 1);
    return depths;
}

// Groups nest no deeper than 64 levels; the closing marks still match their
// groups, so what follows lands where the catalogue puts it.
TEST_F(HostileInputTest, DeepNestingIsHeldToABoundDepth)
{
    const int groups = 20000;
    std::string closes;
    for (int i = 0; i < groups; ++i)
        closes += "!\n";
    Load("<items>\n#a" + std::string(groups, ';') + "\n" + closes + "[after]\n");
    ItemsTree tree;
    ASSERT_TRUE(ScanItems(Catalogue(), tree));
    std::vector<int> depths = Depths(tree);
    EXPECT_EQ(*std::max_element(depths.begin(), depths.end()), 64);
    EXPECT_EQ(std::count(depths.begin(), depths.end(), 1), 2);
    EXPECT_EQ(tree.nodes.back().text, "after");
    EXPECT_EQ(depths.back(), 1);
    EXPECT_EQ(LogText().find("Parsing error"), std::string::npos);
}

// Without the root on the stack (popped by a surplus "!") the bound is the
// same; the stack used to take one group more there.
TEST_F(HostileInputTest, DeepNestingAfterTheRootIsPopped)
{
    Load("<items>\n!\n#a" + std::string(200, ';') + "\n");
    ItemsTree tree;
    ASSERT_TRUE(ScanItems(Catalogue(), tree));
    std::vector<int> depths = Depths(tree);
    EXPECT_EQ(*std::max_element(depths.begin(), depths.end()), 64);
    EXPECT_EQ(tree.parents.size(), 63u);
}

}  // namespace
