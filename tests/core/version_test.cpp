#include <gtest/gtest.h>

#include <string>

#include "core/application.h"
#include "core/version.h"
#include "support/whole_file.h"

namespace {

// The scripts and the end-to-end tests take the version from the build's
// version.txt; the program must show the same one.
TEST(Version, TheProgramShowsTheVersionTheBuildRecords)
{
    std::string recorded = ReadWholeFile(TAVRIN_BUILD_FACTS "/version.txt");
    ASSERT_FALSE(recorded.empty());
    recorded.pop_back();  // its LF
    EXPECT_EQ(VersionText(), recorded);
    EXPECT_EQ(theApp.title, "Tavrin " + recorded);
}

}  // namespace
