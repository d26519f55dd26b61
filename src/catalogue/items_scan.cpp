#include "catalogue/items_scan.h"

#include "catalogue/catalogue.h"
#include "core/log.h"

namespace {

enum class ScanMode { Top, Group, Leaf, Comment };

constexpr int kRoot = -1;
// A name keeps growing to the end of its line (a second ";" names the next
// group with everything since the "#"), so without a bound one line of
// "[a][a]..." asks for memory by the square of its length. Only 49 bytes are
// ever read back; the tree shows up to a path's length.
constexpr size_t kMaxNameBytes = 259;
// No catalogue nests this deep; deeper groups are opened at this depth, so
// nothing that walks the tree, ours or the control's, meets a deep chain.
constexpr size_t kMaxDepth = 64;
// Nor this many nodes. Every ";" after a group name is a node, so without a
// bound 16 MB of text asked for 5 GB and a tree of 16 million nodes.
constexpr size_t kMaxNodes = 100000;

// The byte scan of the items block: groups open with "#name;", close with
// "!", items are "[name]", and a "+" marks a node to start checked.
class CItemsScanner {
public:
    CItemsScanner(const std::string& text, ItemsTree& tree) : text(text), tree(tree)
    {
        tree.parents.assign(1, kRoot);
    }

    void Scan(size_t from)
    {
        for (size_t at = from; at < text.size(); ++at)
            Step(at);
    }

private:
    void Step(size_t at)
    {
        char b = text[at];
        if (b == '\n') {
            groupName.clear();
            groupLength = 0;
            groupPluses = 0;
            leafName.clear();
            mode = ScanMode::Top;
        }
        if (mode == ScanMode::Group) {
            if (b == ';')
                AddGroup();
            else
                AppendToGroup(b);
        }
        if (mode == ScanMode::Leaf) {
            if (b == ']') {
                mode = ScanMode::Top;
                AddLeaf(at + 1 < text.size() && text[at + 1] == '+');
            } else if (leafName.size() < kMaxNameBytes) {
                leafName += b;
            }
        }
        if (mode == ScanMode::Top)
            TopByte(b);
    }

    // The group name is kept only up to the bound, but its mark is judged on
    // the whole name: the "+" before a ";" leaves the name for good, so a
    // second ";" on the line sees the byte before it.
    void AppendToGroup(char b)
    {
        ++groupLength;
        if (groupName.size() < kMaxNameBytes)
            groupName += b;
        groupPluses = b == '+' ? groupPluses + 1 : 0;
    }

    void AddGroup()
    {
        bool isMarked = groupPluses > 0;
        if (isMarked) {
            --groupPluses;
            --groupLength;
            if (groupName.size() > groupLength)
                groupName.pop_back();
        }
        if (tree.nodes.size() == kMaxNodes) {
            ++unopened;
            return;
        }
        int node = AddNode(groupName);
        if (OpenGroups() + 1 < kMaxDepth)
            tree.parents.push_back(node);
        else
            ++unopened;
        if (isMarked)
            tree.marked.push_back(node);
    }

    void AddLeaf(bool isMarked)
    {
        if (tree.nodes.size() == kMaxNodes)
            return;
        int node = AddNode(leafName);
        if (isMarked)
            tree.marked.push_back(node);
    }

    void TopByte(char b)
    {
        switch (b) {
        case '#':
            mode = ScanMode::Group;
            break;
        case '[':
            mode = ScanMode::Leaf;
            break;
        case ';':
            mode = ScanMode::Comment;
            break;
        case '!':
            if (unopened > 0)
                --unopened;
            else if (tree.parents.empty())
                theLog.WriteLine("Parsing error ! Trying to use null object");
            else
                tree.parents.pop_back();
            break;
        }
    }

    // The root stays first on the stack until a surplus "!" pops it.
    size_t OpenGroups() const
    {
        bool root = !tree.parents.empty() && tree.parents.front() == kRoot;
        return tree.parents.size() - (root ? 1 : 0);
    }

    // Once surplus "!" have popped the root, nodes go to the root.
    int AddNode(const std::string& name)
    {
        tree.nodes.push_back({tree.parents.empty() ? kRoot : tree.parents.back(), name});
        return static_cast<int>(tree.nodes.size() - 1);
    }

    const std::string& text;
    ItemsTree& tree;
    ScanMode mode = ScanMode::Top;
    std::string groupName;
    size_t groupLength = 0;  // of the whole name, also past the bound
    size_t groupPluses = 0;  // "+" at the end of the whole name
    std::string leafName;
    // Groups past the depth or the node bound, each closed by one "!" of its own.
    size_t unopened = 0;
};

}  // namespace

bool ScanItems(const CCatalogue& catalogue, ItemsTree& tree)
{
    tree = ItemsTree();
    theLog.WriteLine("\n--== Parsing config file ==--\n");
    uint32_t position = 0;
    int lineCount = 0;
    for (;;) {
        std::string line = catalogue.ReadLine(position);
        if (line.find("<items>") != std::string::npos)
            break;
        if (line == "*") {
            theLog.WriteFormatted("Eof reached ! <items> tag missing? (%i)", lineCount);
            return false;
        }
        ++lineCount;
    }
    theLog.WriteFormatted("End of header (%i chars, %i lines).", static_cast<int>(position),
                          lineCount);
    CItemsScanner(*catalogue.sourceText, tree).Scan(position);
    theLog.WriteLine("\n--== End of config parsing ==-- \n");
    return true;
}
