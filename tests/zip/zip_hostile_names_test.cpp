#include <algorithm>
#include <iterator>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/file_tree.h"
#include "support/test_folder.h"
#include "support/zip_support.h"

// Extracted as the install run does, to the target folder, "/" and the
// record's name: what is kept lands inside, the rest is refused.
TEST(ZipHostileNames, AreRefusedOrKeptInsideTheTarget)
{
    const std::string longName(300, 'n');
    const struct {
        std::string stored;
        const char* record;
        ZipResult result;
        const char* written;  // below the target, for a name that is kept
    } cases[] = {
        {"..", "..", zipUnsafeName, nullptr},
        {"..\\", "", zipOk, nullptr},  // nothing left but the target itself
        {"/abs", "abs", zipOk, "abs"},
        {"C:\\x", "x", zipOk, "x"},
        {"\\\\server\\share\\x", "server\\share\\x", zipOk, "server\\share\\x"},
        {"CON", "CON", zipUnsafeName, nullptr},
        {"aux.txt", "aux.txt", zipUnsafeName, nullptr},
        {"NUL", "NUL", zipUnsafeName, nullptr},
        {"Con .txt", "Con .txt", zipUnsafeName, nullptr},
        {"maps/com1.bsp", "maps/com1.bsp", zipUnsafeName, nullptr},
        {"lpt1/", "lpt1/", zipUnsafeName, nullptr},
        {"file.txt:stream", "file.txt:stream", zipUnsafeName, nullptr},
        {"\\\\?\\C:\\x", "?\\C:\\x", zipUnsafeName, nullptr},
        {"a<b>.txt", "a<b>.txt", zipUnsafeName, nullptr},
        {longName, "", zipUnsafeName, nullptr},
        // Trailing dots and spaces go, as Windows would drop them.
        {"readme.txt.", "readme.txt", zipOk, "readme.txt"},
        {"folder. /notes.txt ", "folder/notes.txt", zipOk, "folder\\notes.txt"},
        {"...", "...", zipUnsafeName, nullptr},
        {"dir/..", "dir/..", zipUnsafeName, nullptr},
        {". ./x", ". ./x", zipUnsafeName, nullptr},
    };
    CTestFolder folder;
    const std::string target = folder.Path() + "\\target";
    CreateDirectoryA(target.c_str(), nullptr);
    CArchive archive("hostile.zip");
    ASSERT_EQ(static_cast<int32_t>(std::size(cases)), archive.Entry(-1).index);
    std::vector<std::string> expected = {target};
    for (int32_t i = 0; i < static_cast<int32_t>(std::size(cases)); ++i) {
        const auto& c = cases[i];
        ZipEntryInfo entry = archive.Entry(i);
        EXPECT_STREQ(c.record, entry.name) << c.stored;
        EXPECT_EQ(c.result, ZipExtractToFile(archive.Handle(), i, (target + "/" + entry.name).c_str())) << c.stored;
        if (c.written) {
            EXPECT_EQ(c.stored, ReadWholeFile(target + "\\" + c.written)) << c.stored;
            for (std::string path = c.written;; path.resize(path.rfind('\\'))) {
                expected.push_back(target + "\\" + path);
                if (path.find('\\') == std::string::npos)
                    break;
            }
        }
    }
    // Nothing else anywhere: no file beside the target, none under another name.
    std::vector<std::string> written;
    ListTree(folder.Path(), &written);
    std::sort(written.begin(), written.end());
    std::sort(expected.begin(), expected.end());
    expected.erase(std::unique(expected.begin(), expected.end()), expected.end());
    EXPECT_EQ(expected, written);
}
