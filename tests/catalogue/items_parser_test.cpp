#include "support/catalogue_fixture.h"
#include "worked_example.h"

namespace {

class ParseItemsTest : public CatalogueTest {};

TEST_F(ParseItemsTest, WorkedExampleBuildsTheTree)
{
    std::string text = WorkedExample();
    Load(text);
    ASSERT_TRUE(Catalogue().ParseItems());
    EXPECT_EQ(OutlineWithMarks(), "[ ] Maps\n"
                                  "  [x] Map pack\n"
                                  "[ ] Config\n");
    ASSERT_EQ(Catalogue().preChecked.size(), 1u);
    EXPECT_EQ(window.NodeText(Catalogue().preChecked[0]), "Map pack");

    size_t itemsBlock = text.find("#Maps;");
    std::string endOfHeader =
        "End of header (" + std::to_string(itemsBlock) + " chars, 20 lines).\n";
    EXPECT_EQ(LogText(), "\n--== Parsing config file ==--\n\n" + endOfHeader +
                             "\n--== End of config parsing ==-- \n\n");
}

TEST_F(ParseItemsTest, ItemsBlockLinesMakeTheseNodes)
{
    std::string longName(60, 'n');
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
        {"[A] [B]+", "[ ] A\n[x] AB\n"},
        {"#;", "[ ] \n"},
        {"  \t[ spaced name ]\r", "[ ]  spaced name \n"},
        {"#open\n[open\n[b]", "[ ] b\n"},  // no closing mark on the line: nothing
        {"; [c]\n[d] ; [e]", "[ ] d\n"},
        {"#G;\n[a]\n!\n[b]", "[ ] G\n  [ ] a\n[ ] b\n"},
        {"#G;\n#H;\n[a]\n!\n[b]", "[ ] G\n  [ ] H\n    [ ] a\n  [ ] b\n"},
        {"[" + longName + "]", "[ ] " + longName + "\n"},
    };
    for (const Case& c : cases) {
        SetUp();
        Load("<items>\n" + c.block);
        ASSERT_TRUE(Catalogue().ParseItems()) << c.block;
        EXPECT_EQ(OutlineWithMarks(), c.outline) << c.block;
    }
}

TEST_F(ParseItemsTest, SurplusClosingMarksPopTheRootThenAreRefused)
{
    Load("<items>\n#G;\n!\n!\n!\n[a]\n#H;\n[b]\n");
    ASSERT_TRUE(Catalogue().ParseItems());
    // Nodes after the root is gone land at the top.
    EXPECT_EQ(OutlineWithMarks(), "[ ] G\n[ ] a\n[ ] H\n  [ ] b\n");
    std::string log = LogText();
    size_t first = log.find("Parsing error ! Trying to use null object\n");
    ASSERT_NE(first, std::string::npos);
    EXPECT_EQ(log.find("Parsing error", first + 1), std::string::npos);
}

TEST_F(ParseItemsTest, HeaderRegionEndsAtTheFirstItemsTag)
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
        ASSERT_TRUE(Catalogue().ParseItems());
        EXPECT_EQ(OutlineWithMarks(), c.outline);
        EXPECT_NE(LogText().find(c.logged), std::string::npos) << c.logged;
    }
}

TEST_F(ParseItemsTest, NoItemsTagInsertsNothing)
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
        EXPECT_FALSE(Catalogue().ParseItems());
        EXPECT_EQ(window.Outline(), "");
        EXPECT_NE(LogText().find(c.logged), std::string::npos) << c.logged;
    }
}

TEST_F(ParseItemsTest, LineEndsDoNotChangeTheTree)
{
    Load(WorkedExample("\n"));
    ASSERT_TRUE(Catalogue().ParseItems());
    std::string withLf = OutlineWithMarks();
    SetUp();
    Load(WorkedExample("\r\n"));
    ASSERT_TRUE(Catalogue().ParseItems());
    EXPECT_EQ(OutlineWithMarks(), withLf);
}

}  // namespace
