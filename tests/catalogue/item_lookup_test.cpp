#include <vector>

#include "catalogue/record_lines.h"
#include "support/catalogue_text_fixture.h"
#include "worked_example.h"

namespace {

using Strings = std::vector<std::string>;
using Sizes = std::vector<int32_t>;

struct Records {
    Strings folders;
    Strings urlLines;
    Sizes sizes;
};

class ItemLookupTest : public CatalogueTextTest {
protected:
    Records FilesOf(const std::string& name)
    {
        Records records;
        for (const FileRecord& file : Catalogue().ItemFiles(name)) {
            records.folders.push_back(file.folder);
            records.urlLines.push_back(file.urlLine);
            records.sizes.push_back(file.size);
        }
        return records;
    }
};

TEST_F(ItemLookupTest, WorkedExampleDescriptionsAndRecords)
{
    Load(WorkedExample());
    EXPECT_EQ(Catalogue().ItemDescription("Map pack"), "Twenty maps for duels.");
    EXPECT_EQ(Catalogue().ItemDescription("Config"), "");
    EXPECT_EQ(Catalogue().ItemDescription("Maps"), "");

    Records mapPack = FilesOf("Map pack");
    EXPECT_EQ(mapPack.folders, Strings({"baseq3", "maps"}));
    EXPECT_EQ(mapPack.sizes, Sizes({5000000, 2000}));
    EXPECT_EQ(mapPack.urlLines,
              Strings({"http://127.0.0.1:47001/files/maps.zip http://127.0.0.1:47002/files/maps.zip",
                       "http://127.0.0.1:47001/files/more.zip"}));

    Records config = FilesOf("Config");
    EXPECT_EQ(config.folders, Strings({""}));
    EXPECT_EQ(config.sizes, Sizes({300}));
    EXPECT_EQ(config.urlLines, Strings({"http://127.0.0.1:47001/files/q3config.cfg"}));

    Records maps = FilesOf("Maps");
    EXPECT_TRUE(maps.folders.empty() && maps.urlLines.empty() && maps.sizes.empty());
}

// The lookups keep nothing between calls: each gives its own item's records.
TEST_F(ItemLookupTest, EachLookupGivesOnlyItsOwnRecords)
{
    Load(WorkedExample());
    Strings urlLines = FilesOf("Map pack").urlLines;
    Sizes sizes = FilesOf("Config").sizes;
    EXPECT_EQ(urlLines.size(), 2u);
    EXPECT_EQ(urlLines, FilesOf("Map pack").urlLines);
    EXPECT_EQ(sizes, Sizes({300}));
}

// The same section written with LF and with CR LF line ends: the records are
// the same; only a description keeps its CRs.
TEST_F(ItemLookupTest, CrLfRecordsAreThoseOfTheLfTwin)
{
    auto section = [](const std::string& end) {
        return Lines({"[Pack]", "{Twenty maps", "for duels.}", "-baseq3 ; where it goes", "10",
                      "http://127.0.0.1:47001/files/a.zip", "", "-maps", "20",
                      "http://127.0.0.1:47001/files/b.zip", "[Other]", "{}", "", "-x", "30",
                      "http://127.0.0.1:47001/files/c.zip", "<items>", "[Pack]", "[Other]"},
                     end);
    };

    Load(section("\n"));
    EXPECT_EQ(Catalogue().ItemDescription("Pack"), "Twenty mapsfor duels.");
    Records pack = FilesOf("Pack");  // the empty line ends the records
    EXPECT_EQ(pack.folders, Strings({"baseq3"}));
    EXPECT_EQ(pack.urlLines, Strings({"http://127.0.0.1:47001/files/a.zip"}));
    Records other = FilesOf("Other");  // the empty line before the record is passed over
    EXPECT_EQ(other.folders, Strings({"x"}));
    EXPECT_EQ(other.sizes, Sizes({30}));

    Load(section("\r\n"));
    EXPECT_EQ(Catalogue().ItemDescription("Pack"), "Twenty maps\rfor duels.");
    pack = FilesOf("Pack");
    EXPECT_EQ(pack.folders, Strings({"baseq3"}));
    EXPECT_EQ(pack.sizes, Sizes({10}));
    EXPECT_EQ(pack.urlLines, Strings({"http://127.0.0.1:47001/files/a.zip"}));
    other = FilesOf("Other");
    EXPECT_EQ(other.folders, Strings({"x"}));
    EXPECT_EQ(other.sizes, Sizes({30}));
    EXPECT_EQ(other.urlLines, Strings({"http://127.0.0.1:47001/files/c.zip"}));
}

TEST_F(ItemLookupTest, KeyIsFoundWhereverItFirstOccurs)
{
    // The message mentions [Pack] before its section does.
    Load(Lines({"v2.0.4", "u", "1", "<message>", "Try [Pack] now", "{Message text}", "-m", "1",
                "http://127.0.0.1:47001/m", "</message>", "[Pack]", "{Real}", "-p", "2",
                "http://127.0.0.1:47001/p", "<items>", "[Pack]", "[Loose]", "{Tail}", "-t",
                "3", "http://127.0.0.1:47001/t"}));
    EXPECT_EQ(Catalogue().ItemDescription("Pack"), "Message text");
    EXPECT_EQ(FilesOf("Pack").folders, Strings({"m"}));
    // Without a section of its own an entry reads the lines after itself.
    EXPECT_EQ(Catalogue().ItemDescription("Loose"), "Tail");
    EXPECT_EQ(FilesOf("Loose").urlLines, Strings({"http://127.0.0.1:47001/t"}));
}

TEST_F(ItemLookupTest, RecordsBetweenCommentsAndBlanks)
{
    Load(Lines({"[A]", "{Two files}", "; before the first record", "", "-one ;c", "1 ; bytes",
                "http://127.0.0.1:47001/1 ; first", "\t; note", " x ", "-two", "0x10",
                "http://127.0.0.1:47001/2", "xy", "-three", "3", "http://127.0.0.1:47001/3"}));
    Records a = FilesOf("A");
    EXPECT_EQ(a.folders, Strings({"one", "two"}));
    EXPECT_EQ(a.sizes, Sizes({1, 16}));
    EXPECT_EQ(a.urlLines, Strings({"http://127.0.0.1:47001/1", "http://127.0.0.1:47001/2"}));
}

TEST_F(ItemLookupTest, TextEndingInsideASection)
{
    struct Case {
        const char* what;
        std::string text;
        std::string description;
        size_t records;
    } cases[] = {
        {"no closing brace", "[A]\n{Never closed\n-a\n1\nhttp://127.0.0.1:47001/a\n",
         "Never closed-a1http://127.0.0.1:47001/a", 0},
        {"head line only", "[A]", "", 0},
        {"nothing after the description", "[A]\n{d}\n", "d", 0},
        {"nothing after the description but comments", "[A]\n{d}\n\n;c\n", "d", 0},
        {"record cut short", "[A]\n{d}\n-a\n", "d", 1},
        {"last record without LF", "[A]\n{d}\n-a\n5\nhttp://127.0.0.1:47001/a", "d", 1},
        {"a line of '*' after a skipped line", "[A]\n{d}\n-a\n5\nu\nx\n*\n-b\n6\nv\n", "d", 1},
    };
    for (const Case& c : cases) {
        Load(c.text);
        EXPECT_EQ(Catalogue().ItemDescription("A"), c.description) << c.what;
        EXPECT_EQ(FilesOf("A").folders.size(), c.records) << c.what;
    }
}

TEST(RecordLines, CutCommentKeepsTheFirstByte)
{
    struct Case {
        const char* line;
        const char* cut;
    } cases[] = {
        {"-maps ; comment", "-maps"}, {"-maps\t \t", "-maps"}, {"   ", " "},
        {"; all comment", ""},        {"-maps \r", "-maps \r"}, {"a;b;c", "a"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CutComment(c.line), c.cut) << c.line;
}

TEST(RecordLines, ClassifyLine)
{
    struct Case {
        const char* line;
        RecordLine kind;
    } cases[] = {
        {"-maps", RecordLine::NextRecord}, {"-", RecordLine::NextRecord},
        {"\r", RecordLine::Skipped},       {" \t\r ", RecordLine::Skipped},
        {"  ; note", RecordLine::Skipped}, {"x", RecordLine::Skipped},
        {"", RecordLine::End},             {"   ", RecordLine::End},
        {"[Next item]", RecordLine::End},  {" -maps", RecordLine::End},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ClassifyLine(c.line), c.kind) << c.line;
}

TEST(RecordLines, SplitUrlsAtEachSpace)
{
    struct Case {
        const char* line;
        Strings urls;
    } cases[] = {
        {"http://a/x.zip", {"http://a/x.zip"}},
        {"http://a/x.zip http://b/x.zip", {"http://a/x.zip", "http://b/x.zip"}},
        {"http://a/x.zip  http://b/x.zip", {"http://a/x.zip", "", "http://b/x.zip"}},
        {"http://a/x.zip ", {"http://a/x.zip", ""}},
        {" http://a/x.zip", {"", "http://a/x.zip"}},
        {"", {""}},
        {"http://a/x.zip\thttp://b/x.zip", {"http://a/x.zip\thttp://b/x.zip"}},  // only a space parts them
    };
    for (const Case& c : cases)
        EXPECT_EQ(SplitUrls(c.line), c.urls) << c.line;
}

}  // namespace
