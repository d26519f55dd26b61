#pragma once
#include <string>

#include "core/application.h"
#include "support/app_fixture.h"
#include "support/catalogue_text_fixture.h"
#include "support/memory_window_operations.h"

// The catalogue of theApp over the test's text, and an in-memory tree.
class CatalogueTest : public CatalogueTextTest {
protected:
    // Also starts a fresh case inside one test.
    void SetUp() override
    {
        RebuildApplication();
        catalogue = theApp.catalogue.get();
        CatalogueTextTest::SetUp();
        window.DeleteAllNodes();
        window.nodes.clear();
    }
    void TearDown() override
    {
        CatalogueTextTest::TearDown();
        RebuildApplication();
    }

    // The tree after the start-up has checked the marked nodes.
    std::string OutlineWithMarks()
    {
        for (HTREEITEM node : Catalogue().preChecked)
            window.SetCheckState(node, checkChecked);
        return window.Outline();
    }

    CMemoryWindowOperations window;
};
