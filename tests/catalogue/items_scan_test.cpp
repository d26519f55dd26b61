#include "support/catalogue_text_fixture.h"
#include "worked_example.h"

namespace {

class ScanItemsTest : public CatalogueTextTest {
protected:
    // The outline of the loaded text's items block; empty without one.
    std::string ScannedOutline()
    {
        ItemsTree tree;
        EXPECT_TRUE(ScanItems(Catalogue(), tree)) << text;
        return Outline(tree);
    }
};

TEST_F(ScanItemsTest, WorkedExampleBuildsTheTree)
{
    Load(WorkedExample());
    ItemsTree tree;
    ASSERT_TRUE(ScanItems(Catalogue(), tree));
    EXPECT_EQ(Outline(tree), "[ ] Maps\n"
                             "  [x] Map pack\n"
                             "[ ] Config\n");
    ASSERT_EQ(tree.marked.size(), 1u);
    EXPECT_EQ(tree.nodes.at(tree.marked[0]).text, "Map pack");
    EXPECT_EQ(tree.parents, std::vector<int>({-1}));

    size_t itemsBlock = text.find("#Maps;");
    std::string endOfHeader =
        "End of header (" + std::to_string(itemsBlock) + " chars, 20 lines).\n";
    EXPECT_EQ(LogText(), "\n--== Parsing config file ==--\n\n" + endOfHeader +
                             "\n--== End of config parsing ==-- \n\n");
}

TEST_F(ScanItemsTest, ItemsBlockLinesMakeTheseNodes)
{
    std::string longName(60, 'n');
    std::string cut(259, 'g');
    struct Case {
        std::string block;
        std::string outline;
    } cases[] = {
        {"#Mods+;\n[a]\n!", "[x] Mods\n  [ ] a\n"},
        {"#Mods +;", "[x] Mods \n"},
        {"#Mods+ ;", "[ ] Mods+ \n"},
        {"[Tools] +", "[ ] Tools\n"},
        {"[Tools]+", "[x] Tools\n"},
        {"[Tools]", "[ ] Tools\n"},  // "]" is the last byte of the text
        {"#A;B;", "[ ] A\n  [ ] AB\n"},
        {"#A;B;\n[c]", "[ ] A\n  [ ] AB\n    [ ] c\n"},
        // The mark's "+" leaves the name before the next ";" sees it.
        {"#A+;B;", "[x] A\n  [ ] AB\n"},
        {"#A++;;;", "[x] A+\n  [x] A\n    [ ] A\n"},
        {"[A] [B]+", "[ ] A\n[x] AB\n"},
        {"#;", "[ ] \n"},
        {"#+;", "[x] \n"},
        {"  \t[ spaced name ]\r", "[ ]  spaced name \n"},
        {"#open\n[open\n[b]", "[ ] b\n"},  // no closing mark on the line: nothing
        {"; [c]\n[d] ; [e]", "[ ] d\n"},
        {"#G;\n[a]\n!\n[b]", "[ ] G\n  [ ] a\n[ ] b\n"},
        {"#G;\n#H;\n[a]\n!\n[b]", "[ ] G\n  [ ] H\n    [ ] a\n  [ ] b\n"},
        {"[" + longName + "]", "[ ] " + longName + "\n"},
        // Names are kept up to 259 bytes; the mark is that of the whole name.
        {"#" + cut + "xyz+;", "[x] " + cut + "\n"},
        {"#" + cut.substr(1) + "+;", "[x] " + cut.substr(1) + "\n"},
        {"#" + cut + "+;x;", "[x] " + cut + "\n  [ ] " + cut + "\n"},
    };
    for (const Case& c : cases) {
        SetUp();
        Load("<items>\n" + c.block);
        EXPECT_EQ(ScannedOutline(), c.outline) << c.block;
    }
}

TEST_F(ScanItemsTest, SurplusClosingMarksPopTheRootThenAreRefused)
{
    Load("<items>\n#G;\n!\n!\n!\n[a]\n#H;\n[b]\n");
    ItemsTree tree;
    ASSERT_TRUE(ScanItems(Catalogue(), tree));
    // Nodes after the root is gone land at the top.
    EXPECT_EQ(Outline(tree), "[ ] G\n[ ] a\n[ ] H\n  [ ] b\n");
    EXPECT_EQ(tree.parents, std::vector<int>({2}));
    std::string log = LogText();
    size_t first = log.find("Parsing error ! Trying to use null object\n");
    ASSERT_NE(first, std::string::npos);
    EXPECT_EQ(log.find("Parsing error", first + 1), std::string::npos);
}

TEST_F(ScanItemsTest, HeaderRegionEndsAtTheFirstItemsTag)
{
    struct Case {
        std::string text;
        std::string outline;
        const char* logged;
    } cases[] = {
        {"<items>\n[a]", "[ ] a\n", "End of header (8 chars, 0 lines)."},
        {"x <items> [skipped]\n[a]", "[ ] a\n", "End of header (20 chars, 0 lines)."},
        {"v2.0.4\n<message>\n<items>\n</message>\n[a]", "[ ] a\n",
         "End of header (25 chars, 2 lines)."},
        {"a\r\n<items>\r\n[b]+\r\n", "[x] b\n", "End of header (12 chars, 1 lines)."},
    };
    for (const Case& c : cases) {
        SetUp();
        Load(c.text);
        EXPECT_EQ(ScannedOutline(), c.outline);
        EXPECT_NE(LogText().find(c.logged), std::string::npos) << c.logged;
    }
}

TEST_F(ScanItemsTest, NoItemsTagGivesNoTree)
{
    struct Case {
        std::string text;
        const char* logged;
    } cases[] = {
        {"", "Eof reached ! <items> tag missing? (0)"},
        {"v2.0.4\nu\n1\n<message>\n</message>\n[a]\n", "Eof reached ! <items> tag missing? (6)"},
        {"a\nb\n*\n<items>\n[c]\n", "Eof reached ! <items> tag missing? (2)"},  // a line "*"
        {"<item>\n[c]", "Eof reached ! <items> tag missing? (2)"},
    };
    for (const Case& c : cases) {
        SetUp();
        Load(c.text);
        ItemsTree tree;
        EXPECT_FALSE(ScanItems(Catalogue(), tree));
        EXPECT_TRUE(tree.nodes.empty() && tree.marked.empty());
        EXPECT_NE(LogText().find(c.logged), std::string::npos) << c.logged;
    }
}

TEST_F(ScanItemsTest, LineEndsDoNotChangeTheTree)
{
    Load(WorkedExample("\n"));
    std::string withLf = ScannedOutline();
    Load(WorkedExample("\r\n"));
    EXPECT_EQ(ScannedOutline(), withLf);
}

}  // namespace
