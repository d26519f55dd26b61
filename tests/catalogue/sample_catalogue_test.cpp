#include "catalogue/catalogue_header.h"
#include "support/catalogue_text_fixture.h"
#include "support/whole_file.h"

namespace {

class SampleCatalogueTest : public CatalogueTextTest {};

// The demo serves this file; it has to stay a catalogue that installs.
TEST_F(SampleCatalogueTest, ParsesWithRecordsOnTheLoopbackServer)
{
    Load(ReadWholeFile(TAVRIN_TEST_DATA "/sample_catalogue.txt"));
    ItemsTree tree;
    ASSERT_TRUE(ScanItems(Catalogue(), tree));
    CatalogueHeader header = ReadHeader(Catalogue());
    ASSERT_TRUE(header.valid);
    EXPECT_EQ(header.version.patch, 4);
    EXPECT_NE(header.message.find("3. Install"), std::string::npos);

    EXPECT_EQ(Outline(tree), "[ ] Mods\n"
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
    for (const NewTreeNode& node : tree.nodes) {
        if (node.parent < 0)
            continue;  // the groups
        // What the window gives back of the name.
        std::string name = node.text.substr(0, 49);
        EXPECT_NE(Catalogue().ItemDescription(name), "") << name;
        std::vector<FileRecord> files = Catalogue().ItemFiles(name);
        ASSERT_FALSE(files.empty()) << name;
        for (const FileRecord& file : files) {
            EXPECT_EQ(file.urlLine.rfind("http://127.0.0.1:4700", 0), 0u) << name;
            EXPECT_GT(file.size, 0) << name;
        }
    }
}

}  // namespace
