#include "core/application.h"
#include "core/log.h"
#include "catalogue/catalogue.h"
#include "core/window_operations.h"

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

// The byte scan of the items block: groups open with "#name;", close with
// "!", items are "[name]", and a "+" marks a node to start checked.
// The nodes are gathered first and reach the tree in one batch, so the
// parents are indices into the batch until then.
class CItemsScanner {
public:
    CItemsScanner(const std::string& text) : text(text) {}

    void Scan(size_t from)
    {
        for (size_t at = from; at < text.size(); ++at)
            Step(at);
    }

    // Inserts the gathered nodes; the stack and the marks become tree handles.
    void Insert(CCatalogue& catalogue) const
    {
        std::vector<HTREEITEM> handles = theApp.ui->InsertNodes(nodes);
        auto handleOf = [&](int index) {
            return index >= 0 && static_cast<size_t>(index) < handles.size() ? handles[index]
                                                                              : nullptr;
        };
        catalogue.parentStack.clear();
        for (int index : parents)
            catalogue.parentStack.push_back(handleOf(index));
        for (int index : marked)
            catalogue.preChecked.push_back(handleOf(index));
    }

private:
    void Step(size_t at)
    {
        char b = text[at];
        if (b == '\n') {
            groupName.clear();
            leafName.clear();
            groupMarked = false;
            mode = ScanMode::Top;
        }
        if (mode == ScanMode::Group) {
            if (b == ';') {
                AddGroup();
            } else {
                Append(groupName, b);
                groupMarked = b == '+';
            }
        }
        if (mode == ScanMode::Leaf) {
            if (b == ']') {
                mode = ScanMode::Top;
                int node = AddNode(leafName);
                if (at + 1 < text.size() && text[at + 1] == '+')
                    marked.push_back(node);
            } else {
                Append(leafName, b);
            }
        }
        if (mode == ScanMode::Top)
            TopByte(b);
    }

    // The name stays gathered, so a second ";" on the line nests a group
    // named with everything since the "#".
    void AddGroup()
    {
        // A name cut at the bound keeps the mark of its last byte.
        bool isMarked = groupMarked;
        std::string name = groupName;
        if (isMarked && !name.empty() && name.back() == '+')
            name.pop_back();
        int node = AddNode(name);
        if (parents.size() < kMaxDepth)
            parents.push_back(node);
        else
            ++unopened;
        if (isMarked)
            marked.push_back(node);
    }

    static void Append(std::string& name, char b)
    {
        if (name.size() < kMaxNameBytes)
            name += b;
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
            else if (parents.empty())
                theLog.WriteLine("Parsing error ! Trying to use null object");
            else
                parents.pop_back();
            break;
        }
    }

    // Once surplus "!" have popped the root, nodes go to the root.
    int AddNode(const std::string& name)
    {
        nodes.push_back({parents.empty() ? kRoot : parents.back(), name});
        return static_cast<int>(nodes.size() - 1);
    }

    const std::string& text;
    std::vector<NewTreeNode> nodes;
    std::vector<int> parents = {kRoot};
    std::vector<int> marked;
    ScanMode mode = ScanMode::Top;
    std::string groupName;
    std::string leafName;
    bool groupMarked = false;
    // Groups past the depth bound, each closed by one "!" of its own.
    size_t unopened = 0;
};

}  // namespace

bool CCatalogue::ParseItems()
{
    theLog.WriteLine("\n--== Parsing config file ==--\n");
    parentStack.assign(1, nullptr);
    uint32_t position = 0;
    int lineCount = 0;
    for (;;) {
        std::string line = ReadLine(position);
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

    CItemsScanner scanner(*sourceText);
    scanner.Scan(position);
    scanner.Insert(*this);
    theLog.WriteLine("\n--== End of config parsing ==-- \n");
    return true;
}
