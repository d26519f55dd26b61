#include "support/catalogue_fixture.h"
#include "ui/item_tree.h"
#include "support/whole_file.h"
#include "worked_example.h"

namespace {

class ParseItemsTest : public CatalogueTest {};

// ParseItems puts into the window what the scan found, marks included.
TEST_F(ParseItemsTest, TheWindowGetsTheScannedTree)
{
    const std::string texts[] = {
        WorkedExample(),
        ReadWholeFile(TAVRIN_TEST_DATA "/sample_catalogue.txt"),
        "<items>\n#G;\n!\n!\n!\n[a]+\n#H+;\n[b]\n",
        "<items>\n#A++;;;\n[c]+\n!\n[A] [B]+\n",
    };
    for (const std::string& catalogueText : texts) {
        SetUp();
        Load(catalogueText);
        ItemsTree tree;
        ASSERT_TRUE(ScanItems(Catalogue(), tree));
        ASSERT_TRUE(ParseItems(Catalogue(), window));
        EXPECT_EQ(OutlineWithMarks(), Outline(tree));
        ASSERT_EQ(Catalogue().preChecked.size(), tree.marked.size());
        for (size_t i = 0; i < tree.marked.size(); ++i)
            EXPECT_EQ(window.At(Catalogue().preChecked[i]).text, tree.nodes[tree.marked[i]].text);
    }
}

TEST_F(ParseItemsTest, TheParentStackHoldsTreeHandles)
{
    Load(WorkedExample());
    ASSERT_TRUE(ParseItems(Catalogue(), window));
    EXPECT_EQ(Catalogue().parentStack, std::vector<HTREEITEM>({nullptr}));

    SetUp();
    Load("<items>\n#G;\n!\n!\n#H;\n#I;\n");
    ASSERT_TRUE(ParseItems(Catalogue(), window));
    ASSERT_EQ(Catalogue().parentStack.size(), 2u);
    EXPECT_EQ(window.NodeText(Catalogue().parentStack[0]), "H");
    EXPECT_EQ(window.NodeText(Catalogue().parentStack[1]), "I");
}

TEST_F(ParseItemsTest, NoItemsTagInsertsNothing)
{
    Load("v2.0.4\nu\n1\n<message>\n</message>\n[a]\n");
    EXPECT_FALSE(ParseItems(Catalogue(), window));
    EXPECT_EQ(window.Outline(), "");
    EXPECT_TRUE(Catalogue().preChecked.empty());
}

}  // namespace
