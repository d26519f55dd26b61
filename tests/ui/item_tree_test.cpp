#include <gtest/gtest.h>

#include <string>
#include <windows.h>

#include "core/application.h"
#include "catalogue/catalogue.h"
#include "support/app_fixture.h"
#include "support/memory_window_operations.h"
#include "ui/item_tree.h"

namespace {

// G1 (a, G2 (b, c), d), e, G3 (f); items have descriptions, groups none.
class ItemTreeTest : public CApplicationTest {
protected:
    void SetUp() override
    {
        CApplicationTest::SetUp();
        text = "[a]\n{About a}\n[e]\n{About e}\n";
        theApp.catalogue->sourceText = &text;
        g1 = window.InsertNode(nullptr, "G1");
        a = window.InsertNode(g1, "a");
        g2 = window.InsertNode(g1, "G2");
        b = window.InsertNode(g2, "b");
        c = window.InsertNode(g2, "c");
        d = window.InsertNode(g1, "d");
        e = window.InsertNode(nullptr, "e");
        g3 = window.InsertNode(nullptr, "G3");
        f = window.InsertNode(g3, "f");
        // The control reports each change of selection.
        window.selectionChanged = ShowSelectedItemInfo;
    }


    // A click on a check box: our handling, then the control's own toggle.
    void ClickCheckBox(HTREEITEM node)
    {
        OnCheckBoxClick(node);
        window.SetCheckState(node, window.CheckState(node) == 1 ? 2 : 1);
    }

    // The checked nodes, in the order inserted (depth first here).
    std::string CheckedNames()
    {
        std::string names;
        for (const CMemoryWindowOperations::Node& node : window.nodes)
            if (node.checkState == 2)
                names += (names.empty() ? "" : " ") + node.text;
        return names;
    }

    void CheckAll()
    {
        for (CMemoryWindowOperations::Node& node : window.nodes)
            node.checkState = 2;
    }

    std::string text;
    CMemoryWindowOperations window;
    HTREEITEM g1, a, g2, b, c, d, e, g3, f;
};

TEST_F(ItemTreeTest, CheckSubtreeChecksEverythingBelowAndLeavesTheNode)
{
    CheckSubtree(g1);
    EXPECT_EQ(CheckedNames(), "a G2 b c d");
    // Depth first: the selection ends on the last node visited, shown open.
    EXPECT_EQ(window.SelectedNode(), d);
    EXPECT_TRUE(window.At(g1).expanded);
    EXPECT_TRUE(window.At(g2).expanded);
    EXPECT_EQ(window.infoTitle, "d");
}

TEST_F(ItemTreeTest, UncheckSubtreeUnchecksEverythingBelowAndLeavesTheNode)
{
    CheckAll();
    UncheckSubtree(g1);
    EXPECT_EQ(CheckedNames(), "G1 e G3 f");
}

TEST_F(ItemTreeTest, ClickingACheckBoxCarriesTheNewStateDown)
{
    ClickCheckBox(g2);
    EXPECT_EQ(CheckedNames(), "G2 b c");
    EXPECT_EQ(window.infoTitle, "c");

    ClickCheckBox(g1);
    EXPECT_EQ(CheckedNames(), "G1 a G2 b c d");
    ClickCheckBox(g2);  // a group unchecked under a checked one
    EXPECT_EQ(CheckedNames(), "G1 a d");
}

TEST_F(ItemTreeTest, ClickingALeafChangesItAloneAndShowsIt)
{
    window.SetCheckState(e, 2);
    ClickCheckBox(e);
    EXPECT_EQ(window.CheckState(e), 1);
    EXPECT_EQ(window.SelectedNode(), e);
    EXPECT_EQ(window.infoTitle, "e");
    EXPECT_EQ(window.infoBody, "About e");
    ClickCheckBox(e);
    EXPECT_EQ(CheckedNames(), "e");
}

TEST_F(ItemTreeTest, SelectAllThenSelectNone)
{
    window.At(g3).expanded = true;
    SelectAll();
    for (const CMemoryWindowOperations::Node& node : window.nodes)
        EXPECT_EQ(node.checkState, 2) << node.text;
    for (HTREEITEM top : {g1, e, g3})
        EXPECT_FALSE(window.At(top).expanded);

    SelectNone();
    for (const CMemoryWindowOperations::Node& node : window.nodes)
        EXPECT_EQ(node.checkState, 1) << node.text;
    for (HTREEITEM top : {g1, e, g3})
        EXPECT_FALSE(window.At(top).expanded);
}

TEST_F(ItemTreeTest, SelectedNodeShowsNameAndDescription)
{
    std::string longName(60, 'x');
    text += "[" + longName + "]\n{Never shown}\n";
    HTREEITEM longNode = window.InsertNode(nullptr, longName);
    struct Case {
        HTREEITEM node;
        std::string title;
        std::string body;
    } cases[] = {
        {a, "a", "About a"},
        {g2, "G2", ""},
        {longNode, longName.substr(0, 49), ""},
    };
    for (const Case& c : cases) {
        window.SelectNode(c.node);
        EXPECT_EQ(window.infoTitle, c.title);
        EXPECT_EQ(window.infoBody, c.body);
    }
}

TEST_F(ItemTreeTest, NoSelectionShowsNothing)
{
    text += "[]\n{Not an item}\n";
    window.infoTitle = window.infoBody = "old";
    ShowSelectedItemInfo();
    EXPECT_EQ(window.infoTitle, "");
    EXPECT_EQ(window.infoBody, "");
}

}  // namespace

namespace {

// Selecting a node here skips opening its parents one by one, which on a
// long chain would cost the square of its length.
class CFlatSelection : public CMemoryWindowOperations {
public:
    void SelectNode(HTREEITEM node) override { selected = node; }
};

// A chain of groups far deeper than any catalogue: checking it walks
// without using the thread's stack (1 MB here, as the window thread's).
TEST(ItemTreeDepth, ADeepChainIsCheckedWithoutExhaustingTheStack)
{
    CFlatSelection window;
    HTREEITEM top = window.InsertNode(nullptr, "g");
    HTREEITEM node = top;
    for (int depth = 1; depth < 200000; ++depth)
        node = window.InsertNode(node, "g");
    HTREEITEM deepest = node;

    HANDLE thread = CreateThread(
        nullptr, 1024 * 1024, [](void*) -> DWORD { SelectAll(); return 0; }, nullptr,
        STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
    ASSERT_NE(thread, nullptr);
    ASSERT_EQ(WaitForSingleObject(thread, 60000), WAIT_OBJECT_0);
    DWORD code = 1;
    GetExitCodeThread(thread, &code);
    CloseHandle(thread);
    EXPECT_EQ(code, 0u);
    EXPECT_EQ(window.CheckState(top), 2);
    EXPECT_EQ(window.CheckState(deepest), 2);
}

}  // namespace
