#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>
#include <windows.h>

#include "core/application.h"
#include "catalogue/catalogue.h"
#include "support/app_fixture.h"
#include "support/memory_window_operations.h"
#include "ui/item_tree.h"

namespace {

// What the control's own toggle makes of a box.
CheckMark Toggled(CheckMark mark)
{
    return mark == checkUnchecked ? checkChecked : checkUnchecked;
}

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
        window.selectionChanged = [this] { ShowSelectedItemInfo(window, *theApp.catalogue); };
    }


    // A click on a check box: our handling, then the control's own toggle.
    void ClickCheckBox(HTREEITEM node)
    {
        OnCheckBoxClick(window, node);
        window.SetCheckState(node, Toggled(window.CheckState(node)));
    }

    // The checked nodes, in the order inserted (depth first here).
    std::string CheckedNames()
    {
        std::string names;
        for (const CMemoryWindowOperations::Node& node : window.nodes)
            if (node.checkState == checkChecked)
                names += (names.empty() ? "" : " ") + node.text;
        return names;
    }

    void CheckAll()
    {
        for (CMemoryWindowOperations::Node& node : window.nodes)
            node.checkState = checkChecked;
    }

    std::string text;
    CMemoryWindowOperations window;
    HTREEITEM g1, a, g2, b, c, d, e, g3, f;
};

TEST_F(ItemTreeTest, CheckSubtreeChecksEverythingBelowAndLeavesTheNode)
{
    CheckSubtree(window, g1);
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
    UncheckSubtree(window, g1);
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
    window.SetCheckState(e, checkChecked);
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
    SelectAll(*theApp.ui);
    for (const CMemoryWindowOperations::Node& node : window.nodes)
        EXPECT_EQ(node.checkState, 2) << node.text;
    for (HTREEITEM top : {g1, e, g3})
        EXPECT_FALSE(window.At(top).expanded);

    SelectNone(*theApp.ui);
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
    ShowSelectedItemInfo(*theApp.ui, *theApp.catalogue);
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
        nullptr, 1024 * 1024, [](void*) -> DWORD { SelectAll(*theApp.ui); return 0; }, nullptr,
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

namespace {

// The walk as a click describes it, one node after the other: each node
// below takes the new state and is selected, which opens its parents and
// shows its description. The fast operations must leave what it leaves.
void LiteralSetBelow(CWindowOperations& ui, HTREEITEM node, CheckMark below)
{
    for (HTREEITEM child = ui.FirstChild(node); child; child = ui.NextSibling(child)) {
        ui.SetCheckState(child, below);
        ui.SelectNode(child);
        LiteralSetBelow(ui, child, below);
    }
}

void LiteralSetSubtree(CWindowOperations& ui, HTREEITEM node, CheckMark below)
{
    ui.SetCheckState(node, Toggled(below));
    LiteralSetBelow(ui, node, below);
}

void LiteralSetWholeTree(CWindowOperations& ui, CheckMark state)
{
    for (HTREEITEM top = ui.FirstTopNode(); top; top = ui.NextSibling(top)) {
        LiteralSetSubtree(ui, top, state);
        ui.SetCheckState(top, state);
        ui.CollapseNode(top);
    }
}

// A click on a check box, then the control's own toggle of it.
void LiteralClick(CWindowOperations& ui, HTREEITEM node)
{
    ui.SelectNode(node);
    LiteralSetSubtree(ui, node, Toggled(ui.CheckState(node)));
    ui.SetCheckState(node, Toggled(ui.CheckState(node)));
}

void Click(CWindowOperations& ui, HTREEITEM node)
{
    OnCheckBoxClick(ui, node);
    ui.SetCheckState(node, Toggled(ui.CheckState(node)));
}

using Operation = std::function<void(CWindowOperations&)>;

struct Shape {
    const char* name;
    std::vector<NewTreeNode> nodes;
    // Checked before the operation, and the node selected (and so opened up to).
    std::vector<int> checked;
    int selected;
};

const std::string kLongName(60, 'n');

// Items have descriptions, groups none; the long name is cut to 49 bytes in
// the tree and so finds none either.
const std::string kDescriptions = "[a]\n{About a}\n[c]\n{About c}\n[f]\n{About f}\n[q]\n{About q}\n[" +
                                  kLongName + "]\n{About the long one}\n";

const Shape kShapes[] = {
    {"flat", {{-1, "a"}, {-1, "G"}, {1, "b"}, {1, "c"}, {1, "d"}, {1, "f"}, {-1, "e"}}, {2, 4}, 3},
    {"nested",
     {{-1, "G1"}, {0, "a"}, {0, "G2"}, {2, "b"}, {2, "c"}, {0, "d"}, {-1, "e"}, {-1, "G3"}, {7, "f"}},
     {3}, 4},
    {"groups of groups",
     {{-1, "G"}, {0, "H1"}, {1, "p"}, {1, "q"}, {0, "H2"}, {4, "K"}, {5, "r"}, {0, "H3"}, {-1, "x"}},
     {0, 2}, 6},
    {"long name",
     {{-1, kLongName}, {0, "a"}, {0, kLongName}, {2, kLongName}, {-1, "c"}}, {}, 3},
};

// The same tree in two windows: one for the literal walk, one for the fast
// operations, each showing its selection's info as the control reports it.
struct TwinTrees {
    explicit TwinTrees(const Shape& shape)
    {
        for (CMemoryWindowOperations* window : {&literal, &fast}) {
            window->selectionChanged = [window] { ShowSelectedItemInfo(*window, *theApp.catalogue); };
            handles = window->InsertNodes(shape.nodes);
            for (int index : shape.checked)
                window->SetCheckState(handles[index], checkChecked);
            window->SelectNode(handles[shape.selected]);
        }
    }

    // Every node's check box, opening and selection, and the info texts.
    void ExpectSameState(const std::string& context)
    {
        ASSERT_EQ(fast.nodes.size(), literal.nodes.size());
        for (size_t i = 0; i < fast.nodes.size(); ++i) {
            HTREEITEM handle = reinterpret_cast<HTREEITEM>(i + 1);
            SCOPED_TRACE(context + ", node " + fast.nodes[i].text.substr(0, 10));
            EXPECT_EQ(fast.nodes[i].checkState, literal.nodes[i].checkState);
            EXPECT_EQ(fast.nodes[i].expanded, literal.nodes[i].expanded);
            EXPECT_EQ(fast.selected == handle, literal.selected == handle);
        }
        EXPECT_EQ(fast.infoTitle, literal.infoTitle) << context;
        EXPECT_EQ(fast.infoBody, literal.infoBody) << context;
        EXPECT_EQ(fast.paintingHolds, 0) << context << ": painting left held";
    }

    CMemoryWindowOperations literal, fast;
    std::vector<HTREEITEM> handles;
};

class ItemTreeEndState : public CApplicationTest {
protected:
    void SetUp() override
    {
        CApplicationTest::SetUp();
        text = kDescriptions;
        theApp.catalogue->sourceText = &text;
    }

    std::string text;
};

TEST_F(ItemTreeEndState, SelectAllAndSelectNoneLeaveWhatTheWalkLeaves)
{
    const struct {
        const char* name;
        std::vector<Operation> fast, literal;
    } sequences[] = {
        {"all", {[](CWindowOperations& ui) { SelectAll(ui); }},
         {[](CWindowOperations& ui) { LiteralSetWholeTree(ui, checkChecked); }}},
        {"none", {[](CWindowOperations& ui) { SelectNone(ui); }},
         {[](CWindowOperations& ui) { LiteralSetWholeTree(ui, checkUnchecked); }}},
        {"all, then none",
         {[](CWindowOperations& ui) { SelectAll(ui); }, [](CWindowOperations& ui) { SelectNone(ui); }},
         {[](CWindowOperations& ui) { LiteralSetWholeTree(ui, checkChecked); },
          [](CWindowOperations& ui) { LiteralSetWholeTree(ui, checkUnchecked); }}},
    };
    for (const Shape& shape : kShapes)
        for (const auto& sequence : sequences) {
            TwinTrees trees(shape);
            for (size_t step = 0; step < sequence.fast.size(); ++step) {
                sequence.fast[step](trees.fast);
                sequence.literal[step](trees.literal);
                trees.ExpectSameState(std::string(shape.name) + ", select " + sequence.name);
            }
        }
}

// Each node clicked in turn, every group twice: a closed group, then an
// open one, checked and unchecked, within checked and unchecked parents.
TEST_F(ItemTreeEndState, CheckBoxClicksLeaveWhatTheWalkLeaves)
{
    for (const Shape& shape : kShapes) {
        TwinTrees trees(shape);
        for (int round = 0; round < 2; ++round)
            for (size_t i = 0; i < trees.handles.size(); ++i) {
                Click(trees.fast, trees.handles[i]);
                LiteralClick(trees.literal, trees.handles[i]);
                trees.ExpectSameState(std::string(shape.name) + ", click on " + shape.nodes[i].text.substr(0, 10) +
                                " in round " + std::to_string(round));
            }
    }
}

// The square came from one selection, and so one catalogue scan, per node:
// on 2000 items in 100 groups a selection changes a few times, not per node.
TEST(ItemTreeSelectionChanges, ALargeTreeSeesAFew)
{
    CMemoryWindowOperations fast;
    std::vector<HTREEITEM> handles;
    int changes = 0;
    fast.selectionChanged = [&] { ++changes; };
    std::vector<NewTreeNode> nodes;
    for (int group = 0; group < 100; ++group) {
        int parent = static_cast<int>(nodes.size());
        nodes.push_back({-1, "Group"});
        for (int item = 0; item < 20; ++item)
            nodes.push_back({parent, "Item"});
    }
    handles = fast.InsertNodes(nodes);
    const std::vector<Operation> operations = {
        [](CWindowOperations& ui) { SelectAll(ui); },
        [](CWindowOperations& ui) { SelectNone(ui); },
        [&](CWindowOperations& ui) { Click(ui, handles[0]); },
    };
    for (const Operation& operation : operations) {
        changes = 0;
        operation(fast);
        EXPECT_LE(changes, 3);
    }
}

}  // namespace
