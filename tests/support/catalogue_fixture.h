#pragma once
#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

#include "core/application.h"
#include "core/log.h"
#include "catalogue/catalogue.h"
#include "support/app_fixture.h"
#include "support/memory_window_operations.h"
#include "support/test_folder.h"

// The lines joined, each followed by `end` ("\n" or "\r\n").
inline std::string Lines(std::initializer_list<std::string> lines, const std::string& end = "\n")
{
    std::string text;
    for (const std::string& line : lines)
        text += line + end;
    return text;
}

// A catalogue text in theApp, an in-memory tree, and a fresh log.txt in a
// temporary folder.
class CatalogueTest : public CApplicationTest {
protected:
    // Also starts a fresh case inside one test.
    void SetUp() override
    {
        CApplicationTest::SetUp();
        theLog.Close();
        theLog.Open();
        theApp.catalogue->sourceText = &theApp.catalogueText;
        window.DeleteAllNodes();
        window.nodes.clear();
    }
    void TearDown() override
    {
        theLog.Close();
        CApplicationTest::TearDown();
    }

    CCatalogue& Catalogue() { return *theApp.catalogue; }
    void Load(const std::string& text) { theApp.catalogueText = text; }

    // The log so far, with LF line ends.
    std::string LogText()
    {
        theLog.Close();
        std::string text;
        for (char c : ReadWholeFile("log.txt"))
            if (c != '\r')
                text += c;
        return text;
    }

    // The tree after the start-up has checked the marked nodes.
    std::string OutlineWithMarks()
    {
        for (HTREEITEM node : Catalogue().preChecked)
            window.SetCheckState(node, 2);
        return window.Outline();
    }

    CTestFolder folder;
    CMemoryWindowOperations window;
};
