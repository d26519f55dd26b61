#include "app/startup.h"
#include "catalogue/catalogue_header.h"
#include "support/catalogue_fixture.h"

namespace {

class SampleCatalogueTest : public CatalogueTest {};

// The demo serves this file; it has to stay a catalogue that installs.
TEST_F(SampleCatalogueTest, ParsesWithRecordsOnTheLoopbackServer)
{
    Load(ReadWholeFile(TAVRIN_TEST_DATA "/sample_catalogue.txt"));
    ASSERT_TRUE(Catalogue().ParseItems());
    EXPECT_FALSE(ApplyCatalogueHeader());
    EXPECT_EQ(ReadVersionLine(theApp.catalogueText.substr(0, 6)).patch, 4);
    EXPECT_NE(theApp.catalogueMessage.find("3. Install"), std::string::npos);

    EXPECT_EQ(OutlineWithMarks(), "[ ] Mods\n"
                                  "  [ ] CPMA\n"
                                  "  [ ] Defrag\n"
                                  "  [ ] OSP\n"
                                  "[ ] Maps\n"
                                  "  [x] Duel maps\n"
                                  "  [ ] Team arena maps\n"
                                  "[ ] Configs\n"
                                  "  [x] Default config\n"
                                  "[ ] Tools\n"
                                  "  [ ] SuperHUD Editor\n"
                                  "  [ ] Game Scanner\n");
    for (HTREEITEM group = window.FirstTopNode(); group; group = window.NextSibling(group)) {
        for (HTREEITEM item = window.FirstChild(group); item; item = window.NextSibling(item)) {
            std::string name = window.NodeText(item);
            EXPECT_NE(Catalogue().ItemDescription(name), "") << name;
            std::vector<std::string> urlLines;
            std::vector<int32_t> sizes;
            Catalogue().ItemFiles(name, nullptr, &urlLines, &sizes);
            ASSERT_FALSE(urlLines.empty()) << name;
            for (size_t i = 0; i < urlLines.size(); ++i) {
                EXPECT_EQ(urlLines[i].rfind("http://127.0.0.1:4700", 0), 0u) << name;
                EXPECT_GT(sizes[i], 0) << name;
            }
        }
    }
}

}  // namespace
